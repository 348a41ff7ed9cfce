// The remote view from the window program: the ribbon's "Remote view" button opens the
// server dialog, a browser gets the open document's page while it is open, and closing
// it stops the server.
#include "foundation/qshell.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vcollviewer.h"
#include "net/socket.h"
#include "platform/command_ids.h"
#include "support/http_client.h"
#include "test_paths.h"
#include "wx/dialogs/dlg_server.h"
#include "wx/main_frame.h"
#include "wx/ui_thread_document.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/stattext.h>
#include <wx/thread.h>
#include <wx/timer.h>

namespace {

wxDialog* OpenDialogTitled(const wxString& title) {
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(w))
            if (dialog->IsShown() && dialog->GetTitle() == title) return dialog;
    return nullptr;
}

std::vector<std::string> StaticTexts(wxWindow* window) {
    std::vector<std::string> texts;
    for (wxWindow* child : window->GetChildren())
        if (auto* text = dynamic_cast<wxStaticText*>(child))
            texts.push_back(text->GetLabel().ToStdString());
    return texts;
}

TEST(ServerDialog, TheRemoteViewButtonServesTheDocumentWhileTheDialogIsOpen) {
    CMainFrame& frame = Frame();
    ASSERT_NE(frame.GetDocumentManager()->CreateDocument(VANTRY_DEMO_DOCUMENT, wxDOC_SILENT),
              nullptr);
    Settle();
    // The browser is asked from a thread of the dialog's own.
    struct Opened {
        std::mutex lock;
        std::vector<std::string> targets;
    };
    auto opened = std::make_shared<Opened>();
    QShellHandler previous = QSetShellHandler([opened](const char* target) {
        std::lock_guard<std::mutex> hold(opened->lock);
        opened->targets.push_back(target);
        return true;
    });
    DlgServer::SetBindAddress("127.0.0.1");

    // The button sits in the "Tools" panel of the "Global" page.
    frame.Ribbon()->SetActivePage((size_t)0);
    frame.Ribbon()->Realize();
    Settle();
    wxRibbonButtonBar* bar = RibbonBarWith(CMD_REMOTE_VIEW);
    ASSERT_NE(bar, nullptr);
    auto caption = frame.RibbonCaptions().find(CMD_REMOTE_VIEW);
    ASSERT_NE(caption, frame.RibbonCaptions().end());
    EXPECT_EQ(caption->second, "Remote view");
    auto* panel = dynamic_cast<wxRibbonPanel*>(bar->GetParent());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetLabel(), "Tools");
    EXPECT_EQ(dynamic_cast<wxRibbonPage*>(panel->GetParent())->GetLabel(), "Global");
    wxPoint remoteView;
    ASSERT_TRUE(SettleUntil([&] { return RibbonButtonOnScreen(CMD_REMOTE_VIEW, remoteView); }));

    // While the dialog runs its own loop, a browser asks for the page from another thread
    // (the page is built on this thread, between the dialog's events).
    std::vector<std::string> texts;
    std::string dialogTitle, closeLabel, page;
    bool clicked = false, forced = false;
    std::atomic<bool> fetched{false};
    std::vector<int> held; // clients that never finish a request
    std::thread browser;
    wxTimer poll;
    poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxDialog* dialog = OpenDialogTitled(DlgServer::TITLE);
        if (!dialog) return;
        if (!browser.joinable()) {
            dialogTitle = dialog->GetTitle().ToStdString();
            texts = StaticTexts(dialog);
            browser = std::thread([&] {
                page = http_test::Exchange(8100, "GET / HTTP/1.0\r\nUser-Agent: iPad\r\n\r\n");
                fetched = true;
            });
            return;
        }
        if (!fetched || clicked) return;
        clicked = true;
        // One client that sends nothing and one that stops in its head: closing the dialog
        // does not wait for them.
        held.push_back(http_test::Connect(8100));
        held.push_back(http_test::Connect(8100));
        http_test::SendAll(held.back(), "GET / HTTP/1.0\r\nHost: loc");
        EXPECT_TRUE(SaveWindowPicture(*dialog, "server-dialog.png"));
        // A click on "Close" ends it.
        auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(wxID_CANCEL));
        closeLabel = button ? button->GetLabel().ToStdString() : "<no button>";
        if (!button) return;
        EXPECT_TRUE(UserDoes(ClickAt(CentreOnScreen(*button))));
        // A dialog the click did not close is ended here, so the test fails, not hangs.
        if (dialog->IsModal()) {
            forced = true;
            dialog->EndModal(wxID_CANCEL);
        }
    });
    poll.Start(20);

    // A real click on the button, where the user would click.
    EXPECT_TRUE(UserDoes(ClickAt(remoteView)));
    EXPECT_TRUE(SettleUntil([&] { return fetched && !OpenDialogTitled(DlgServer::TITLE); }));
    poll.Stop();
    if (browser.joinable()) browser.join();
    auto targets = [&] {
        std::lock_guard<std::mutex> hold(opened->lock);
        return opened->targets;
    };
    EXPECT_TRUE(SettleUntil([&] { return !targets().empty(); })) << "the browser was asked";
    QSetShellHandler(previous);
    DlgServer::SetBindAddress("");

    EXPECT_EQ(dialogTitle, "Vantry HTTP Server");
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Serving on port 8100", "Browse to: 127.0.0.1:8100"}));
    EXPECT_EQ(closeLabel, "Close");
    EXPECT_FALSE(forced) << "the click on Close ended the dialog";
    EXPECT_EQ(targets(), (std::vector<std::string>{"http://127.0.0.1:8100"}));
    EXPECT_EQ(page.rfind("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=windows-1252\r\n\r\n"
                         "<html><head><title>Vantry Server - remote view / iPad</title>",
                         0),
              0u)
        << page;
    EXPECT_NE(page.find("Current path: All folders (click to move up)"), std::string::npos);
    EXPECT_EQ(OpenDialogTitled(DlgServer::TITLE), nullptr);
    // The dialog's server is gone with it: the port is free, its connections are closed.
    EXPECT_EQ(http_test::Connect(8100), -1);
    for (int handle : held) {
        EXPECT_EQ(http_test::ReadAll(handle, 10), "");
        close(handle);
    }
}

