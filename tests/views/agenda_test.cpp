// The item view's agenda: the occurrences of the shown folder's items under their
// headings, each once, in due order, painted as the items' own rows with the
// occurrence's day and time; ticking, editing, deleting and the keys work there as in
// the list.
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/answering_editor.h"
#include "support/fixed_clock.h"
#include "support/model_builders.h"
#include "support/scripted_document.h"
#include "support/windowless_program.h"

#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>

namespace {

class AgendaTest : public WindowlessProgram<ScriptedDocument> {
  protected:
    static constexpr int ROWS_TOP = 70, ROW = 20;

    void SetUp() override {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        WindowlessProgram::SetUp();
        C().dateFormat = 1; // 25-06-2010
        view->ShowAgenda();
    }
    // A to-do due on the day of December 2026 (at the minute), repeating by the rule.
    VTodo* Due(const char* what, int day, std::optional<int> minute = {}, const char* rule = "",
               VNode* parent = nullptr) {
        auto* todo = AddNode<VTodo>(C(), parent);
        todo->what = what;
        VSchedule s;
        s.dueDay = DayNumber(2026, 12, day);
        s.dueMinute = minute;
        s.rule = rule;
        SetSchedule(C(), todo, s);
        return todo;
    }
    // Each row as the agenda shows it: a heading's title, or the item's text and the
    // occurrence's due text.
    std::vector<std::string> Shown() {
        view->Layout(nullptr); // as the document's refresh after a change
        Draw();
        std::vector<std::string> rows;
        std::vector<CanvasCall> texts = dc.Calls(CanvasCall::TextEllipsis);
        for (const AgendaList::Row& row : view->Agenda().Rows()) {
            std::string line;
            for (const CanvasCall& text : texts)
                if (text.rect.top == row.rect.y + 3)
                    line = line.empty() ? text.text : text.text + " | " + line;
            rows.push_back(line);
        }
        return rows;
    }
    int RowY(int row) const { return ROWS_TOP + row * ROW + ROW / 2; }

    FixedClock clock{10, 12, 2026}; // a Thursday
};

TEST_F(AgendaTest, SectionsHoldEachOccurrenceOnceInDueOrder) {
    Due("Water the plants", 9, {}, "FREQ=DAILY");
    Due("Call the bank", 10, 14 * 60);
    Due("Weekly report", 10, 9 * 60, "FREQ=WEEKLY");
    Due("Buy a present", 12);
    Due("Pay the rent", 4, 8 * 60, "FREQ=MONTHLY");
    auto* done = Due("Already done", 10);
    done->flags |= DONE;
    AddNode<VTodo>(C())->what = "No due date";

    EXPECT_THAT(Shown(), testing::ElementsAre( //
                             "Overdue",        //
                             "Pay the rent | 04-12-2026 08:00", "Water the plants | 09-12-2026",
                             "Today",                            //
                             "Water the plants | 10-12-2026",    //
                             "Weekly report | 10-12-2026 09:00", //
                             "Call the bank | 10-12-2026 14:00", //
                             "Tomorrow",                         //
                             "Water the plants | 11-12-2026",    //
                             "This week",                        //
                             "Buy a present | 12-12-2026",       // newer in the list
                             "Water the plants | 12-12-2026",    //
                             "Water the plants | 13-12-2026",    //
                             "Later",                            //
                             "Water the plants | 14-12-2026",    //
                             "Weekly report | 17-12-2026 09:00", //
                             "Pay the rent | 04-01-2027 08:00"));
    // The rows are the items' own, one below the other from the view's first row.
    const auto& rows = view->Agenda().Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].rect.y, ROWS_TOP);
    EXPECT_EQ(rows[3].rect.y, ROWS_TOP + 3 * ROW);
    EXPECT_EQ(view->ScrollHeight(), ROWS_TOP + ((int)rows.size() + 5) * ROW);
}

// The agenda shows the folder the view shows, with its filters.
TEST_F(AgendaTest, OnlyTheShownFoldersItems) {
    auto* home = AddNode<VGroup>(C());
    auto* work = AddNode<VGroup>(C());
    Due("At home", 10, {}, "", home);
    Due("At work", 10, {}, "", work);
    view->SetFolder(work);
    EXPECT_THAT(Shown(), testing::ElementsAre("Today", "At work | 10-12-2026"));
}

// A click on an occurrence's check box ticks its item: a repeating one moves on to its
// next occurrence, one change of the document.
TEST_F(AgendaTest, TickingARepeatMovesItOn) {
    auto* plants = Due("Water the plants", 10, {}, "FREQ=DAILY");
    Due("Call the bank", 10, 14 * 60);
    Shown();
    int callRow = 2; // "Today", plants, the call
    ASSERT_EQ(view->Agenda().Rows()[callRow].item->Dialog(), ItemDialog::Todo);
    view->OnLButtonDown(6, RowY(1)); // the check box, as in the list
    EXPECT_EQ(doc->itemsChanged, 1);
    EXPECT_THAT(doc->changeNames, testing::ElementsAre("Mark done"));
    EXPECT_FALSE(plants->flags & DONE);
    EXPECT_EQ(ScheduleOf(C(), plants).dueDay, DayNumber(2026, 12, 11));
    EXPECT_EQ(ScheduleOf(C(), plants).doneDay, DayNumber(2026, 12, 10));
    EXPECT_THAT(Shown(), testing::ElementsAre("Today", "Call the bank | 10-12-2026 14:00",
                                              "Tomorrow", "Water the plants | 11-12-2026",
                                              "This week", "Water the plants | 12-12-2026",
                                              "Water the plants | 13-12-2026", "Later",
                                              "Water the plants | 14-12-2026"));
}

