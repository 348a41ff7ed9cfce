// The item commands on the real program, driven as a user would: keys and the context
// menu through xdotool on the virtual screen, the real dialogs and boxes, then Ctrl+S and
// the saved file read back.
#include "app/commands/command_ids.h"
#include "app/skedradoc.h"
#include "foundation/qshell.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vreference.h"
#include "model/vtodo.h"
#include "platform/ui.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "wx/command_ids.h"
#include "wx/folder_tree_window.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ui.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/docview.h>
#include <wx/menu.h>
#include <wx/ribbon/bar.h>
#include <wx/ribbon/buttonbar.h>
#include <wx/textctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

// Lets the program handle what is pending: input, paints, timers.
void Pump(int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        wxTheApp->ProcessPendingEvents();
        wxYield();
        wxMilliSleep(10);
    } while (std::chrono::steady_clock::now() < end);
}

// A user at the keyboard and the mouse: an xdotool script run in the background while the
// program goes on handling events (and the modal loops the script's keys open).
class User {
  public:
    // Runs the script (xdotool commands, one per line, through the shell) and waits for
    // it, at most 30 seconds; true when every step succeeded.
    static bool Does(const std::string& script) {
        std::vector<std::string> args = {"timeout", "30", "sh", "-ec", script};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid;
        if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
        int status = 0;
        for (;;) {
            Pump(20);
            pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid) break;
            if (done < 0) return false;
        }
        Pump(200);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

// The whole screen, as a picture under the build folder.
bool SaveScreen(const std::string& name) {
    wxScreenDC screen;
    // cairo keeps a copy of the screen it read last and would hand it out again: the screen
    // has changed since, as it must be told.
    using GetTarget = void* (*)(void*);
    using MarkDirty = void (*)(void*);
    static auto getTarget = reinterpret_cast<GetTarget>(dlsym(RTLD_DEFAULT, "cairo_get_target"));
    static auto markDirty =
        reinterpret_cast<MarkDirty>(dlsym(RTLD_DEFAULT, "cairo_surface_mark_dirty"));
    if (void* cairo = screen.GetHandle(); cairo && getTarget && markDirty)
        markDirty(getTarget(cairo));
    wxSize size = screen.GetSize();
    wxBitmap shot(size);
    wxMemoryDC memory(shot);
    memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    memory.SelectObject(wxNullBitmap);
    return shot.SaveFile(std::string(VANTRY_SCREENSHOT_DIR) + "/" + name, wxBITMAP_TYPE_PNG);
}

// Watches a window for the context menus it opens: the entries of the first one (a greyed
// one marked so), and a picture of the screen while it shows.
class MenuWatcher {
  public:
    MenuWatcher(wxWindow& watched, const std::string& picture)
        : window(watched), pictureName(picture) {
        window.Bind(wxEVT_MENU_OPEN, &MenuWatcher::opened, this);
    }
    ~MenuWatcher() { window.Unbind(wxEVT_MENU_OPEN, &MenuWatcher::opened, this); }

    std::vector<wxString> entries;
    bool pictured = false;

  private:
    void opened(wxMenuEvent& event) {
        event.Skip();
        if (!event.GetMenu() || !entries.empty()) return;
        for (wxMenuItem* item : event.GetMenu()->GetMenuItems())
            if (!item->IsSeparator())
                entries.push_back(item->GetItemLabelText() +
                                  (item->IsEnabled() ? "" : " (greyed)"));
        // Once GTK has mapped and drawn it.
        wxTheApp->CallAfter([this] {
            wxMilliSleep(300);
            wxYield();
            pictured = SaveScreen(pictureName);
        });
    }

