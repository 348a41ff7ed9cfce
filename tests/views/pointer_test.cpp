// The item view's pointer, wheel and keys, and drops on the folder tree, without a
// window: a recording window and a scripted item dialog stand in for the platform.
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/answering_editor.h"
#include "support/model_builders.h"
#include "support/scripted_document.h"
#include "support/scripted_ui.h"
#include "support/windowless_program.h"
#include "views/LeftView.h"
#include "views/drag_data.h"
#include "views/skedraView.h"
#include "views/view_flags.h"
#include "views/view_window.h"

#include <cctype>
#include <cstring>
#include <gmock/gmock.h>
#include <typeindex>

namespace {

class PointerTest : public WindowlessProgram<ScriptedDocument> {
  protected:
    static constexpr int ROWS_TOP = 70, ROW = 20;

    void SetUp() override {
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
        WindowlessProgram::SetUp();
        view->viewFlags &= ~0x20u; // no Gantt chart: rows as wide as the window
    }
    int RowY(int row) const { return ROWS_TOP + row * ROW + ROW / 2; }
    // The strike line through a row, drawn for done items.
    bool Struck(const VNode* item) const {
        int y = (item->rect.height + 2 * item->rect.y) / 2;
        for (const CanvasCall& line : dc.Calls(CanvasCall::Line))
            if (line.rect.top == y && line.rect.bottom == y && line.rect.left == item->rect.x + 20)
                return true;
        return false;
    }
    VGroup* Folder(const char* name, VNode* parent = nullptr) {
        auto* folder = AddNode<VGroup>(C(), parent);
        folder->name = name;
        return folder;
    }
    VTodo* Todo(const char* what, VNode* parent = nullptr) {
        auto* todo = AddNode<VTodo>(C(), parent);
        todo->what = what;
        return todo;
    }
    int Modifications() const {
        int count = 0;
        for (const std::string& call : host.calls)
            count += call == "modified";
        return count;
    }
};

// List mode ------------------------------------------------------------------------------

TEST_F(PointerTest, ACheckBoxClickTogglesDoneAndAClickElsewhereOnlySelects) {
    view->SetViewType(0);
    view->viewFlags |= 0x002; // completed items shown too
    C().filterFlags = FilterFlagsFor(view->viewFlags, C().filterFlags);
    Todo("finished");
    Todo("other");
    Draw();
    ASSERT_EQ(view->RowCount(), 2);
    auto* first = static_cast<VTodo*>(view->RowItem(0));
    first->flags |= DONE;
    Draw();
    ASSERT_TRUE(Struck(first));

    view->OnLButtonDown(200, RowY(0)); // on the text
    view->OnLButtonUp(200, RowY(0));
    EXPECT_TRUE(first->flags & DONE) << "a click elsewhere changes no flag";
    EXPECT_TRUE(first->tempFlags & SELECTED);
    EXPECT_FALSE(host.modified);

    view->OnLButtonDown(5, RowY(0)); // inside the box: 0 <= x < 14
    view->OnLButtonUp(5, RowY(0));
    EXPECT_FALSE(first->flags & DONE);
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(Modifications(), 1);
    Draw();
    EXPECT_FALSE(Struck(first)) << "the strike line went with the flag";

    view->OnLButtonDown(13, RowY(0)); // the last unit of the box
    EXPECT_TRUE(first->flags & DONE);
    view->OnLButtonDown(14, RowY(0)); // just right of it
    EXPECT_TRUE(first->flags & DONE);
    EXPECT_TRUE(window.drags.empty());
}

TEST_F(PointerTest, TheCheckBoxMovesRightWithTheLevelAndTheIcon) {
    view->SetViewType(0);
    VGroup* work = Folder("Work");
    auto* call = AddNode<VCall>(C(), work); // a to-call has an icon
    call->flags = 0;
    Draw();
    ASSERT_EQ(view->RowCount(), 2);
    ASSERT_EQ(view->RowItem(1), call);
    ASSERT_EQ(call->level, 1);
    ASSERT_NE(call->icon, ItemIcon::None);
    EXPECT_FALSE(view->InCheckBox(call, 22, RowY(1)));
    EXPECT_TRUE(view->InCheckBox(call, 23, RowY(1))); // 5 x level + 18
    EXPECT_TRUE(view->InCheckBox(call, 36, RowY(1)));
    EXPECT_FALSE(view->InCheckBox(call, 37, RowY(1)));
    EXPECT_FALSE(view->InCheckBox(call, 25, RowY(0))) << "another row's height";
}

TEST_F(PointerTest, DoubleClicksOpenItemsButNotFromTheCheckBox) {
    view->SetViewType(0);
    AnsweringEditor editor(false);
    VTodo* todo = Todo("call the plumber");
    Draw();
    view->OnLButtonDown(5, RowY(0));
    view->OnLButtonDblClk(5, RowY(0));
    EXPECT_TRUE(editor.opened.empty()) << "a double click on the check box opens nothing";

    host.calls.clear();
    editor.answers = {true};
    view->OnLButtonDblClk(200, RowY(0));
    ASSERT_EQ(editor.opened, std::vector<VNode*>{todo});
    EXPECT_EQ(Modifications(), 1) << "a confirmed dialog is one change";

    host.calls.clear();
    view->OnLButtonDblClk(200, RowY(0)); // cancelled
    EXPECT_EQ(Modifications(), 0);
}

TEST_F(PointerTest, FoldersOpenByDoubleClickBackspaceGoesUpEnterEditsTheFolder) {
    view->SetViewType(0);
    AnsweringEditor editor(false);
    VGroup* work = Folder("Work");
    Todo("inside", work);
    Draw();
    ASSERT_EQ(view->RowItem(0), work);
    view->OnLButtonDown(200, RowY(0));
    view->OnLButtonDblClk(200, RowY(0));
    EXPECT_EQ(view->Folder(), work);
    EXPECT_EQ(treeControl.shown, std::vector<VNode*>{work}) << "the tree follows";
    EXPECT_FALSE(work->tempFlags & SELECTED);
    EXPECT_TRUE(editor.opened.empty());

    view->OnKeyDown(ViewKey::Backspace);
    EXPECT_EQ(view->Folder(), C().root);
    EXPECT_EQ(treeControl.shown.back(), C().root);
    view->OnKeyDown(ViewKey::Backspace); // the top folder has no parent
    EXPECT_EQ(view->Folder(), C().root);
    EXPECT_EQ(treeControl.shown.size(), 2u);

    Draw();
    view->OnLButtonDown(200, RowY(0));
    editor.answers = {true};
    view->OnKeyDown(ViewKey::Enter);
    EXPECT_EQ(editor.opened, std::vector<VNode*>{work}) << "the folder's own dialog";
    EXPECT_EQ(view->Folder(), C().root);
    view->OnKeyDown(ViewKey::F2);
    EXPECT_EQ(editor.opened.size(), 2u);
}

TEST_F(PointerTest, DoubleClickOnEmptySpaceAddsAnItemOfTheFoldersType) {
    view->SetViewType(0);
    AnsweringEditor editor(false);
    VGroup* folder = Folder("Typed");
    view->SetFolder(folder);
    const std::pair<int, std::type_index> kinds[] = {
        {0, typeid(VTodo)},    {1, typeid(VTask)}, {2, typeid(VAgreement)}, {3, typeid(VCall)},
        {4, typeid(VContact)}, {5, typeid(VFact)}, {6, typeid(VURL)},       {7, typeid(VMail)},
        {8, typeid(VPay)},     {9, typeid(VTodo)}, {42, typeid(VTodo)},
    };
    for (const auto& [type, kind] : kinds) {
        folder->folderType = type;
        editor.answers = {true};
        int before = C().CountChildren(folder, false);
        Draw();
        view->OnLButtonDblClk(200, 600);
        ASSERT_FALSE(editor.opened.empty());
        EXPECT_EQ(std::type_index(typeid(*editor.opened.back())), kind) << type;
        EXPECT_EQ(C().CountChildren(folder, false), before + 1) << type;
        EXPECT_EQ(editor.opened.back()->parent, folder);
    }
    host.calls.clear();
    int before = C().CountChildren(folder, false);
    Draw();
    view->OnLButtonDblClk(200, 600); // cancelled
    EXPECT_EQ(C().CountChildren(folder, false), before);
    EXPECT_EQ(Modifications(), 0);
}

TEST_F(PointerTest, APressThatMovesMoreThanFiveUnitsDragsTheRowsSerial) {
    view->SetViewType(0);
    VTodo* todo = Todo("drag me");
    Draw();
    view->OnLButtonDown(200, RowY(0));
    view->OnMouseMove(205, RowY(0) + 5, true);
    EXPECT_TRUE(window.drags.empty());
    view->OnMouseMove(206, RowY(0), true);
    ASSERT_EQ(window.drags, std::vector<std::string>{DragDataOf(*todo)});
    view->OnMouseMove(300, RowY(0), true);
    EXPECT_EQ(window.drags.size(), 1u) << "one drag per press";
    view->OnLButtonUp(300, RowY(0));

    view->OnLButtonDown(200, RowY(0));
    view->OnMouseMove(300, RowY(0), false); // the release was missed
    view->OnLButtonDown(5, RowY(0));        // the check box drags nothing
    view->OnMouseMove(300, RowY(0), true);
    EXPECT_EQ(window.drags.size(), 1u);
}

TEST_F(PointerTest, TheWheelScrollsFiveRowsANotchNeverAboveTheTop) {
    view->SetViewType(0);
    for (int i = 0; i < 60; ++i)
        Todo("row");
    Draw();
    view->OnMouseWheel(-120);
    EXPECT_EQ(window.top, 100);
    view->OnMouseWheel(-120);
    EXPECT_EQ(window.top, 200);
    view->OnMouseWheel(120);
    EXPECT_EQ(window.top, 100);
    view->OnMouseWheel(120);
    view->OnMouseWheel(120);
    EXPECT_EQ(window.top, 0);
}

// Keys -----------------------------------------------------------------------------------

TEST_F(PointerTest, ArrowsWalkTheShownChainAndScrollTheRowIntoView) {
    view->SetViewType(0);
    for (int i = 0; i < 40; ++i)
        Todo("row");
    Draw();
    window.height = 200;
    view->OnKeyDown(ViewKey::Up);
    EXPECT_EQ(C().Selected(), nullptr) << "nothing before nothing";
    view->OnKeyDown(ViewKey::Down);
    EXPECT_EQ(C().Selected(), view->RowItem(0)) << "the first shown item";
    for (int i = 0; i < 10; ++i)
        view->OnKeyDown(ViewKey::Down);
    EXPECT_EQ(C().Selected(), view->RowItem(10));
    // Row 10 ends at 70 + 11 x 20 = 290: the window's 200 units end there.
    EXPECT_EQ(window.top, 90);
    for (int i = 0; i < 10; ++i)
        view->OnKeyDown(ViewKey::Up);
    EXPECT_EQ(C().Selected(), view->RowItem(0));
    EXPECT_EQ(window.top, ROWS_TOP);
    for (int i = 0; i < 50; ++i)
        view->OnKeyDown(ViewKey::Down);
    EXPECT_EQ(C().Selected(), view->RowItem(39)) << "stops at the last";
}

// Home and End choose the first and the last row, the page keys a window's height of rows
// less one; Space ticks the selected item as its check box would.
TEST_F(PointerTest, HomeEndPageKeysAndSpaceInTheList) {
    view->SetViewType(0);
    for (int i = 0; i < 20; ++i)
        Todo("row");
    Draw();
    window.height = 5 * ROW;
    const std::pair<ViewKey, int> steps[] = {
        {ViewKey::End, 19},   {ViewKey::Home, 0}, {ViewKey::PageDown, 4}, {ViewKey::PageDown, 8},
        {ViewKey::PageUp, 4}, {ViewKey::End, 19}, {ViewKey::PageDown, 19}};
    for (const auto& [key, row] : steps) {
        view->OnKeyDown(key);
        EXPECT_EQ(C().Selected(), view->RowItem(row)) << (int)key;
    }
    EXPECT_EQ(window.top, ROWS_TOP + 20 * ROW - 5 * ROW) << "the last row scrolled into view";
    VNode* selected = C().Selected();
    view->OnKeyDown(ViewKey::Space);
    EXPECT_TRUE(selected->flags & DONE);
    view->OnKeyDown(ViewKey::Space);
    EXPECT_FALSE(selected->flags & DONE);
    EXPECT_THAT(doc->changeNames, testing::ElementsAre("Mark done", "Mark not done"));
}

// Ctrl with the wheel asks for the zoom commands, a notch a step; the rows stay put.
TEST_F(PointerTest, CtrlWithTheWheelZooms) {
    view->SetViewType(0);
    for (int i = 0; i < 60; ++i)
        Todo("row");
    Draw();
    view->OnMouseWheel(120, true);
    view->OnMouseWheel(-240, true);
    EXPECT_THAT(window.commands, testing::ElementsAre(CMD_ZOOM_IN, CMD_ZOOM_OUT, CMD_ZOOM_OUT));
    EXPECT_EQ(window.top, 0);
    view->SetViewType(1);
    view->OnMouseWheel(120, true);
    EXPECT_EQ(window.commands.back(), CMD_ZOOM_IN) << "in the calendar as well";
}

TEST_F(PointerTest, DeleteSendsTheCommandAndFReachesTheFilterField) {
    AnsweringEditor editor(false);
    view->OnKeyDown(ViewKey::Delete);
    EXPECT_EQ(window.commands, std::vector<int>{32792});
    view->OnKeyDown(ViewKey::F);
    EXPECT_EQ(window.filterFocus, 1);
    view->OnKeyDown(ViewKey::Enter); // nothing selected
    view->OnKeyDown(ViewKey::Other);
    EXPECT_TRUE(editor.opened.empty());
}

// Calendar mode --------------------------------------------------------------------------

class CalendarPointerTest : public PointerTest {
  protected:
    void SetUp() override {
        PointerTest::SetUp();
        view->SetViewType(1);
        view->Calendar().gridStart.SetDate(30, 11, 2026); // December 2026
    }
    VTask* Action(const char* start, int days) {
        auto* t = AddNode<VTask>(C());
        t->what = "Meeting";
        t->flags = 0;
        t->startDate = start;
        t->duration = days;
        return t;
    }
    const CalendarCell& Cell(const char* date) {
        for (const CalendarCell& cell : view->Calendar().cells)
            if (!std::strcmp(cell.date.Format(2), date)) return cell;
        ADD_FAILURE() << date;
        return view->Calendar().cells[0];
    }
};

TEST_F(CalendarPointerTest, FiveUnitsMoveNothingSixMoveTheActionAndKeepItsDuration) {
    VTask* action = Action("2026-12-16", 2);
    Draw();
    const CalendarCell& wednesday = Cell("2026-12-16");
    ASSERT_EQ(wednesday.lineCount, 1);
    // Near the right edge of Wednesday's cell, so that six units reach Thursday.
    int x = wednesday.x + wednesday.w - 3, y = wednesday.lines[0].rect.top + 5;
    ASSERT_EQ(view->Calendar().HitItem(x, y), action);

    view->OnLButtonDown(x, y);
    EXPECT_TRUE(action->tempFlags & SELECTED);
    view->OnMouseMove(x + 5, y + 5, true);
    EXPECT_FALSE(view->Dragging());
    view->OnLButtonUp(x + 5, y + 5);
    EXPECT_STREQ(action->startDate.Text(), "2026-12-16");
    EXPECT_FALSE(host.modified);

    view->OnLButtonDown(x, y);
    view->OnMouseMove(x + 6, y, true);
    EXPECT_TRUE(view->Dragging());
    Draw();
    bool marker = false;
    for (const CanvasCall& fill : dc.Calls(CanvasCall::Fill))
        marker |= fill.colour == Colour{10, 36, 106} && fill.rect.left == x + 6 - 64;
    EXPECT_TRUE(marker) << "the drag marker follows the pointer";
    view->OnLButtonUp(x + 6, y);
    EXPECT_FALSE(view->Dragging());
    EXPECT_EQ(view->PressedItem(), nullptr);
    EXPECT_STREQ(action->startDate.Text(), "2026-12-17");
    EXPECT_EQ(action->duration, 2);
    EXPECT_EQ(Modifications(), 1);

    // Dropped on its own day: no change.
    Draw();
    const CalendarCell& thursday = Cell("2026-12-17");
    int tx = thursday.x + 30, ty = thursday.lines[0].rect.top + 5;
    view->OnLButtonDown(tx, ty);
    view->OnMouseMove(tx + 20, ty, true);
    view->OnLButtonUp(tx + 20, ty);
    EXPECT_EQ(Modifications(), 1);
}

TEST_F(CalendarPointerTest, ReleaseOnThePressedEmptyCellAddsAnActionOnThatDay) {
    AnsweringEditor editor(false);
    Draw();
    const CalendarCell& day = Cell("2026-12-22");
    int x = day.x + 60, y = day.y + day.h - 10;
    view->OnLButtonDown(x, y);
    EXPECT_TRUE(Cell("2026-12-22").flags & CalendarCell::SELECTED);
    view->OnMouseMove(x + 20, y, true); // still inside
    std::string openedStart;
    editor.answer = [&openedStart](VNode& node) {
        openedStart = static_cast<VTask&>(node).startDate.Text();
        return true;
    };
    view->OnLButtonUp(x + 20, y);
    ASSERT_EQ(editor.opened.size(), 1u);
    auto* added = dynamic_cast<VTask*>(editor.opened[0]);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(openedStart, "2026-12-22") << "the dialog opens on that day";
    EXPECT_FALSE(added->flags & NO_DATE);
    EXPECT_EQ(added->parent, C().root);
    EXPECT_TRUE(C().Contains(added));
    EXPECT_EQ(Modifications(), 1);
    EXPECT_EQ(view->Calendar().SelectedCell(), nullptr);

    Draw();
    view->OnLButtonDown(x, y);
    view->OnMouseMove(x, y - day.h, true); // the week above
    EXPECT_EQ(view->Calendar().SelectedCell(), nullptr);
    view->OnLButtonUp(x, y);
    EXPECT_EQ(editor.opened.size(), 1u) << "leaving the cell first adds nothing";
}

TEST_F(CalendarPointerTest, DoubleClickOpensAnActionOrAddsOneWithoutDate) {
    AnsweringEditor editor(false);
    VTask* action = Action("2026-12-16", 1);
    Draw();
    const CalendarCell& cell = Cell("2026-12-16");
    view->OnLButtonDblClk(cell.x + 20, cell.lines[0].rect.top + 5);
    EXPECT_EQ(editor.opened, std::vector<VNode*>{action});
    editor.answers = {true};
    view->OnLButtonDblClk(cell.x + 20, cell.y + cell.h - 5);
    ASSERT_EQ(editor.opened.size(), 2u);
    EXPECT_TRUE(editor.opened[1]->flags & NO_DATE);
    EXPECT_TRUE(C().Contains(editor.opened[1]));
}

TEST_F(CalendarPointerTest, TheWheelTurnsMonths) {
    Draw();
    view->OnMouseWheel(120);
    EXPECT_STREQ(view->Calendar().gridStart.Format(2), "2026-10-26") << "November";
    view->OnMouseWheel(-120);
    view->OnMouseWheel(-120);
    EXPECT_STREQ(view->Calendar().gridStart.Format(2), "2026-12-28") << "January";
    EXPECT_EQ(window.top, 0) << "no rows scroll";
}

TEST_F(CalendarPointerTest, ElevenActionsOnOneDayShowTheMessageOncePerChange) {
    ScriptedUI ui;
    for (int i = 0; i < 11; ++i)
        Action("2026-12-16", 1);
    Draw();
    EXPECT_TRUE(ui.asked.empty()) << "never from inside the paint";
    EXPECT_EQ(Cell("2026-12-16").lineCount, 10) << "what fits is painted";
    ASSERT_TRUE(view->HasDeferredMessage());
    view->ShowDeferredMessages();
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "No line found in cell");
    EXPECT_EQ(ui.asked[0].caption, "Bug");
    for (int i = 0; i < 3; ++i) { // the box's OK repaints
        view->needsRebuild = true;
        Draw();
        view->ShowDeferredMessages();
    }
    EXPECT_EQ(ui.asked.size(), 1u);