// The pointer and the keys choose one occurrence row; Enter and a double click edit its
// item, Delete asks the command table, headings are never chosen.
TEST_F(AgendaTest, ChoosingEditingAndDeletingRows) {
    auto* plants = Due("Water the plants", 10, {}, "FREQ=DAILY");
    auto* call = Due("Call the bank", 11, 14 * 60);
    AnsweringEditor editor(false);
    Shown();
    view->OnLButtonDown(200, RowY(0)); // the heading "Today"
    EXPECT_EQ(view->SelectedRowItem(), nullptr);
    view->OnLButtonDown(200, RowY(3)); // Tomorrow: plants, then the call
    EXPECT_EQ(view->SelectedRowItem(), plants);
    view->OnKeyDown(ViewKey::Down);
    EXPECT_EQ(view->SelectedRowItem(), call);
    view->OnKeyDown(ViewKey::Down); // over "This week" to plants on Saturday
    EXPECT_EQ(view->SelectedRowItem(), plants);
    EXPECT_EQ(C().Selected(), plants);

    // Of the selected item only the chosen row shows selected.
    Draw();
    int selectedFills = 0;
    for (const CanvasCall& fill : dc.Calls(CanvasCall::Fill))
        selectedFills += fill.colour == RowColour::SELECTION_BLUE;
    EXPECT_EQ(selectedFills, 1);

    view->OnKeyDown(ViewKey::Enter);
    view->OnLButtonDblClk(200, RowY(4));
    EXPECT_THAT(editor.opened, testing::ElementsAre(plants, call));
    view->OnKeyDown(ViewKey::Delete);
    EXPECT_THAT(window.commands, testing::ElementsAre(CMD_DELETE));
    EXPECT_EQ(C().Selected(), call);
}

// Home and End choose the first and the last occurrence, the page keys a window's height
// of rows less one, never a heading; Space ticks the chosen occurrence's item as its
// check box would.
TEST_F(AgendaTest, HomeEndPageKeysAndSpace) {
    auto* first = Due("First", 10);
    auto* second = Due("Second", 10, 14 * 60);
    auto* third = Due("Third", 11);
    auto* fourth = Due("Fourth", 12);
    auto* last = Due("Last", 13);
    Shown(); // Today: first, second; Tomorrow: third; This week: fourth, last
    window.height = 4 * ROW;
    struct Step {
        ViewKey key;
        VNode* selected;
    };
    const Step steps[] = {
        {ViewKey::Home, first},    {ViewKey::PageDown, fourth}, {ViewKey::PageDown, last},
        {ViewKey::PageUp, second}, {ViewKey::PageUp, first},    {ViewKey::End, last},
        {ViewKey::Home, first},
    };
    for (const Step& step : steps) {
        view->OnKeyDown(step.key);
        EXPECT_EQ(view->SelectedRowItem(), step.selected) << (int)step.key;
    }
    view->OnKeyDown(ViewKey::End);
    view->OnKeyDown(ViewKey::Space);
    EXPECT_TRUE(last->flags & DONE);
    EXPECT_EQ(doc->itemsChanged, 1);
    EXPECT_THAT(doc->changeNames, testing::ElementsAre("Mark done"));
    EXPECT_FALSE(third->flags & DONE);
}

// The heading's date is in the document's date format, as its rows are.
TEST_F(AgendaTest, TheHeadingShowsTheDateFormat) {
    const std::pair<int, const char*> formats[] = {{0, "All folders on 10-Dec-26"},
                                                   {1, "All folders on 10-12-2026"},
                                                   {2, "All folders on 12-10-2026"}};
    for (const auto& [format, heading] : formats) {
        C().dateFormat = format;
        Draw();
        std::vector<std::string> texts;
        for (const CanvasCall& text : dc.Calls(CanvasCall::Text))
            texts.push_back(text.text);
        EXPECT_THAT(texts, testing::Contains(heading));
    }
}

// On paper the agenda goes over pages like the list: each page starts at the top and
// holds its own rows.
TEST_F(AgendaTest, PrintedOverPages) {
    for (int day = 10; day < 60; ++day)
        Due("A day's task", 10 + day % 20, {}, "");
    Shown();
    int rows = (int)view->Agenda().Rows().size();
    ASSERT_GT(rows, 46);
    RecordingCanvas printer = RecordingCanvas::PrinterPage();
    view->DetermineNoofPages(printer);
    ASSERT_EQ(view->RowsPerPage(), 46);
    EXPECT_EQ(view->PageCount(), (rows + 45) / 46);
    view->OnPrepareDC(true, 2);
    printer.Clear();
    view->OnDraw(printer, {0, 0, 4800, 6600});
    const auto& printed = view->Agenda().Rows();
    EXPECT_EQ(printed[46].rect.y, view->RowsTop()) << "the second page starts at the top";
    int onPage = 0;
    for (const CanvasCall& fill : printer.Calls(CanvasCall::Fill))
        onPage += fill.rect.top >= view->RowsTop() && fill.rect.left == view->MarginLeft() &&
                  fill.rect.right == view->MarginLeft() + view->ListWidth();
    EXPECT_EQ(onPage, std::min(46, (int)printed.size() - 46)) << "one fill a row of the page";
    view->EndPrinting();
}

} // namespace