    wxWindow& window;
    std::string pictureName;
};

// Where a row of the item view is on the screen: a little into its text.
wxPoint RowOnScreen(const VNode* item) {
    ItemViewWindow& window = *Frame().ItemWindow();
    wxPoint inWindow = window.CalcScrolledPosition(
        wxPoint(item->rect.x + 60, item->rect.y + item->rect.height / 2));
    return window.ClientToScreen(inWindow);
}

// Whether the ribbon's button of the command shows enabled, as update-UI has it.
bool ShownEnabled(int command) {
    wxUpdateUIEvent event(WxIdOf(command));
    event.SetEventObject(&Frame());
    Frame().GetEventHandler()->ProcessEvent(event);
    return event.GetEnabled();
}

// The ribbon's button of the command as the screen shows it, after update-UI has run.
wxImage ButtonPicture(wxWindow* window, int command) {
    for (wxWindow* child : window->GetChildren()) {
        auto* bar = dynamic_cast<wxRibbonButtonBar*>(child);
        if (bar && bar->GetItemById(WxIdOf(command))) {
            Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
            bar->Refresh();
            bar->Update();
            Pump(100);
            wxRect r = bar->GetItemRect(WxIdOf(command));
            wxClientDC dc(bar);
            wxBitmap shot(r.GetSize());
            wxMemoryDC memory(shot);
            memory.Blit(0, 0, r.width, r.height, &dc, r.x, r.y);
            memory.SelectObject(wxNullBitmap);
            return shot.ConvertToImage();
        }
        if (wxImage below = ButtonPicture(child, command); below.IsOk()) return below;
    }
    return wxImage();
}

bool SamePicture(const wxImage& a, const wxImage& b) {
    return a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
}

std::string MouseTo(const wxPoint& p) {
    return "xdotool mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
}

// The rows' texts as the view has them after a paint.
std::vector<std::string> RowTexts() {
    Frame().UpdateAllViews();
    Frame().ItemWindow()->Update();
    Pump(100);
    std::vector<std::string> texts;
    CSkedraView& view = Frame().ItemView();
    for (int i = 0; i < view.rowCount; ++i) {
        qstring text;
        view.rowSlots[i].item->Describe(text, true);
        texts.push_back(text.Text());
    }
    return texts;
}

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ItemCommandsGuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The boxes are the real ones here: the user answers them.
        CurrentUI() = &boxes;
        // A document on disk, so that Ctrl+S saves without asking for a name.
        path = dir.File("agenda.vnt");
        VCollection start;
        for (const char* text : {"Call the plumber", "Water the plants", "Renew the passport"}) {
            auto* todo = new VTodo(&start);
            todo->what = text;
            start.Add(todo, start.root);
        }
        auto* fact = new VFact(&start);
        fact->name = "Shoe size 43";
        start.Add(fact, start.root);
        ASSERT_TRUE(start.Save(path.c_str()));
        ASSERT_TRUE(Frame().OpenDocumentFile(path));
        Frame().ItemView().SetViewType(0);
        Frame().Raise();
        Pump(300);
    }
    void TearDown() override {
        CurrentUI() = nullptr;
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }

    WxUIServices boxes;
    TempDir dir;
    std::string path;
};

