// The remote view's pages on a document of 100,000 nodes: the root page and a folder
// page of about 500 rows built directly (with and without a window whose folder must be
// put back afterwards), and pages per second served to 8 clients over loopback.
// The served pages come last: they leave the document frozen.
#include "model/vcollviewer.h"
#include "model/vvisibility.h"
#include "net/global.h"
#include "remoteview/httpserver_vantry.h"
#include "remoteview/page.h"
#include "remoteview/remote_document.h"
#include "support/generated_document.h"
#include "support/http_client.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

namespace {

constexpr int NODES = 100000;

struct Fixture {
    VCollection collection;
    VCollectionViewer viewer{&collection};
    std::string folderRoot; // the "root" value of a folder page of about 500 rows
    int folderRows = 0;

    Fixture() {
        GenerateDocument(collection, DocumentShape{NODES, 10, 6, 7});
        collection.filterFlags = 5; // every item
        int best = 1 << 30;
        for (VNode* node = collection.root->next; node; node = node->next) {
            if (!IsFolder(node) || node->parent != collection.root) continue;
            collection.MakeView(node);
            int rows = 0;
            for (VNode* n = node->nextShown; n; n = n->nextShown)
                ++rows;
            if (std::abs(rows - 500) < std::abs(best - 500)) {
                best = rows;
                char id[16];
                std::snprintf(id, sizeof id, "%08X", node->Serial());
                folderRoot = id;
            }
        }
        folderRows = best;
        collection.MakeView(collection.root);
    }
};

Fixture& Document() {
    static Fixture fixture;
    return fixture;
}

// range(0): 0 as vantry --serve has it (the document frozen, no window), 1 as the
// window's dialog has it (a window showing the top folder gets it back after each page).
void buildPage(benchmark::State& state, const char* root, int rows) {
    Fixture& f = Document();
    bool window = state.range(0) != 0;
    f.collection.FreezeStructure(!window);
    f.viewer.folder = window ? f.collection.root : nullptr;
    PageCache cache;
    size_t bytes = 0;
    for (auto _ : state) {
        PageWriter page;
        qstring error;
        WriteDocumentPart(page, f.viewer, root, error, &cache);
        bytes += page.Text().size();
    }
    f.collection.FreezeStructure(false);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed((int64_t)bytes);
    state.counters["rows"] = rows;
}

void BM_RootPage(benchmark::State& state) {
    buildPage(state, "0", 10000);
}

void BM_FolderPage(benchmark::State& state) {
    buildPage(state, Document().folderRoot.c_str(), Document().folderRows);
}

// The headless server: one lock around the document, 8 workers.
struct Served {
    LockedDocument document{Document().viewer};
    QNHTTPServerVantry server{document, 0, 8, false};
    int port = -1;
    Served() {
        qnInit();
        // As vantry --serve has it: the document frozen, no window.
        Document().collection.FreezeStructure(true);
        Document().viewer.folder = nullptr;
        server.SetBindAddress("127.0.0.1");
        if (server.Start(true)) port = server.WaitUntilListening(5000);
    }
};

Served& Server() {
    static Served served;
    return served;
}

// Pages per second with 8 clients at once; range(0): 0 the root page, 1 a folder page.
void BM_ServedPages(benchmark::State& state) {
    static std::once_flag started;
    std::call_once(started, [] { Server(); });
    std::string target = state.range(0) ? "/view?root=" + Document().folderRoot : std::string("/");
    std::string request = "GET " + target + " HTTP/1.0\r\n\r\n";
    for (auto _ : state) {
        std::string page = http_test::Exchange(Server().port, request);
        if (page.compare(0, 15, "HTTP/1.0 200 OK") != 0) state.SkipWithError("no page");
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_RootPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FolderPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServedPages)
    ->Arg(0)
    ->Arg(1)
    ->Threads(8)
    ->UseRealTime()
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
