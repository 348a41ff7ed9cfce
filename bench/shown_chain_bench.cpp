// Building the shown chain of the top folder: the collection's MakeView against the
// plain algorithm that walks the whole list for every folder.
#include "model/vcollection.h"
#include "ratio_reporter.h"
#include "support/generated_document.h"
#include "support/reference_chain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

// One generated document per size and shape.
VCollection& Generated(int nodes, int folderEvery) {
    static std::map<std::pair<int, int>, std::unique_ptr<VCollection>> documents;
    auto& doc = documents[{nodes, folderEvery}];
    if (!doc) {
        doc = std::make_unique<VCollection>();
        GenerateDocument(*doc, DocumentShape{nodes, folderEvery, 6, 7});
    }
    return *doc;
}

// About one folder in ten, six deep.
VCollection& Document(int nodes) {
    return Generated(nodes, 10);
}

// Every item in the top folder, as a large import leaves them: one level to sort.
VCollection& OneFolder(int nodes) {
    return Generated(nodes, 1 << 30);
}

void BM_MakeView(benchmark::State& state) {
    VCollection& doc = Document((int)state.range(0));
    for (auto _ : state) {
        doc.MakeView(doc.root);
        benchmark::DoNotOptimize(doc.root->nextShown);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MakeViewOneFolder(benchmark::State& state) {
    VCollection& doc = OneFolder((int)state.range(0));
    for (auto _ : state) {
        doc.MakeView(doc.root);
        benchmark::DoNotOptimize(doc.root->nextShown);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MakeViewReference(benchmark::State& state) {
    VCollection& doc = Document((int)state.range(0));
    for (auto _ : state) {
        ReferenceMakeView(doc, doc.root);
        benchmark::DoNotOptimize(doc.root->nextShown);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_MakeView)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeViewOneFolder)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeViewReference)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
// The plain algorithm needs minutes at this size: one round is enough to compare.
BENCHMARK(BM_MakeViewReference)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // MakeView writes a trace line to standard error each time: keep them off the report.
    if (!std::freopen("/dev/null", "w", stderr)) return 1;
    RatioReporter reporter(SizeRatios("MakeViewReference", "MakeView"));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