TEST_F(ItemCommandsGuiTest, KeysAndTheContextMenuChangeTheDocumentAndCtrlSSavesIt) {
    std::vector<std::string> rows = RowTexts();
    ASSERT_TRUE(Holds(rows, "Water the plants")) << "the document is shown as a list";

    // In the filter field a capital letter is typed, not taken for Shift+D or Shift+G.
    Frame().Ribbon()->SetActivePage((size_t)1); // "Items"
    Pump(100);
    Frame().FilterTextEdit()->SetFocus();
    Pump(100);
    ASSERT_TRUE(User::Does("xdotool type --delay 30 'Dig Garden'\nsleep 0.5\n"));
    EXPECT_EQ(Frame().FilterTextEdit()->GetValue(), "Dig Garden");
    SendCommand(CMD_CLEAR_FILTER); // it filtered the list as it was typed
    EXPECT_EQ(RowTexts().size(), 4u) << "no item was added";
    Frame().FilterTextEdit()->ChangeValue("");

    // Shift+D, a text, Enter: a new to-do in the list.
    Frame().ItemWindow()->SetFocus();
    Pump(100);
    EXPECT_TRUE(User::Does("xdotool key shift+d\n"
                           "xdotool search --sync --onlyvisible --name '^To Do$' "
                           "windowactivate --sync\n"
                           "sleep 0.3\n"
                           "xdotool type --delay 20 'Buy seeds for the balcony'\n"
                           "xdotool key Return\n"))
        << "xdotool found the to-do dialog and typed";
    rows = RowTexts();
    EXPECT_TRUE(Holds(rows, "Buy seeds for the balcony")) << "the new to-do is in the list";

    // Nothing selected: the ribbon's Delete and Edit are greyed.
    Frame().ItemView().viewer->DeselectAll();
    EXPECT_FALSE(ShownEnabled(CMD_DELETE));
    EXPECT_FALSE(ShownEnabled(CMD_EDIT));
    wxImage greyed = ButtonPicture(Frame().Ribbon(), CMD_DELETE);
    ASSERT_TRUE(greyed.IsOk());

    // The right button on a to-do's row opens the to-do menu; a picture of it.
    CSkedraView& view = Frame().ItemView();
    const VNode* plants = nullptr;
    for (int i = 0; i < view.rowCount; ++i) {
        qstring text;
        view.rowSlots[i].item->Describe(text, true);
        if (text == "Water the plants") plants = view.rowSlots[i].item;
    }
    ASSERT_NE(plants, nullptr);
    MenuWatcher menu(*Frame().ItemWindow(), "todo-context-menu.png");
    ASSERT_TRUE(User::Does(MouseTo(RowOnScreen(plants)) +
                           "xdotool click 3\nsleep 1.2\nxdotool key Escape\n"));
    EXPECT_TRUE(menu.pictured);
    EXPECT_EQ(menu.entries, (std::vector<wxString>{
                                "Waiting for this", "Not waiting for this (greyed)",
                                "Make active (greyed)", "Make inactive", "Delete...", "Edit..."}));
    EXPECT_TRUE(plants->tempFlags & SELECTED) << "the right button selected the row";
    EXPECT_TRUE(ShownEnabled(CMD_DELETE));
    EXPECT_TRUE(ShownEnabled(CMD_EDIT));
    EXPECT_FALSE(SamePicture(greyed, ButtonPicture(Frame().Ribbon(), CMD_DELETE)))
        << "the ribbon's Delete is drawn greyed without a selection, plain with one";
    EXPECT_TRUE(Holds(RowTexts(), "Water the plants")) << "Escape chose nothing";

    // The menu's "Delete...", the question answered Yes: the row is gone.
    ASSERT_TRUE(User::Does(MouseTo(RowOnScreen(plants)) +
                           "xdotool click 3\n"
                           "sleep 0.6\n"
                           "xdotool key l\n"
                           "xdotool search --sync --onlyvisible --name '^Delete items$' "
                           "windowactivate --sync\n"
                           "sleep 0.3\n"
                           "xdotool key Return\n"))
        << "the question showed";
    rows = RowTexts();
    EXPECT_FALSE(Holds(rows, "Water the plants"));
    EXPECT_TRUE(Holds(rows, "Call the plumber"));
    EXPECT_TRUE(Frame().GetDocumentManager()->GetCurrentDocument()->IsModified());

    // Ctrl+S saves; the file read back holds the changes.
    Frame().ItemWindow()->SetFocus();
    ASSERT_TRUE(User::Does("xdotool key ctrl+s\n"));
    EXPECT_FALSE(Frame().GetDocumentManager()->GetCurrentDocument()->IsModified());
    VCollection saved;
    saved.Load(path.c_str());
    std::vector<std::string> texts;
    for (VNode* n = saved.root->next; n; n = n->next) {
        qstring text;
        n->Describe(text, true);
        texts.push_back(text.Text());
    }
    EXPECT_FALSE(Holds(texts, "Water the plants"));
    EXPECT_TRUE(Holds(texts, "Buy seeds for the balcony"));
    EXPECT_TRUE(Holds(texts, "Renew the passport"));
    EXPECT_EQ(texts.size(), 4u);
}

