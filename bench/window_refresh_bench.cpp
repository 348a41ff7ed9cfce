// What the window does on a 100,000-node document, without the toolkit: refilling the
// folder tree, a filter change (with the tree refilled and the item view rebuilt and
// painted, as the frame does) and a click on a folder. Each should stay well under
// 100 ms.
#include "app/skedradoc.h"
#include "platform/document_host.h"
#include "support/generated_document.h"
#include "support/recording_canvas.h"
#include "views/LeftView.h"
#include "views/skedraView.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int NODES = 100000;
constexpr int WIDTH = 1200, HEIGHT = 800;

// Does what the main frame does: the tree's entries at once, the item view's paint when
// the event loop gets to it (Paint, after each operation).
struct FrameLikeHost : DocumentHost {
    CLeftView* tree = nullptr;
    CSkedraView* view = nullptr;
    RecordingCanvas canvas;
    size_t treeEntries = 0;
    bool paintDue = false;

    void Paint() {
        if (!paintDue) return;
        paintDue = false;
        canvas.Clear();
        view->OnDraw(canvas, {0, 0, WIDTH, HEIGHT});
    }
    void SetModified(bool) override {}
    void UpdateAllViews() override { paintDue = true; }
    void RefillTree() override { treeEntries = tree->Refill().size(); }
    int ContactListSelection() override { return 0; }
    void SetContactList(const std::vector<std::string>&, int) override {}
};

struct Fixture {
    std::string dir = "/tmp/vantry-refresh-bench-" + std::to_string(getpid());
    std::unique_ptr<CSkedraDoc> doc;
    std::unique_ptr<CSkedraView> view;
    std::unique_ptr<CLeftView> tree;
    FrameLikeHost host;

    Fixture() {
        std::system(("mkdir -p " + dir).c_str());
        std::string path = dir + "/doc.vnt";
        {
            VCollection generated;
            GenerateDocument(generated, DocumentShape{NODES, 10, 6, 42});
            generated.Save(path.c_str());
        }
        doc = std::make_unique<CSkedraDoc>((dir + "/vantry").c_str());
        doc->OpenDocument(path.c_str());
        view = std::make_unique<CSkedraView>(doc.get());
        view->OnInitialUpdate();
        tree = std::make_unique<CLeftView>(doc.get());
        host.tree = tree.get();
        host.view = view.get();
        doc->SetHost(&host);
        host.RefillTree();
        host.UpdateAllViews();
        host.Paint();
    }
    ~Fixture() { std::system(("rm -rf " + dir).c_str()); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_TreeRefill(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state)
        f.host.RefillTree();
    state.counters["folders"] = (double)f.host.treeEntries;
}

// The state filter's "all items" and back to "all active items".
void BM_StateFilterChange(benchmark::State& state) {
    Fixture& f = Shared();
    int index = 0;
    for (auto _ : state) {
        index = index ? 0 : 5;
        f.doc->Filters().OnStateFilter(index);
        f.host.Paint();
    }
    state.counters["rows"] = f.view->RowCount();
}

// Typing a filter text and clearing it again.
void BM_TextFilterChange(benchmark::State& state) {
    Fixture& f = Shared();
    bool typed = false;
    for (auto _ : state) {
        typed = !typed;
        f.doc->Filters().OnTextFilter(typed ? "plan" : "");
        f.host.Paint();
    }
    state.counters["rows"] = f.view->RowCount();
}

// A click on the top folder and on one of its subfolders, in turn.
void BM_FolderClick(benchmark::State& state) {
    Fixture& f = Shared();
    VCollection& c = *f.doc->Collection();
    VNode* sub = c.root->next;
    while (sub && sub->parent != c.root)
        sub = sub->next;
    bool top = false;
    for (auto _ : state) {
        top = !top;
        f.view->SetFolder(top ? c.root : sub);
        f.host.UpdateAllViews();
        f.host.Paint();
    }
}

BENCHMARK(BM_TreeRefill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StateFilterChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFilterChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FolderClick)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!std::freopen("/dev/null", "w", stderr)) return 1; // MakeView traces every rebuild
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
