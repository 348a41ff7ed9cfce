// Real pointer input on the virtual screen: xdotool moves the pointer and presses the
// button from another process, as a user's hand would, while the program runs its
// events (and GTK its drag loop). Ticking a check box, dragging an action to another
// day, dragging an item onto another folder of the tree; a picture after each step and
// the saved file read back.
#include "app/skedraDoc.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "model/vvisibility.h"
#include "platform/command_ids.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "wx/left_view_window.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ids.h"

#include <cstring>
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/textctrl.h>

namespace {

// A point of the item view's page on the screen.
wxPoint OnScreen(ItemViewWindow& window, int x, int y) {
    return ViewPointOnScreen(window, x, y);
}

// The ribbon's state filter: "all items", or back to the default.
void ShowAllItems(bool all) {
    wxChoice* box = Frame().StateFilterBox();
    int index = all ? 5 : 0;
    box->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, box->GetId());
    event.SetInt(index);
    event.SetEventObject(box);
    box->GetEventHandler()->ProcessEvent(event);
    Settle();
}

VNode* Named(VCollection& c, const char* text) {
    for (VNode* n = c.root; n; n = n->next) {
        if (auto* todo = dynamic_cast<VTodo*>(n); todo && todo->what == text) return n;
        if (auto* action = dynamic_cast<VTask*>(n); action && action->what == text) return n;
        if (IsFolder(n) && n->name == text) return n;
    }
    return nullptr;
}

TEST(PointerGuiTest, TickDragAnActionAndMoveAnItemToAnotherFolder) {
    TempDir dir;
    wxDocManager& manager = *Frame().GetDocumentManager();
    manager.CreateNewDocument();
    Settle();
    CSkedraDoc& doc = *CSkedraDoc::Current();
    VCollection& c = *doc.Collection();
    auto* work = new VGroup(&c);
    work->name = "Work";
    c.Add(work, c.root);
    auto* home = new VGroup(&c);
    home->name = "Home";
    c.Add(home, c.root);
    auto* todo = new VTodo(&c);
    todo->what = "Tick me";
    c.Add(todo, work);
    auto* mover = new VTodo(&c);
    mover->what = "Move me home";
    c.Add(mover, work);
    auto* action = new VTask(&c);
    action->what = "Team meeting";
    action->flags = 0;
    action->startDate = "2026-12-16";
    action->duration = 2;
    c.Add(action, work);
    std::string path = dir.File("pointer.vnt");
    manager.GetCurrentDocument()->SetFilename(path, true);
    manager.GetCurrentDocument()->SetDocumentSaved(true);
    Frame().DocumentChanged();

    ItemViewWindow& window = *Frame().ItemWindow();
    LeftViewWindow& tree = *Frame().LeftView();
    CSkedraView& view = window.View();
    view.SetViewType(0);
    ShowAllItems(true); // done items stay in the list, with their tick and strike line
    tree.Tree().SelectNode(work);
    ASSERT_EQ(view.Folder(), work);
    auto todoRowShown = [&] {
        for (int i = 0; i < view.RowCount(); ++i)
            if (view.RowItem(i) == todo) return true;
        return false;
    };
    ASSERT_TRUE(PaintedUntil(window, todoRowShown));

    // 1. Tick the check box.
    const VRect& r = todo->rect;
    ASSERT_TRUE(UserDoes(ClickAt(OnScreen(window, r.x + 6, r.y + r.height / 2))));
    EXPECT_TRUE(todo->flags & DONE);
    EXPECT_TRUE(manager.GetCurrentDocument()->IsModified());
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-1-ticked.png"));

    // 2. Calendar: drag the action from Wednesday 16 to Monday 21 December.
    view.SetViewType(1);
    view.Calendar().gridStart.SetDate(30, 11, 2026);
    view.needsRebuild = true;
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.Calendar().actions.size() == 1; }));
    const CalendarCell* from = nullptr;
    const CalendarCell* to = nullptr;
    for (const CalendarCell& cell : view.Calendar().cells) {
        if (!std::strcmp(cell.date.Format(2), "2026-12-16")) from = &cell;
        if (!std::strcmp(cell.date.Format(2), "2026-12-21")) to = &cell;
    }
    ASSERT_TRUE(from && to);
    ASSERT_EQ(from->lineCount, 1);
    wxPoint press = OnScreen(window, from->x + 30, from->lines[0].rect.top + 5);
    wxPoint drop = OnScreen(window, to->x + to->w / 2, to->y + to->h / 2);
    wxPoint half((press.x + drop.x) / 2, (press.y + drop.y) / 2);
    ASSERT_TRUE(UserDoes(MouseTo(press) + "xdotool mousedown 1\nhandled\n" + MouseTo(half) +
                         "handled\n" + MouseTo(drop) + "handled\nxdotool mouseup 1\n"));
    EXPECT_STREQ(action->startDate.Text(), "2026-12-21");
    EXPECT_EQ(action->duration, 2);
    EXPECT_FALSE(view.Dragging());
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-2-action-moved.png"));

    // 3. List again: drag a row onto "Home" in the tree.
    view.SetViewType(0);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.RowCount() == 3; }));
    wxPoint rowPoint = OnScreen(window, 200, mover->rect.y + mover->rect.height / 2);
    wxRect homeRect;
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(home), homeRect, true));
    wxPoint target = tree.ClientToScreen(
        wxPoint(homeRect.x + homeRect.width / 2, homeRect.y + homeRect.height / 2));
    ASSERT_TRUE(UserDoes(DragScript(rowPoint, target)));
    EXPECT_TRUE(SettleUntil([&] { return mover->parent == home; })) << "dropped on Home";
    // The model changes at the drop; the list shows it at its next paint.
    EXPECT_TRUE(PaintedUntil(window, [&] { return view.RowCount() == 2; }))
        << "the item left the shown folder: " << view.RowCount() << " rows";
    tree.Tree().SelectNode(home);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.RowCount() == 1; }));
    EXPECT_EQ(view.RowItem(0), mover);
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-3-item-moved.png"));

    // 4. In the tree: drag the folder "Home" onto "Work".
    wxRect workRect;
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(work), workRect, true));
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(home), homeRect, true));
    ASSERT_TRUE(UserDoes(DragScript(tree.ClientToScreen(homeRect.GetPosition() + wxPoint(8, 6)),
                                    tree.ClientToScreen(workRect.GetPosition() + wxPoint(10, 6)))));
    EXPECT_TRUE(SettleUntil([&] { return home->parent == work; })) << "dropped on Work";
    tree.ExpandAll();
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-4-folder-moved.png"));

    // The saved file holds all three changes.
    wxCommandEvent save(wxEVT_MENU, WxIdOf(CMD_FILE_SAVE));
    Frame().GetEventHandler()->ProcessEvent(save);
    Settle();
    EXPECT_FALSE(manager.GetCurrentDocument()->IsModified());
    VCollection saved;
    saved.Load(path.c_str());
    VNode* savedTodo = Named(saved, "Tick me");
    VNode* savedMover = Named(saved, "Move me home");
    auto* savedAction = dynamic_cast<VTask*>(Named(saved, "Team meeting"));
    ASSERT_TRUE(savedTodo && savedMover && savedAction);
    EXPECT_TRUE(savedTodo->flags & DONE);
    EXPECT_FALSE(savedMover->flags & DONE);
    ASSERT_TRUE(savedTodo->parent && savedMover->parent);
    EXPECT_STREQ(savedTodo->parent->name.Text(), "Work");
    EXPECT_STREQ(savedMover->parent->name.Text(), "Home");
    EXPECT_STREQ(savedAction->startDate.Text(), "2026-12-21");
    EXPECT_EQ(savedAction->duration, 2);
    EXPECT_STREQ(savedAction->parent->name.Text(), "Work");
    ASSERT_NE(savedMover->parent->parent, nullptr);
    EXPECT_STREQ(savedMover->parent->parent->name.Text(), "Work") << "Home moved into Work";
    manager.GetCurrentDocument()->Modify(false);
    ShowAllItems(false);
}

