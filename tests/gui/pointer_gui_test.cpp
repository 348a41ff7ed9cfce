// Real pointer input on the virtual screen: xdotool moves the pointer and presses the
// button from another process, as a user's hand would, while the program runs its
// events (and GTK its drag loop). Ticking a check box, dragging an action to another
// day, dragging an item onto another folder of the tree; a picture after each step and
// the saved file read back.
#include "app/commands/command_ids.h"
#include "app/skedradoc.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "model/vvisibility.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "wx/command_ids.h"
#include "wx/folder_tree_window.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/textctrl.h>

namespace {

// Runs xdotool with these arguments while this thread keeps the program's events (and any
// drag loop they start) going; true when xdotool did all of it.
bool Hand(const std::string& arguments) {
    std::atomic<bool> done{false};
    int status = -1;
    std::thread hand([&] {
        status = std::system(("xdotool " + arguments).c_str());
        done = true;
    });
    for (int waited = 0; !done && waited < 20000; waited += 10) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
        wxMilliSleep(10);
    }
    hand.join();
    Settle();
    return status == 0;
}

// Repaints the item view until it shows what the test waits for (the window system may
// take a few rounds to map and size the frame).
bool PaintedUntil(ItemViewWindow& window, const std::function<bool()>& shown) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        window.Refresh();
        window.Update();
        Settle();
        if (shown()) return true;
        wxMilliSleep(20);
    }
    return false;
}

std::string At(const wxPoint& p) {
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

// A point of the item view's page on the screen.
wxPoint OnScreen(ItemViewWindow& window, int x, int y) {
    return window.ClientToScreen(window.CalcScrolledPosition(wxPoint(x, y)));
}

// A drag by hand from one screen point to another: press, move in steps (GTK starts its
// drag loop on the way and needs motion over the target), release.
std::string DragSteps(const wxPoint& from, const wxPoint& to) {
    std::string steps = "mousemove --sync " + At(from) + " mousedown 1 sleep 0.1";
    for (int i = 1; i <= 8; ++i) {
        wxPoint p(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8);
        steps += " mousemove " + At(p) + " sleep 0.1";
    }
    return steps + " mousemove " + At(to + wxPoint(2, 0)) + " sleep 0.2 mouseup 1 sleep 0.2";
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
    FolderTreeWindow& tree = *Frame().LeftView();
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
    ASSERT_TRUE(
        Hand("mousemove --sync " + At(OnScreen(window, r.x + 6, r.y + r.height / 2)) + " click 1"));
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
    ASSERT_TRUE(Hand("mousemove --sync " + At(press) + " mousedown 1 sleep 0.1 mousemove --sync " +
                     At(half) + " sleep 0.1 mousemove --sync " + At(drop) +
                     " sleep 0.1 mouseup 1"));
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
    ASSERT_TRUE(Hand(DragSteps(rowPoint, target)));
    EXPECT_EQ(mover->parent, home);
    EXPECT_EQ(view.RowCount(), 2) << "the item left the shown folder";
    tree.Tree().SelectNode(home);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.RowCount() == 1; }));
    EXPECT_EQ(view.RowItem(0), mover);
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-3-item-moved.png"));

    // 4. In the tree: drag the folder "Home" onto "Work".
    wxRect workRect;
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(work), workRect, true));
    ASSERT_TRUE(tree.GetBoundingRect(tree.ItemOf(home), homeRect, true));
    ASSERT_TRUE(Hand(DragSteps(tree.ClientToScreen(homeRect.GetPosition() + wxPoint(8, 6)),
                               tree.ClientToScreen(workRect.GetPosition() + wxPoint(10, 6)))));
    EXPECT_EQ(home->parent, work);
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
    ASSERT_TRUE(Hand("mousemove --sync " +
                     At(OnScreen(window, 200, first->rect.y + first->rect.height / 2)) +
                     " click 1 sleep 0.1 key Down sleep 0.1 key Down"));
    EXPECT_EQ(c.Selected(), view.RowItem(2));
    ASSERT_TRUE(Hand("key Up"));
    EXPECT_EQ(c.Selected(), view.RowItem(1));
    EXPECT_TRUE(SaveWindowPicture(Frame(), "pointer-5-keys.png"));

    Frame().FilterTextEdit()->ChangeValue("some old text");
    ASSERT_TRUE(Hand("key f"));
    EXPECT_EQ(wxWindow::FindFocus(), Frame().FilterTextEdit());
    long from = -1, to = -1;
    Frame().FilterTextEdit()->GetSelection(&from, &to);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 13) << "the whole text is selected, ready to be typed over";
    Frame().FilterTextEdit()->ChangeValue("");

    window.SetFocus();
    Settle();
    ASSERT_TRUE(Hand("key BackSpace"));
    EXPECT_EQ(view.Folder(), c.root);
    EXPECT_EQ(Frame().LeftView()->GetItemText(Frame().LeftView()->GetSelection()), "All folders");

    // The wheel turns the calendar's months: down (button 5) shows the next one.
    view.SetViewType(1);
    view.Calendar().gridStart.SetDate(30, 11, 2026);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.Calendar().weekRows == 5; }));
    ASSERT_TRUE(Hand("mousemove --sync " + At(OnScreen(window, 300, 300)) + " click 5"));
    EXPECT_STREQ(view.Calendar().gridStart.Format(2), "2026-12-28") << "January 2027";
    ASSERT_TRUE(Hand("click 4 sleep 0.1 click 4"));
    EXPECT_STREQ(view.Calendar().gridStart.Format(2), "2026-10-26") << "November 2026";
    view.SetViewType(0);
}

} // namespace