// A worker's work runs on the user-interface thread; once the document is closed, a
// worker still waiting gives up and its work never runs.
TEST(UiThreadDocument, RunsWorkOnTheUserInterfaceThreadUntilClosed) {
    VCollection c;
    VCollectionViewer viewer(&c);
    std::atomic<int> ran{0};
    std::atomic<bool> onUiThread{false};
    auto work = [&](VCollectionViewer& v) {
        onUiThread = wxIsMainThread() && &v == &viewer;
        ++ran;
    };
    {
        UiThreadDocument document([&] { return &viewer; });
        std::atomic<int> result{-1};
        std::thread worker([&] { result = document.Run(work); });
        EXPECT_TRUE(SettleUntil([&] { return result >= 0; }));
        worker.join();
        EXPECT_EQ(result.load(), 1);
        EXPECT_EQ(ran.load(), 1);
        EXPECT_TRUE(onUiThread.load());
    }
    {
        UiThreadDocument document([&] { return &viewer; });
        std::atomic<int> result{-1};
        Settle();
        ASSERT_FALSE(wxTheApp->HasPendingEvents());
        std::thread worker([&] { result = document.Run(work); });
        // Queued among the program's pending events, which this thread does not handle
        // meanwhile.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(WAIT_SECONDS);
        while (!wxTheApp->HasPendingEvents() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(wxTheApp->HasPendingEvents()) << "the worker queued its work";
        EXPECT_EQ(result.load(), -1);
        document.Close();
        worker.join();
        EXPECT_EQ(result.load(), 0);
        Settle();
        EXPECT_EQ(ran.load(), 1); // the abandoned work never ran
        EXPECT_FALSE(document.Run(work));
    }
}

// Another program holds the port: the dialog says so at once instead of claiming to serve,
// and opens no browser on the other program's page.
TEST(ServerDialog, ABusyPortIsSaidInTheDialog) {
    CMainFrame& frame = Frame();
    QNSocket holder(QNSocket::TCP, "holder");
    ASSERT_TRUE(holder.Listen(8100, 1, false, "127.0.0.1"));
    std::atomic<int> opened{0};
    QShellHandler previous = QSetShellHandler([&opened](const char*) {
        ++opened;
        return true;
    });
    DlgServer::SetBindAddress("127.0.0.1");
    std::vector<std::string> texts;
    {
        DlgServer dialog(&frame, [] { return nullptr; });
        dialog.Show();
        Settle();
        texts = StaticTexts(&dialog);
        EXPECT_TRUE(SaveWindowPicture(dialog, "server-dialog-busy-port.png"));
    }
    DlgServer::SetBindAddress("");
    QSetShellHandler(previous);
    EXPECT_EQ(texts, (std::vector<std::string>{"Can't serve: port 8100 is in use"}));
    EXPECT_EQ(opened.load(), 0) << "the browser is asked only when serving";
}

} // namespace
