// vantry --export-ics of 20,000 folders, each inside the one before and each holding one
// to-do: the first export of such a document (every item gets its UID, so the document
// is saved too), from loading it to the saved file. Each item's CATEGORIES is its own
// folder's name; with the whole path the text grew with the square of the nesting
// (minutes and a gigabyte). The goal is 20 s on a busy machine of two cores.
#include "app/command_line.h"
#include "model/vcollection.h"
#include "model/vtodo.h"
#include "process_time.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int DEPTH = 20000;

std::string Path(const char* what) {
    return "/tmp/vantry-nested-export-bench-" + std::to_string(getpid()) + "-" + what;
}

void WriteDocument(const std::string& path) {
    VCollection c;
    VNode* folder = c.root;
    for (int i = 0; i < DEPTH; ++i) {
        VNode* inner = c.Add(new VGroup(&c), folder);
        inner->name = ("Folder " + std::to_string(i)).c_str();
        auto* todo = new VTodo(&c);
        todo->what = ("Item " + std::to_string(i)).c_str();
        c.Add(todo, inner);
        folder = inner;
    }
    c.Save(path.c_str());
}

void BM_ExportNestedFolders(benchmark::State& state) {
    const std::string original = Path("original.vnt"), document = Path("doc.vnt");
    WriteDocument(original);
    for (auto _ : state) {
        std::filesystem::copy_file(original, document,
                                   std::filesystem::copy_options::overwrite_existing);
        std::ostringstream out, err;
        auto wallStart = std::chrono::steady_clock::now();
        double start = ProcessSeconds();
        int code = RunCommandLine({"--export-ics", Path("out.ics"), document}, Path("none.ini"),
                                  out, err);
        state.SetIterationTime(ProcessSeconds() - start);
        state.counters["wall_s"] =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        if (code != 0) state.SkipWithError(err.str().c_str());
    }
    state.SetItemsProcessed(state.iterations() * DEPTH);
    for (const char* file : {"original.vnt", "doc.vnt", "out.ics"})
        std::remove(Path(file).c_str());
}

} // namespace

BENCHMARK(BM_ExportNestedFolders)->Unit(benchmark::kMillisecond)->UseManualTime();

BENCHMARK_MAIN();