    doc->ItemsChanged(); // a change of the document
    Draw();
    view->ShowDeferredMessages();
    EXPECT_EQ(ui.asked.size(), 2u);
}

// Drops on the folder tree ---------------------------------------------------------------

TEST_F(PointerTest, ADropMovesOnlyANodeOfTheOpenDocument) {
    ScriptedUI ui;
    VGroup* work = Folder("Work");
    VGroup* home = Folder("Home");
    VTodo* todo = Todo("move me", work);
    VCollection elsewhere;
    VTodo* stranger = AddNode<VTodo>(elsewhere);

    std::string serial = DragDataOf(*todo);
    ASSERT_EQ(serial.size(), 8u);
    std::string lower = serial;
    for (char& ch : lower)
        ch = (char)std::tolower((unsigned char)ch);
    for (const std::string& foreign :
         {std::string("hello"), std::string("https://example.com/"), serial.substr(1), serial + "0",
          DragDataOf(*stranger), std::string("0000000G"), std::string(""), std::string("-0000001"),
          " " + serial.substr(1)}) {
        EXPECT_FALSE(tree->DropData(foreign, home)) << foreign;
    }
    EXPECT_EQ(todo->parent, work);
    EXPECT_EQ(Modifications(), 0);
    EXPECT_TRUE(ui.asked.empty());

    EXPECT_TRUE(tree->DropData(lower, home));
    EXPECT_EQ(todo->parent, home);
    EXPECT_EQ(Modifications(), 1) << "one change per move";
    EXPECT_EQ(doc->activityChanged, 1) << "the tree and the rows follow";

    VGroup* inner = Folder("Inner", work);
    EXPECT_TRUE(tree->DropData(DragDataOf(*work), inner));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't make 'Work' a subfolder of one of its own subfolders.");
    EXPECT_EQ(work->parent, C().root);
    EXPECT_EQ(Modifications(), 1);
}

} // namespace
