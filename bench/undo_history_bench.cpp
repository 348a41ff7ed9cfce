// The undo history on a document of 100,000 nodes: what recording a change costs (one
// walk that writes every node's record and compares it with the copy taken before),
// against saving the same document; and undo plus redo of a large folder delete.
#include "app/history/undo_history.h"
#include "model/vcollection.h"
#include "model/vvisibility.h"
#include "ratio_reporter.h"
#include "support/generated_document.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int NODES = 100000;

void Generate(VCollection& c) {
    GenerateDocument(c, DocumentShape{NODES, 10, 6, 42});
}

// The folder with the most nodes below it, short of a tenth of the document.
VNode* BigFolder(VCollection& c) {
    VNode* best = nullptr;
    int bestCount = 0;
    int looked = 0;
    for (VNode* n = c.root->next; n && looked < 50; n = n->next) {
        if (!IsFolder(n)) continue;
        ++looked;
        int count = c.CountTree(n);
        if (count > bestCount && count < NODES / 10) {
            best = n;
            bestCount = count;
        }
    }
    return best;
}

void BM_RecordOneEdit(benchmark::State& state) {
    VCollection c;
    Generate(c);
    UndoHistory history;
    history.Reset(c);
    VNode* node = c.root->next;
    for (auto _ : state) {
        node->flags ^= WAITING;
        benchmark::DoNotOptimize(history.Record(c, "Waiting for this"));
    }
}

void BM_RecordNothingChanged(benchmark::State& state) {
    VCollection c;
    Generate(c);
    UndoHistory history;
    history.Reset(c);
    for (auto _ : state)
        benchmark::DoNotOptimize(history.Record(c, "Nothing"));
}

void BM_SaveDocument(benchmark::State& state) {
    VCollection c;
    Generate(c);
    std::string path = "/tmp/vantry-undo-bench-" + std::to_string(getpid()) + ".vnt";
    for (auto _ : state)
        c.Save(path.c_str());
    std::remove(path.c_str());
}

void BM_UndoRedoFolderDelete(benchmark::State& state) {
    VCollection c;
    Generate(c);
    UndoHistory history;
    history.Reset(c);
    VNode* folder = BigFolder(c);
    int removed = c.CountTree(folder);
    c.RemoveTree(folder);
    history.Record(c, "Delete");
    for (auto _ : state) {
        VNode* shown = c.root;
        HistoryStep step;
        history.Undo(c, shown, step);
        history.Redo(c, shown, step);
    }
    state.counters["nodes_deleted"] = removed;
}

void BM_HistoryMemory(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        VCollection c;
        Generate(c);
        size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        UndoHistory history;
        history.Reset(c);
        state.counters["mirror_bytes_per_node"] = (double)(mallinfo2().uordblks - before) / NODES;
    }
}

BENCHMARK(BM_RecordOneEdit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordNothingChanged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoFolderDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({{"BM_RecordOneEdit", "BM_SaveDocument", "record an edit / save"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