// The folder tree: its menu on the right button, F2, Delete and F1, and a collapse.
TEST_F(ItemCommandsGuiTest, TheFolderTreesMenuAndKeys) {
    VCollection& c = *CSkedraDoc::Current()->collection;
    auto* trips = new VGroup(&c);
    trips->name = "Trips";
    c.Add(trips, c.root);
    auto* summer = new VGroup(&c);
    summer->name = "Summer";
    c.Add(summer, trips);
    trips->flags |= EXPANDED;
    Frame().DocumentChanged();
    Pump(200);
    FolderTreeWindow& tree = *Frame().LeftView();
    wxTreeItemId tripsItem = tree.ItemOf(trips);
    ASSERT_TRUE(tripsItem.IsOk());
    EXPECT_EQ(tree.GetItemText(tree.GetSelection()), "All folders") << "the top folder selected";
    wxRect r;
    tree.GetBoundingRect(tripsItem, r, true);
    wxPoint onTrips = tree.ClientToScreen(wxPoint(r.x + r.width / 2, r.y + r.height / 2));

    // The right button: the folder menu for the folder under the pointer.
    MenuWatcher folderMenu(tree, "folder-context-menu.png");
    ASSERT_TRUE(User::Does(MouseTo(onTrips) + "xdotool click 3\nsleep 1.2\nxdotool key Escape\n"));
    EXPECT_TRUE(folderMenu.pictured);
    EXPECT_EQ(folderMenu.entries,
              (std::vector<wxString>{"Focus", "Rename", "Delete folder...", "Add subfolder...",
                                     "Export as HTML", "Make active (greyed)", "Make inactive",
                                     "Edit...", "About folders..."}));

    // The menu's "Make inactive" makes it the current folder and inactive.
    ASSERT_TRUE(User::Does(MouseTo(onTrips) +
                           "xdotool click 3\nsleep 0.6\n"
                           "xdotool key Down Down Down Down Down Down Return\n"));
    EXPECT_TRUE(trips->flags & INACTIVE);
    EXPECT_EQ(Frame().ItemView().Folder(), trips);
    EXPECT_FALSE(tree.ItemOf(trips).IsOk()) << "active items only: the folder left the tree";
    trips->flags &= ~INACTIVE;
    Frame().DocumentChanged();
    Pump(100);
    ASSERT_TRUE(tree.ItemOf(trips).IsOk());

    // F2 edits the selected folder's label; Escape leaves it.
    tree.SetFocus();
    tree.SelectItem(tree.ItemOf(trips));
    Pump(100);
    ASSERT_TRUE(User::Does("xdotool key F2\nsleep 0.4\n"));
    EXPECT_NE(tree.GetEditControl(), nullptr) << "F2 opened the label for editing";
    ASSERT_TRUE(User::Does("xdotool key Delete End BackSpace Escape\n"));
    EXPECT_STREQ(trips->name.Text(), "Trips") << "keys in the label are the label's own";
    EXPECT_TRUE(c.Contains(trips));

    // F1 opens the folders tutorial.
    std::vector<std::string> pages;
    QSetShellHandler([&](const char* target) {
        pages.push_back(target);
        return true;
    });
    tree.SetFocus();
    ASSERT_TRUE(User::Does("xdotool key F1\n"));
    QSetShellHandler(nullptr);
    EXPECT_EQ(pages, std::vector<std::string>{
                         "https://vantry.app/index.php?jump=vantry/tutorial_groups.htm"});

    // A collapse marks the document modified, as an expansion does.
    Frame().GetDocumentManager()->GetCurrentDocument()->Modify(false);
    tree.Collapse(tree.ItemOf(trips));
    Pump(100);
    EXPECT_FALSE(trips->flags & EXPANDED);
    EXPECT_TRUE(Frame().GetDocumentManager()->GetCurrentDocument()->IsModified());

    // Delete on the top folder says no; on a folder it asks, and Yes deletes it.
    tree.SelectItem(tree.ItemOf(c.root));
    tree.SetFocus();
    Pump(100);
    ASSERT_TRUE(User::Does("xdotool key Delete\n"
                           "xdotool search --sync --onlyvisible --name '^Vantry$' "
                           "windowactivate --sync\n"
                           "sleep 0.3\nxdotool key Return\n"))
        << "You can't delete the top folder.";
    tree.SelectItem(tree.ItemOf(trips));
    tree.SetFocus();
    Pump(100);
    ASSERT_TRUE(User::Does("xdotool key Delete\n"
                           "xdotool search --sync --onlyvisible --name '^Delete items$' "
                           "windowactivate --sync\n"
                           "sleep 0.3\nxdotool key Return\n"));
    EXPECT_FALSE(c.Contains(trips));
    EXPECT_FALSE(tree.ItemOf(summer).IsOk());
    EXPECT_EQ(Frame().ItemView().Folder(), c.root) << "the parent is shown";
    EXPECT_EQ(tree.GetItemText(tree.GetSelection()), "All folders");
}

} // namespace
