// Due dates and repeats in the real window, driven with xdotool: a click on a repeating
// item's check box moves it to its next occurrence and Ctrl+Z puts the saved file back
// byte for byte; a due date, a time and a repeat typed into the to-do dialog reach the
// saved file; pictures of the dialog, the Agenda and the calendar.
#include "app/forms/repeat_choices.h"
#include "app/skedraDoc.h"
#include "foundation/qclock.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"

#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/docview.h>
#include <wx/ribbon/bar.h>
#include <wx/textctrl.h>

namespace {

class ScheduleGuiTest : public ::testing::Test {
  protected:
    void SetUp() override { path = dir.File("schedule.vnt"); }
    void TearDown() override {
        Frame().ItemView().SetViewType(0);
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }
    void Open(VCollection& start) { ASSERT_TRUE(OpenAsList(start, path)); }
    // A key pressed in the item view, as the user would after a click there.
    static bool KeyInView(const char* key) {
        return GiveFocus(Frame().ItemWindow()) &&
               UserDoes(std::string("xdotool key ") + key + "\n");
    }
    static bool Saved() {
        return KeyInView("ctrl+s") && SettleUntil([] {
                   return !Frame().GetDocumentManager()->GetCurrentDocument()->IsModified();
               });
    }
    static long Today() { return LocalDay(QNow()); }

    TempDir dir;
    std::string path;
};

TEST_F(ScheduleGuiTest, TickingARepeatMovesItOnAndCtrlZPutsTheFileBack) {
    VCollection start;
    start.dateFormat = 1;
    auto* bills = new VGroup(&start);
    bills->name = "Bills";
    start.Add(bills, start.root);
    auto add = [&](VNode* node, long day, std::optional<int> minute, const char* rule) {
        start.Add(node, bills);
        VSchedule s;
        s.dueDay = day;
        s.dueMinute = minute;
        s.rule = rule;
        // (No reminders: one falling due would be recorded in the file, which is no undo
        // step, and the file after Ctrl+Z would then depend on the time of day.)
        SetSchedule(start, node, s);
    };
    auto* rent = new VTodo(&start);
    rent->what = "Pay the rent";
    add(rent, Today(), 9 * 60, "FREQ=WEEKLY");
    auto* call = new VCall(&start);
    call->who = "the plumber";
    add(call, Today() + 1, 14 * 60 + 30, "");
    auto* plants = new VTodo(&start);
    plants->what = "Water the plants";
    add(plants, Today() - 1, std::nullopt, "FREQ=DAILY");
    Open(start);
    // The file as the program writes this document, which is what an undo must give back.
    Frame().GetDocumentManager()->GetCurrentDocument()->Modify(true);
    ASSERT_TRUE(Saved());
    const std::string opened = FileBytes(path);

    ItemViewWindow& window = *Frame().ItemWindow();
    CSkedraView& view = window.View();
    VNode* item = Named("Pay the rent");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(
        PaintedUntil(window, [&] { return item->rect.height > 0 && view.RowCount() == 4; }));
    EXPECT_TRUE(SaveWindowPicture(Frame(), "schedule-1-list.png"));

    // A real click on the check box: the same item, a week on, still to do.
    const VRect& r = item->rect;
    ASSERT_TRUE(UserDoes(
        ClickAt(ViewPointOnScreen(window, r.x + 5 * item->level + 6, r.y + r.height / 2))));
    VCollection& c = *Doc().Collection();
    EXPECT_TRUE(SettleUntil([&] { return ScheduleOf(c, item).dueDay == Today() + 7; }));
    EXPECT_FALSE(item->flags & DONE);
    EXPECT_EQ(ScheduleOf(c, item).doneDay, Today());
    EXPECT_EQ(Named("Pay the rent"), item) << "the same node";
    EXPECT_TRUE(SaveWindowPicture(Frame(), "schedule-2-ticked.png"));
    ASSERT_TRUE(Saved());
    EXPECT_NE(FileBytes(path), opened);

    // Ctrl+Z, saved again: the file is what it was.
    ASSERT_TRUE(KeyInView("ctrl+z"));
    EXPECT_TRUE(SettleUntil([&] { return ScheduleOf(c, item).dueDay == Today(); }));
    ASSERT_TRUE(Saved());
    EXPECT_EQ(FileBytes(path), opened) << "byte for byte";

    // The Agenda and the calendar of the same items.
    SendCommand(CMD_AS_AGENDA);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.Agenda().Rows().size() >= 6; }));
    Frame().Ribbon()->SetActivePage((size_t)0);
    EXPECT_TRUE(SaveFramePicture("schedule-3-agenda.png"));
    // A click on the check box of its occurrence in the Agenda ticks it on too; Ctrl+Z back.
    VRect occurrence{};
    for (const AgendaList::Row& row : view.Agenda().Rows())
        if (row.item == item && occurrence.height == 0) occurrence = row.rect;
    ASSERT_GT(occurrence.height, 0);
    ASSERT_TRUE(UserDoes(ClickAt(
        ViewPointOnScreen(window, occurrence.x + 6, occurrence.y + occurrence.height / 2))));
    EXPECT_TRUE(SettleUntil([&] { return ScheduleOf(c, item).dueDay == Today() + 7; }));
    ASSERT_TRUE(KeyInView("ctrl+z"));
    EXPECT_TRUE(SettleUntil([&] { return ScheduleOf(c, item).dueDay == Today(); }));
    SendCommand(CMD_AS_CALENDAR);
    ASSERT_TRUE(PaintedUntil(window, [&] { return view.Calendar().dueItems.size() == 3; }));
    EXPECT_TRUE(SaveFramePicture("schedule-4-calendar.png"));
}

