// A full repaint of the item view: a folder of 1,000 rows with the Gantt chart, on the
// recording canvas (the view's own work) and on an off-screen wx bitmap (what the screen
// costs), beside a floor: the same texts, rectangles and lines that one window-sized
// repaint draws, put straight onto the same bitmap with wx calls and nothing else. The
// repaint should stay within 1.5 times the floor. The wx part needs a display: run it
// under xvfb-run.
#include "app/skedraDoc.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/recording_canvas.h"
#include "views/skedraView.h"
#include "wx/wx_canvas.h"

#include "ratio_reporter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>

#include <utility>
#include <vector>

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
    f.view->needsRebuild = true; // the rows exist before a repaint that only paints
    f.view->OnDraw(canvas, {0, 0, WIDTH, HEIGHT});
    for (auto _ : state) {
        dc.Clear();
        f.view->needsRebuild = state.range(1) != 0;
        f.view->OnDraw(canvas, {0, 0, WIDTH, HEIGHT});
    }
    state.counters["rows"] = f.view->RowCount();
}

// The floor: what one window-sized repaint draws, replayed straight onto the bitmap: its
// texts (already converted, in one font), its filled rectangles, outlines and lines.
void BM_PaintFloor(benchmark::State& state) {
    if (!wxTheApp) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    Fixture& f = Shared();
    RecordingCanvas recorded;
    recorded.clip = {0, 0, WIDTH, HEIGHT};
    f.view->needsRebuild = true;
    f.view->OnDraw(recorded, {0, 0, WIDTH, HEIGHT});
    struct Text {
        wxString text;
        int x, y;
    };
    std::vector<Text> texts;
    std::vector<std::pair<wxRect, wxBrush>> fills;
    std::vector<wxRect> outlines, lines;
    for (const CanvasCall& call : recorded.calls) {
        const CanvasRect& r = call.rect;
        switch (call.kind) {
        case CanvasCall::Text:
        case CanvasCall::TextEllipsis:
            texts.push_back({wxString::FromUTF8(call.text), r.left, r.top});
            break;
        case CanvasCall::Fill:
            fills.emplace_back(wxRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                               wxBrush(wxColour(call.colour.r, call.colour.g, call.colour.b)));
            break;
        case CanvasCall::Outline:
            outlines.emplace_back(r.left, r.top, r.right - r.left, r.bottom - r.top);
            break;
        case CanvasCall::Line:
            lines.emplace_back(r.left, r.top, r.right, r.bottom);
            break;
        default:
            break;
        }
    }
    wxBitmap bitmap(WIDTH, HEIGHT);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetPixelSize(wxSize(0, 11));
    for (auto _ : state) {
        dc.Clear();
        dc.SetPen(*wxTRANSPARENT_PEN);
        for (const auto& [rect, brush] : fills) {
            dc.SetBrush(brush);
            dc.DrawRectangle(rect);
        }
        dc.SetPen(*wxBLACK_PEN);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        for (const wxRect& rect : outlines)
            dc.DrawRectangle(rect);
        for (const wxRect& line : lines)
            dc.DrawLine(line.x, line.y, line.width, line.height);
        dc.SetFont(font);
        for (const Text& text : texts)
            dc.DrawText(text.text, text.x, text.y);
    }
    state.counters["texts"] = (double)texts.size();
    state.counters["rects"] = (double)(fills.size() + outlines.size());
    state.counters["lines"] = (double)lines.size();
}

BENCHMARK(BM_PaintRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintFloor)->Unit(benchmark::kMillisecond);
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
    RatioReporter reporter({{"BM_PaintWxBitmap/0/0", "BM_PaintFloor",
                             "window-sized repaint / floor (target <= 1.5)"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (wx) wxEntryCleanup();
    return 0;
}
