// File > Sync in the real window against Radicale on loopback: the Account dialog filled
// by keys (the password goes to the desktop's secret store), Sync now from the File menu,
// the items read back by another device (python3-caldav), the document file read back,
// and a calendar emptied on the server asking before it deletes here. Runs on a private
// session bus with GNOME Keyring (tests/sync/run-with-keyring.sh).
#include "app/skedraDoc.h"
#include "app/window_sync.h"
#include "gui/calendar_server.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/model_builders.h"
#include "support/temp_dir.h"
#include "sync/secret_store.h"
#include "sync/sync_state.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ui.h"

#include <dlfcn.h>
#include <gmock/gmock.h>
#include <wx/button.h>
#include <wx/docview.h>
#include <wx/menu.h>

using ::testing::HasSubstr;

namespace {

wxButton* FileButton() {
    std::function<wxButton*(wxWindow*)> find = [&](wxWindow* window) -> wxButton* {
        for (wxWindow* child : window->GetChildren()) {
            if (auto* button = dynamic_cast<wxButton*>(child);
                button && button->GetLabel() == "File")
                return button;
            if (wxButton* inner = find(child)) return inner;
        }
        return nullptr;
    };
    return find(&Frame());
}

// The File menu is on the screen (GTK has mapped its window).
bool FileMenuShown() {
    static auto mapped = (int (*)(void*))dlsym(RTLD_DEFAULT, "gtk_widget_get_mapped");
    wxMenu* menu = Frame().FileMenu();
    return mapped && menu->m_menu && mapped(menu->m_menu);
}

// The File menu opened with the pointer, then keys: down to "Sync" (the ninth entry), into
// its sub-menu, `downs` further, and Return. Run with User::Conditions MENU.
std::string SyncMenuScript(int downs) {
    std::string script = ClickAt(CentreOnScreen(*FileButton())) + "until_program file_menu\n" +
                         "xdotool key Down Down Down Down Down Down Down Down Down Right\n" +
                         "handled\n";
    for (int i = 0; i < downs; ++i)
        script += "xdotool key Down\n";
    return script + "xdotool key Return\n";
}

const User::Conditions MENU = {{"file_menu", FileMenuShown}};

std::string StatusText() {
    return std::string(Frame().GetStatusBar()->GetStatusText().utf8_str());
}

// What follows each report here: the test's Radicale asks for Basic login over plain http.
const std::string UNENCRYPTED = " Warning: the password went to the server unencrypted "
                                "(Basic login over http); use an https:// address.";

// Waits for the sync started last to end and answers the status bar's line.
std::string SyncEnded() {
    EXPECT_TRUE(SettleUntil([] { return !Frame().Sync()->Running(); }))
        << "the sync never ended: " << StatusText();
    return StatusText();
}

class SyncGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start(dir.Path())) << FileBytes(dir.File("server.log"));
        path = dir.File("agenda.vnt");
        {
            VCollection c;
            auto* home = AddNode<VGroup>(c);
            home->name = "Home";
            AddNode<VTodo>(c, home)->what = "Water the plants";
            AddNode<VTodo>(c, home)->what = "Call the plumber";
            ASSERT_TRUE(c.Save(path.c_str()));
        }
        ASSERT_TRUE(Frame().OpenDocumentFile(path));
        Settle();
    }
    void TearDown() override {
        CurrentUI() = nullptr;
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }

    TempDir dir;
    CalendarServer server;
    std::string path;
};

TEST_F(SyncGuiTest, TheAccountByKeysAndSyncNowFromTheMenuPutTheItemsOnTheServer) {
    // The account, typed into the dialog the File menu opens.
    bool shown = WhileDialogShows(
        "Sync Account", [&] { EXPECT_TRUE(UserDoes(SyncMenuScript(0), MENU)); },
        [&](wxDialog& dialog) {
            ASSERT_TRUE(UserDoes("xdotool type --delay 10 '" + server.Url() +
                                 "'\nxdotool key Tab\nxdotool type --delay 10 test\n"
                                 "xdotool key Tab\nxdotool type --delay 10 secret\n"));
            EXPECT_TRUE(SaveWindowPicture(dialog, "sync-account-dialog.png"));
            EXPECT_TRUE(PressUntilClosed(dialog, "Return"));
        });
    ASSERT_TRUE(shown) << "File > Sync > Account... opened the dialog";
    SyncState state = ReadSyncState(*Doc().Collection());
    EXPECT_EQ(state.account.url, server.Url());
    EXPECT_EQ(state.account.user, "test");
    DesktopSecretStore keyring;
    std::string error;
    EXPECT_EQ(keyring.Lookup({server.Url(), "test"}, error), "secret") << error;

    // Sync now, from the menu; the other device finds both items.
    ASSERT_TRUE(UserDoes(SyncMenuScript(1), MENU));
    EXPECT_EQ(SyncEnded(), "Sync: 2 uploaded, 0 downloaded, 0 deleted on the server, 0 "
                           "deleted here." +
                               UNENCRYPTED);
    std::string onServer = server.DeviceList();
    EXPECT_THAT(onServer, HasSubstr("\tWater the plants\t"));
    EXPECT_THAT(onServer, HasSubstr("\tCall the plumber\t"));
    EXPECT_TRUE(SaveScreenPicture("sync-now-done.png")); // with the status bar

    // Saved and read back: the account and every item's place on the server, no password.
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key ctrl+s\n"));
    ASSERT_FALSE(Frame().GetDocumentManager()->GetCurrentDocument()->IsModified());
    std::string bytes = FileBytes(path);
    EXPECT_EQ(bytes.find("secret"), std::string::npos) << "no password in the document";
    VCollection saved;
    saved.Load(path.c_str());
    SyncState savedState = ReadSyncState(saved);
    EXPECT_EQ(savedState.account.url, server.Url());
    EXPECT_EQ(savedState.items.size(), 2u);
}

TEST_F(SyncGuiTest, ACalendarEmptiedOnTheServerAsksBeforeDeletingHere) {
    SetSyncAccount(*Doc().Collection(), {server.Url(), "test"});
    std::string error;
    ASSERT_TRUE(DesktopSecretStore().Store({server.Url(), "test"}, "secret", error)) << error;
    SendCommand(CMD_SYNC_NOW);
    ASSERT_THAT(SyncEnded(), HasSubstr("2 uploaded"));
    ASSERT_TRUE(server.DeviceEmpties());

    // The real question, answered No by keys: nothing goes.
    WxUIServices boxes;
    CurrentUI() = &boxes;
    ASSERT_TRUE(UserDoes(SyncMenuScript(1) + "window_shows '^Vantry$'\n"
                                             "xdotool key Escape\n",
                         MENU));
    EXPECT_EQ(SyncEnded(), "The sync would delete 2 items; nothing was changed." + UNENCRYPTED);
    auto items = [] {
        int count = 0;
        for (VNode* n = Doc().Collection()->root->next; n; n = n->next)
            count += !n->IsFolderKind();
        return count;
    };
    EXPECT_EQ(items(), 2);

    // Asked again and answered Yes: the items go here too, as one undo step.
    ASSERT_TRUE(
        UserDoes(SyncMenuScript(1) + "window_shows '^Vantry$'\nxdotool key Return\n", MENU));
    EXPECT_EQ(SyncEnded(), "Sync: 0 uploaded, 0 downloaded, 0 deleted on the server, 2 "
                           "deleted here." +
                               UNENCRYPTED);
    EXPECT_EQ(items(), 0);
    SendCommand(CMD_UNDO);
    Settle();
    EXPECT_EQ(items(), 2);
}

} // namespace