// Items > Todo: the text, a due date and time, a repeat chosen with the keys and an end
// day, OK with Return; the saved file holds them.
TEST_F(ScheduleGuiTest, ADueDateAndRepeatTypedIntoTheDialogAreSaved) {
    VCollection start;
    start.dateFormat = 1; // DD-MM-YYYY
    Open(start);
    Frame().Ribbon()->SetActivePage((size_t)1); // "Items"
    wxPoint todoButton;
    ASSERT_TRUE(SettleUntil([&] { return RibbonButtonOnScreen(CMD_ADD_TODO, todoButton); }));

    bool typed = false, filled = false;
    auto fill = [&](wxDialog& dialog) {
        wxTextCtrl* due = FieldLabelled(dialog, "Due date");
        wxTextCtrl* time = FieldLabelled(dialog, "Due time");
        auto* repeat = FieldLabelled<wxChoice>(dialog, "Repeat");
        wxTextCtrl* until = FieldLabelled(dialog, "Until");
        ASSERT_TRUE(due && time && repeat && until);
        // The repeat list by the keys: Tab from the time into it, its menu opened with
        // the space bar, three entries down ("every week"), Return.
        typed = UserDoes(
            "xdotool type --delay 40 'Put the bins out'\n" + ClickAt(CentreOnScreen(*due)) +
            "xdotool type --delay 80 '21-12-2026'\n"
            "xdotool key Tab\n"
            "xdotool type --delay 80 '7:30'\n"
            "xdotool key Tab\n"
            "handled\n"
            "xdotool key space\n"
            "handled\n"
            "xdotool key Down Down Down Return\n"
            "handled\n" +
            ClickAt(CentreOnScreen(*until)) + "xdotool type --delay 80 '31-03-2027'\n");
        EXPECT_TRUE(SettleUntil([&] { return repeat->GetSelection() == (int)Repeat::Weekly; }))
            << "the list shows " << repeat->GetStringSelection();
        EXPECT_TRUE(SaveScreenPicture("schedule-dialog.png"));
        typed &= UserDoes("xdotool key Return\n");
        EXPECT_TRUE(SettleUntil([&] { return !dialog.IsModal(); }));
    };
    bool clicked = false;
    EXPECT_TRUE(WhileDialogShows(
        "To Do",
        [&] {
            clicked = UserDoes(ClickAt(todoButton) + "until_program filled\n",
                               {{"filled", [&] { return filled; }}});
        },
        [&](wxDialog& dialog) {
            fill(dialog);
            filled = true;
        }));
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(typed);
    ASSERT_TRUE(Saved());

    VCollection saved;
    saved.Load(path.c_str());
    VTodo* todo = nullptr;
    for (VNode* n = saved.root->next; n; n = n->next)
        if (auto* t = dynamic_cast<VTodo*>(n)) todo = t;
    ASSERT_NE(todo, nullptr);
    EXPECT_STREQ(todo->what.Text(), "Put the bins out");
    VSchedule s = ScheduleOf(saved, todo);
    EXPECT_EQ(s.dueDay, DayNumber(2026, 12, 21));
    EXPECT_EQ(s.dueMinute, 7 * 60 + 30);
    EXPECT_EQ(s.rule, "FREQ=WEEKLY;UNTIL=20270331T235959");
    EXPECT_FALSE(s.reminderMinutes);
}

} // namespace
