// The program without its windows, for the views' and the commands' tests: a temporary
// working folder with a fresh log, a document with a recording host, the item view after
// its first update with a recording window, and the folder tree with a recording tree
// control. Views tests run it on a ScriptedDocument, app tests on the program's
// CSkedraDoc (windowless_commands.h adds the command table's context).
#pragma once

#include "support/log_capture.h"
#include "support/recording_canvas.h"
#include "support/recording_host.h"
#include "support/recording_tree_control.h"
#include "support/recording_view_window.h"
#include "views/LeftView.h"
#include "views/skedraView.h"

#include <memory>
#include <type_traits>

template <class Document> class WindowlessProgram : public LogTest {
  public: // tables of cases act through the fixture
    void SetUp() override {
        LogTest::SetUp();
        // The program's document keeps its settings file beside the "program".
        if constexpr (std::is_constructible_v<Document, const char*>)
            doc = std::make_unique<Document>(dir.File("vantry").c_str());
        else
            doc = std::make_unique<Document>();
        doc->SetHost(&host);
        view = std::make_unique<CSkedraView>(doc.get());
        view->OnInitialUpdate();
        view->SetWindow(&window);
        tree = std::make_unique<CLeftView>(doc.get());
        tree->SetControl(&treeControl);
    }
    void TearDown() override {
        tree.reset();
        view.reset();
        doc.reset(); // writes its settings file while the folder is still there
        LogTest::TearDown();
    }

    VCollection& C() { return *doc->Collection(); }
    // A paint of the item view's window of this size, recorded in `dc`.
    void Draw(int width = 1000, int height = 700) {
        dc.Clear();
        view->OnDraw(dc, {0, 0, width, height});
    }

    RecordingHost host;
    RecordingViewWindow window;
    RecordingTreeControl treeControl;
    std::unique_ptr<Document> doc;
    std::unique_ptr<CSkedraView> view;
    std::unique_ptr<CLeftView> tree;
    RecordingCanvas dc;
};
