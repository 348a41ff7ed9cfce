// Refilling the folder tree: FolderList against the plain algorithm (the folder test
// per folder and passes of exchanges), on generated documents of one folder in ten.
#include "model/vfolderlist.h"
#include "ratio_reporter.h"
#include "support/generated_document.h"
#include "support/reference_folder_list.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

VCollection& Document(int nodes) {
    static std::map<int, std::unique_ptr<VCollection>> documents;
    auto& doc = documents[nodes];
    if (!doc) {
        doc = std::make_unique<VCollection>();
        GenerateDocument(*doc, DocumentShape{nodes, 10, 6, 7});
        doc->filterFlags = 5;
    }
    return *doc;
}

void BM_FolderList(benchmark::State& state) {
    VCollection& doc = Document((int)state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(FolderList(doc));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FolderListReference(benchmark::State& state) {
    VCollection& doc = Document((int)state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReferenceFolderList(doc, MAX_TREE_FOLDERS));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_FolderList)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FolderListReference)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
// The plain algorithm takes long at this size: one round is enough to compare.
BENCHMARK(BM_FolderListReference)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(SizeRatios("FolderListReference", "FolderList"));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
