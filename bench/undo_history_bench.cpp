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
#include <cstring>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

constexpr int NODES = 100000;

void Generate(VCollection& c) {
    GenerateDocument(c, DocumentShape{NODES, 10, 6, 42});
}

// Every node below each folder, counted in one walk up from every node.
std::unordered_map<const VNode*, int> SubtreeSizes(VCollection& c) {
    std::unordered_map<const VNode*, int> sizes;
    for (VNode* n = c.root->next; n; n = n->next)
        for (const VNode* p = n; p && p != c.root; p = p->parent)
            ++sizes[p];
    return sizes;
}

// A folder with about a thousand nodes below it (itself included).
VNode* ThousandNodeFolder(VCollection& c, int& size) {
    std::unordered_map<const VNode*, int> sizes = SubtreeSizes(c);
    VNode* best = nullptr;
    size = 0;
    for (VNode* n = c.root->next; n; n = n->next)
        if (IsFolder(n) && sizes[n] <= 1000 && sizes[n] > size) {
            best = n;
            size = sizes[n];
        }
    return best;
}

// Deletes the folder and everything below it as the delete command does, without the
// command's trace of the whole list per node.
void DeleteTree(VCollection& c, VNode* folder) {
    std::vector<VNode*> going;
    for (VNode* n = c.root->next; n; n = n->next)
        if (n == folder || n->IsDescendantOf(folder)) going.push_back(n);
    for (VNode* gone : going)
        if (!std::strcmp(gone->TypeName(), "contact"))
            for (VNode* n = c.root; n; n = n->next)
                n->ForgetContact(gone);
    for (VNode* gone : going)
        c.Discard(gone);
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
    int removed = 0;
    VNode* folder = ThousandNodeFolder(c, removed);
    DeleteTree(c, folder);
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