TEST(PointerGuiTest, KeysAndTheWheel) {
    wxDocManager& manager = *Frame().GetDocumentManager();
    manager.CreateNewDocument();
    Settle();
    VCollection& c = *CSkedraDoc::Current()->Collection();
    auto* work = new VGroup(&c);
    work->name = "Errands";
    c.Add(work, c.root);
    VTodo* todos[3];
    const char* names[3] = {"Buy bread", "Post the letter", "Return the books"};
    for (int i = 0; i < 3; ++i) {
        todos[i] = new VTodo(&c);
        todos[i]->what = names[i];
        c.Add(todos[i], work);
    }
    Frame().DocumentChanged();
    ItemViewWindow& window = *Frame().ItemWindow();
    CSkedraView& view = window.View();
    view.SetViewType(0);
    Frame().LeftView()->Tree().SelectNode(work);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.RowCount() == 3; }));
    VNode* first = view.RowItem(0);
    ASSERT_TRUE(
        UserDoes(MouseTo(OnScreen(window, 200, first->rect.y + first->rect.height / 2)) +
                 "xdotool click 1\nhandled\nxdotool key Down\nhandled\nxdotool key Down\n"));
    EXPECT_EQ(c.Selected(), view.RowItem(2));
    ASSERT_TRUE(UserDoes("xdotool key Up\n"));
    EXPECT_EQ(c.Selected(), view.RowItem(1));
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-5-keys.png"));

    Frame().FilterTextEdit()->ChangeValue("some old text");
    ASSERT_TRUE(UserDoes("xdotool key f\n"));
    EXPECT_EQ(wxWindow::FindFocus(), Frame().FilterTextEdit());
    long from = -1, to = -1;
    Frame().FilterTextEdit()->GetSelection(&from, &to);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 13) << "the whole text is selected, ready to be typed over";
    Frame().FilterTextEdit()->ChangeValue("");

    ASSERT_TRUE(GiveFocus(&window));
    ASSERT_TRUE(UserDoes("xdotool key BackSpace\n"));
    EXPECT_EQ(view.Folder(), c.root);
    EXPECT_EQ(Frame().LeftView()->GetItemText(Frame().LeftView()->GetSelection()), "All folders");

    // The wheel turns the calendar's months: down (button 5) shows the next one.
    view.SetViewType(1);
    view.Calendar().gridStart.SetDate(30, 11, 2026);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.Calendar().weekRows == 5; }));
    ASSERT_TRUE(UserDoes(MouseTo(OnScreen(window, 300, 300)) + "xdotool click 5\n"));
    EXPECT_STREQ(view.Calendar().gridStart.Format(2), "2026-12-28") << "January 2027";
    ASSERT_TRUE(UserDoes("xdotool click 4\nhandled\nxdotool click 4\n"));
    EXPECT_STREQ(view.Calendar().gridStart.Format(2), "2026-10-26") << "November 2026";
    view.SetViewType(0);
}

} // namespace
