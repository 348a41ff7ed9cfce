// The item commands on the real program, driven as a user would: keys and the context
// menu through xdotool on the virtual screen, the real dialogs and boxes, then Ctrl+S and
// the saved file read back.
#include "app/skedraDoc.h"
#include "foundation/qshell.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vreference.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "platform/ui.h"
#include "support/temp_dir.h"
#include "test_paths.h"
#include "views/skedraView.h"
#include "wx/item_view_window.h"
#include "wx/left_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"
#include "wx/wx_ui.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <wx/docview.h>
#include <wx/ribbon/bar.h>
#include <wx/textctrl.h>

namespace {

// Whether the ribbon's button of the command shows enabled, as update-UI has it.
// The rows' texts as the view has them after a paint.
std::vector<std::string> RowTexts() {
    CSkedraView& view = Frame().ItemView();
    EXPECT_TRUE(RowsLaidOut());
    std::vector<std::string> texts;
    for (int i = 0; i < view.RowCount(); ++i) {
        qstring text;
        view.RowItem(i)->Describe(text, true);
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
        ASSERT_TRUE(SettleUntil([] { return Frame().IsActive(); })) << "the frame has the keyboard";
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
    ASSERT_TRUE(GiveFocus(Frame().FilterTextEdit()));
    ASSERT_TRUE(UserDoes("xdotool type --delay 30 'Dig Garden'\nhandled\n"));
    EXPECT_EQ(Frame().FilterTextEdit()->GetValue(), "Dig Garden");
    SendCommand(CMD_CLEAR_FILTER); // it filtered the list as it was typed
    EXPECT_EQ(RowTexts().size(), 4u) << "no item was added";
    Frame().FilterTextEdit()->ChangeValue("");

    // Shift+D, a text, Enter: a new to-do in the list.
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    EXPECT_TRUE(UserDoes("xdotool key shift+d\n"
                         "window_shows '^To Do$'\n"
                         "xdotool type --delay 20 'Buy seeds for the balcony'\n"
                         "xdotool key Return\n"))
        << "xdotool found the to-do dialog and typed";
    rows = RowTexts();
    EXPECT_TRUE(Holds(rows, "Buy seeds for the balcony")) << "the new to-do is in the list";

    // Nothing selected: the ribbon's Delete and Edit are greyed.
    Frame().ItemView().Viewer()->DeselectAll();
    EXPECT_FALSE(ShownEnabled(CMD_DELETE));
    EXPECT_FALSE(ShownEnabled(CMD_EDIT));
    wxImage greyed = RibbonButtonPicture(CMD_DELETE);
    ASSERT_TRUE(greyed.IsOk());

    // The right button on a to-do's row opens the to-do menu; a picture of it.
    CSkedraView& view = Frame().ItemView();
    const VNode* plants = nullptr;
    for (int i = 0; i < view.RowCount(); ++i) {
        qstring text;
        view.RowItem(i)->Describe(text, true);
        if (text == "Water the plants") plants = view.RowItem(i);
    }
    ASSERT_NE(plants, nullptr);
    MenuWatcher menu(*Frame().ItemWindow(), "todo-context-menu.png");
    ASSERT_TRUE(UserDoes(MouseTo(RowOnScreen(plants)) +
                             "xdotool click 3\nuntil_program menu_pictured\nxdotool key Escape\n",
                         menu.Conditions()));
    EXPECT_TRUE(menu.pictured);
    EXPECT_EQ(menu.entries, (std::vector<wxString>{
                                "Waiting for this", "Not waiting for this (greyed)",
                                "Make active (greyed)", "Make inactive", "Delete...", "Edit..."}));
    EXPECT_TRUE(plants->tempFlags & SELECTED) << "the right button selected the row";
    EXPECT_TRUE(ShownEnabled(CMD_DELETE));
    EXPECT_TRUE(ShownEnabled(CMD_EDIT));
    EXPECT_FALSE(SamePixels(greyed, RibbonButtonPicture(CMD_DELETE)))
        << "the ribbon's Delete is drawn greyed without a selection, plain with one";
    EXPECT_TRUE(Holds(RowTexts(), "Water the plants")) << "Escape chose nothing";

    // The right button again at once, at the same spot: a double click to GTK, and the
    // menu opens all the same.
    {
        LongDoubleClickTime soon;
        MenuWatcher quick(*Frame().ItemWindow(), "todo-context-menu-quick.png");
        EXPECT_TRUE(UserDoes(MouseTo(RowOnScreen(plants)) + "xdotool click 3\n"
                                                            "until_program menu_shown\n"
                                                            "xdotool key Escape\n",
                             quick.Conditions()))
            << "a quick second right click opened the menu";
    }

    // The menu's "Delete...", the question answered Yes: the row is gone. The pointer
    // moves to another spot of the row first, as a hand would, and a fresh watcher waits
    // for this menu.
    MenuWatcher again(*Frame().ItemWindow(), "todo-context-menu-again.png");
    ASSERT_TRUE(UserDoes(MouseTo(RowOnScreen(plants) + wxPoint(40, 0)) +
                             "handled\n"
                             "xdotool click 3\n"
                             "until_program menu_shown\n"
                             "xdotool key l\n"
                             "window_shows '^Delete items$'\n"
                             "xdotool key Return\n",
                         again.Conditions()))
        << "the question showed";
    rows = RowTexts();
    EXPECT_FALSE(Holds(rows, "Water the plants"));
    EXPECT_TRUE(Holds(rows, "Call the plumber"));
    EXPECT_TRUE(Frame().GetDocumentManager()->GetCurrentDocument()->IsModified());

    // Ctrl+S saves; the file read back holds the changes.
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key ctrl+s\n"));
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

// Text in any script, typed into the real to-do dialog: the document becomes UTF-8 and
// keeps it; the saved file, opened by a new process, shows it in the list and on the
// command line of a UTF-8 terminal.
TEST_F(ItemCommandsGuiTest, ATextInAnyScriptIsKeptThroughSaveAndReopen) {
    const std::string typed =
        "\xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA \xE6\x97\xA5\xE6\x9C\xAC \xE2\x9C\x93";
    ASSERT_TRUE(Holds(RowTexts(), "Water the plants"));
    EXPECT_EQ(Doc().Collection()->textEncoding, TextEncoding::Windows1252);
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key shift+d\n"
                         "window_shows '^To Do$'\n" +
                         TypeText(typed) + "xdotool key Return\n"))
        << "xdotool found the to-do dialog and typed";
    EXPECT_TRUE(Holds(RowTexts(), typed)) << "the new to-do shows every character";
    EXPECT_EQ(Doc().Collection()->textEncoding, TextEncoding::Utf8);
    EXPECT_TRUE(SaveWindowPicture(Frame(), "unicode-typed.png"));

    // The dialog has closed: the main window is made the active one again, as a click would.
    ASSERT_TRUE(UserDoes("window_shows '^Vantry v4'\n"));
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));
    ASSERT_TRUE(UserDoes("xdotool key ctrl+s\n"));
    ASSERT_TRUE(SettleUntil(
        [] { return !Frame().GetDocumentManager()->GetCurrentDocument()->IsModified(); }));
    EXPECT_EQ(FileBytes(path).substr(8, 4), "TENC");

    // Another process opens the file: a picture of its window to look at.
    std::string pidFile = dir.File("vantry.pid");
    ASSERT_TRUE(UserDoes("VANTRY_NO_SPLASH=1 '" VANTRY_BINARY "' '" + path +
                         "' >/dev/null 2>&1 &\n"
                         "echo $! > '" +
                         pidFile +
                         "'\n"
                         "xdotool search --sync --onlyvisible --pid $! --name '^Vantry v4'\n"))
        << "the new process shows its window";
    EXPECT_TRUE(SaveScreenPicture("unicode-reopened.png"));
    std::string pid = FileBytes(pidFile);
    if (!pid.empty()) kill(std::stoi(pid), SIGKILL);

    // The command line of a UTF-8 terminal lists it.
    std::string command = "LANG=C.UTF-8 LC_ALL= '" VANTRY_BINARY "' --list '" + path + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string listed;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        listed.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_NE(listed.find(typed + "\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("Water the plants\n"), std::string::npos) << listed;

    // And so does this window, opening it again.
    ASSERT_TRUE(Frame().OpenDocumentFile(path));
    Frame().ItemView().SetViewType(0);
    EXPECT_EQ(Doc().Collection()->textEncoding, TextEncoding::Utf8);
    EXPECT_TRUE(Holds(RowTexts(), typed));
}

// The folder tree: its menu on the right button, F2, Delete and F1, and a collapse.
TEST_F(ItemCommandsGuiTest, TheFolderTreesMenuAndKeys) {
    VCollection& c = *CSkedraDoc::Current()->Collection();
    auto* trips = new VGroup(&c);
    trips->name = "Trips";
    c.Add(trips, c.root);
    auto* summer = new VGroup(&c);
    summer->name = "Summer";
    c.Add(summer, trips);
    trips->flags |= EXPANDED;
    Frame().DocumentChanged();
    LeftViewWindow& tree = *Frame().LeftView();
    ASSERT_TRUE(SettleUntil([&] { return tree.ItemOf(trips).IsOk(); }));
    EXPECT_EQ(tree.GetItemText(tree.GetSelection()), "All folders") << "the top folder selected";
    wxPoint onTrips;
    ASSERT_TRUE(TreeLabelOnScreen(tree, trips, onTrips));

    // The right button: the folder menu for the folder under the pointer, pictured; its
    // "Make inactive" (the pointer off the menu first, so the keys start at its top) makes
    // the folder the current one and inactive.
    MenuWatcher folderMenu(tree, "folder-context-menu.png");
    ASSERT_TRUE(UserDoes(MouseTo(onTrips) + "xdotool click 3\nuntil_program menu_pictured\n"
                                            "xdotool mousemove_relative -- -40 0\nhandled\n"
                                            "xdotool key Down Down Down Down Down Down Return\n",
                         folderMenu.Conditions()));
    EXPECT_TRUE(folderMenu.pictured);
    EXPECT_EQ(folderMenu.entries,
              (std::vector<wxString>{"Focus", "Rename", "Delete folder...", "Add subfolder...",
                                     "Export as HTML", "Make active (greyed)", "Make inactive",
                                     "Edit...", "About folders..."}));

    EXPECT_TRUE(trips->flags & INACTIVE);
    EXPECT_EQ(Frame().ItemView().Folder(), trips);
    EXPECT_FALSE(tree.ItemOf(trips).IsOk()) << "active items only: the folder left the tree";
    trips->flags &= ~INACTIVE;
    Frame().DocumentChanged();
    ASSERT_TRUE(SettleUntil([&] { return tree.ItemOf(trips).IsOk(); }));

    // F2 edits the selected folder's label; Escape leaves it.
    tree.SelectItem(tree.ItemOf(trips));
    ASSERT_TRUE(GiveFocus(&tree));
    ASSERT_TRUE(UserDoes("xdotool key F2\n"));
    EXPECT_TRUE(SettleUntil([&] { return tree.GetEditControl() != nullptr; }))
        << "F2 opened the label for editing";
    ASSERT_TRUE(UserDoes("xdotool key Delete End BackSpace Escape\n"));
    EXPECT_STREQ(trips->name.Text(), "Trips") << "keys in the label are the label's own";
    EXPECT_TRUE(c.Contains(trips));

    // F1 opens the folders tutorial.
    std::vector<std::string> pages;
    QSetShellHandler([&](const char* target) {
        pages.push_back(target);
        return true;
    });
    ASSERT_TRUE(GiveFocus(&tree));
    ASSERT_TRUE(UserDoes("xdotool key F1\n"));
    QSetShellHandler(nullptr);
    EXPECT_EQ(pages, std::vector<std::string>{
                         "https://vantry.app/index.php?jump=vantry/tutorial_groups.htm"});

    // A collapse marks the document modified, as an expansion does.
    Frame().GetDocumentManager()->GetCurrentDocument()->Modify(false);
    tree.Collapse(tree.ItemOf(trips));
    EXPECT_TRUE(SettleUntil([&] { return !(trips->flags & EXPANDED); }));
    EXPECT_TRUE(Frame().GetDocumentManager()->GetCurrentDocument()->IsModified());

    // Delete on the top folder says no; on a folder it asks, and Yes deletes it.
    tree.SelectItem(tree.ItemOf(c.root));
    ASSERT_TRUE(GiveFocus(&tree));
    ASSERT_TRUE(UserDoes("xdotool key Delete\n"
                         "window_shows '^Vantry$'\n"
                         "xdotool key Return\n"))
        << "You can't delete the top folder.";
    tree.SelectItem(tree.ItemOf(trips));
    ASSERT_TRUE(GiveFocus(&tree));
    ASSERT_TRUE(UserDoes("xdotool key Delete\n"
                         "window_shows '^Delete items$'\n"
                         "xdotool key Return\n"));
    EXPECT_FALSE(c.Contains(trips));
    EXPECT_FALSE(tree.ItemOf(summer).IsOk());
    EXPECT_EQ(Frame().ItemView().Folder(), c.root) << "the parent is shown";
    EXPECT_EQ(tree.GetItemText(tree.GetSelection()), "All folders");
}

} // namespace
