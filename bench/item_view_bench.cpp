// A full repaint of the item view: a folder of 1,000 rows with the Gantt chart, on the
// recording canvas (the view's own work) and on an off-screen wx bitmap (what the screen
// costs). The wx part needs a display: run it under xvfb-run.
#include "app/skedraDoc.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/recording_canvas.h"
#include "views/skedraView.h"
#include "wx/wx_canvas.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>

namespace {

constexpr int ROWS = 1000;
constexpr int WIDTH = 1600, HEIGHT = 1000;

struct Fixture {
    std::unique_ptr<CSkedraDoc> doc;
    std::unique_ptr<CSkedraView> view;
    Fixture() {
        doc = std::make_unique<CSkedraDoc>("/tmp/vantry-bench/vantry");
        view = std::make_unique<CSkedraView>(doc.get());
        view->OnInitialUpdate();
        VCollection& c = *doc->Collection();
        // Two folders of 499 items: a folder shows at most 500 children.
        VGroup* folder = nullptr;
        for (int i = 0; i < ROWS - 2; ++i) {
            if (i % 499 == 0) {
                folder = new VGroup(&c);
                folder->name = "Big folder";
                c.Add(folder, c.root);
            }
            if (i % 2) {
                auto* todo = new VTodo(&c);
                todo->what = "A to-do with a fairly long text that the row has to cut";
                todo->priority = i % 4;
                c.Add(todo, folder);
            } else {
                auto* task = new VTask(&c);
                task->what = "An action";
                task->flags = 0;
                char date[16];
                std::snprintf(date, sizeof date, "2026-12-%02d", 1 + i % 28);
                task->startDate = date;
                task->duration = 1 + i % 9;
                task->completion = i % 101;
                c.Add(task, folder);
            }
        }
        view->viewFlags |= 0x020 | 0x080 | 0x040;
        view->ganttStartDate.SetDate(30, 11, 2026);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_PaintRecording(benchmark::State& state) {
    Fixture& f = Shared();
    RecordingCanvas dc;
    for (auto _ : state) {
        dc.Clear();
        f.view->needsRebuild = true;
        f.view->OnDraw(dc, {0, 0, WIDTH, HEIGHT});
    }
    state.counters["rows"] = f.view->RowCount();
    state.counters["calls"] = (double)dc.calls.size();
}

// range(0): 0 paints a window-sized bitmap (what the screen shows), 1 a bitmap that holds
// every row.
void BM_PaintWxBitmap(benchmark::State& state) {
    if (!wxTheApp) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    Fixture& f = Shared();
    wxBitmap bitmap(WIDTH, state.range(0) ? f.view->PageHeight() + 200 : HEIGHT);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    WxCanvas canvas(dc);
    for (auto _ : state) {
        dc.Clear();
        f.view->needsRebuild = state.range(1) != 0;
        f.view->OnDraw(canvas, {0, 0, WIDTH, HEIGHT});
    }
    state.counters["rows"] = f.view->RowCount();
}

BENCHMARK(BM_PaintRecording)->Unit(benchmark::kMillisecond);
// range(1): 1 rebuilds the rows first (after a change), 0 only repaints.
BENCHMARK(BM_PaintWxBitmap)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::system("mkdir -p /tmp/vantry-bench");
    if (!std::freopen("/dev/null", "w", stderr)) return 1; // MakeView traces every paint
    bool wx = false;
    if (std::getenv("DISPLAY")) {
        wxApp::SetInstance(new wxApp);
        int wxArgc = 1;
        char* wxArgv[] = {argv[0], nullptr};
        wx = wxEntryStart(wxArgc, wxArgv);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (wx) wxEntryCleanup();
    return 0;
}
