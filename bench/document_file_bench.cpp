// Loading and saving a large document, against merely reading and writing its bytes,
// and the memory the loaded nodes take.
#include "foundation/qarena.h"
#include "model/vcollection.h"
#include "ratio_reporter.h"
#include "support/generated_document.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int NODES = 100000;

std::string Path(const char* what) {
    return "/tmp/vantry-bench-" + std::to_string(getpid()) + "-" + what + ".vnt";
}

// The generated document, saved once for the whole run.
const std::string& DocumentPath() {
    static const std::string path = [] {
        VCollection c;
        GenerateDocument(c, DocumentShape{NODES, 10, 6, 42});
        std::string p = Path("doc");
        c.Save(p.c_str());
        return p;
    }();
    return path;
}

// The generated document with accented texts (every name gets " Caf\xE9 \x80"), saved
// once in Windows-1252 and once changed to UTF-8: the same document in both encodings.
struct AccentedDocuments {
    std::string windows1252 = Path("windows-1252"), utf8 = Path("utf-8");
    AccentedDocuments() {
        VCollection c;
        GenerateDocument(c, DocumentShape{NODES, 10, 6, 42});
        for (VNode* n = c.root->next; n; n = n->next)
            n->name += " Caf\xE9 \x80";
        c.Save(windows1252.c_str());
        c.ConvertTexts(TextEncoding::Utf8);
        c.Save(utf8.c_str());
    }
    ~AccentedDocuments() {
        std::remove(windows1252.c_str());
        std::remove(utf8.c_str());
    }
};

const std::string& AccentedPath(TextEncoding encoding) {
    static const AccentedDocuments documents;
    return encoding == TextEncoding::Utf8 ? documents.utf8 : documents.windows1252;
}

std::vector<char> Bytes() {
    std::ifstream in(DocumentPath(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void PerNode(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * NODES);
}

void BM_Load(benchmark::State& state) {
    const std::string& path = DocumentPath();
    // Heap blocks, mapped chunks and the arenas' mapped blocks: large blocks may come
    // from any of them.
    auto heapBytes = [] {
        struct mallinfo2 m = mallinfo2();
        return m.uordblks + m.hblkhd + QArena::MappedBytes();
    };
    size_t before = heapBytes();
    {
        VCollection c;
        c.Load(path.c_str());
        state.counters["bytes_per_node"] = (double)(heapBytes() - before) / NODES;
    }
    for (auto _ : state) {
        VCollection c;
        c.Load(path.c_str());
        benchmark::DoNotOptimize(c.root->next);
        state.PauseTiming(); // freeing the nodes is not part of loading
        c.Clear();
        c.CreateRoot();
        state.ResumeTiming();
    }
    PerNode(state);
}

void BM_RawRead(benchmark::State& state) {
    const std::string& path = DocumentPath();
    std::vector<char> buffer(Bytes().size());
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        size_t got = std::fread(buffer.data(), 1, buffer.size(), f);
        std::fclose(f);
        benchmark::DoNotOptimize(got);
    }
    PerNode(state);
}

void BM_Save(benchmark::State& state) {
    VCollection c;
    c.Load(DocumentPath().c_str());
    std::string out = Path("save");
    for (auto _ : state)
        c.Save(out.c_str());
    std::remove(out.c_str());
    PerNode(state);
}

void BM_RawWrite(benchmark::State& state) {
    std::vector<char> bytes = Bytes();
    std::string out = Path("raw");
    for (auto _ : state) {
        std::FILE* f = std::fopen(out.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::remove(out.c_str());
    PerNode(state);
}

// Loading and saving the same document in either encoding: texts are bytes to both,
// so UTF-8 costs only its longer texts.
void BM_LoadEncoded(benchmark::State& state, TextEncoding encoding) {
    const std::string& path = AccentedPath(encoding);
    for (auto _ : state) {
        VCollection c;
        c.Load(path.c_str());
        benchmark::DoNotOptimize(c.root->next);
        state.PauseTiming();
        c.Clear();
        c.CreateRoot();
        state.ResumeTiming();
    }
    PerNode(state);
}

void BM_SaveEncoded(benchmark::State& state, TextEncoding encoding) {
    VCollection c;
    c.Load(AccentedPath(encoding).c_str());
    std::string out = Path("save-encoded");
    for (auto _ : state)
        c.Save(out.c_str());
    std::remove(out.c_str());
    PerNode(state);
}

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadEncoded, windows1252, TextEncoding::Windows1252)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadEncoded, utf8, TextEncoding::Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveEncoded, windows1252, TextEncoding::Windows1252)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveEncoded, utf8, TextEncoding::Utf8)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"BM_Load", "BM_RawRead", "load / raw read"},
         {"BM_Save", "BM_RawWrite", "save / raw write"},
         {"BM_LoadEncoded/utf8", "BM_LoadEncoded/windows1252", "UTF-8 load / Windows-1252 load"},
         {"BM_SaveEncoded/utf8", "BM_SaveEncoded/windows1252", "UTF-8 save / Windows-1252 save"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* name : {"BM_Load", "BM_RawRead", "BM_Save", "BM_RawWrite"})
        std::printf("%-12s %8.1f ns per node\n", name, reporter.Time(name) * 1e6 / NODES);
    benchmark::Shutdown();
    std::remove(DocumentPath().c_str());
    return 0;
}
