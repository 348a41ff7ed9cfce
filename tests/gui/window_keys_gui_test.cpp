// The main window by the keys, driven with xdotool on the virtual screen as a user would:
// a view chosen on the ribbon takes the keys at once (Down, Return into the item's
// dialog, Space ticks), a due date changed in the dialog shows in the Agenda at once, and
// every zoom key people use (Ctrl+plus with or without Shift, Ctrl+equals, the keypad's
// plus and minus, Ctrl+0, Ctrl with the wheel) resizes the rows at once; one occurrence of
// a repeat deleted there goes as an EXDATE and comes back with Ctrl+Z.
#include "app/skedraDoc.h"
#include "foundation/qclock.h"
#include "gui/gui_support.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vseries.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/temp_dir.h"
#include "views/skedraView.h"
#include "wx/item_view_window.h"
#include "wx/main_frame.h"
#include "wx/wx_ui.h"

#include <gtest/gtest.h>
#include <map>
#include <wx/docview.h>
#include <wx/ribbon/bar.h>
#include <wx/textctrl.h>

namespace {

class WindowKeysGuiTest : public ::testing::Test {
  protected:
    void SetUp() override { path = dir.File("keys.vnt"); }
    void TearDown() override {
        Frame().ItemView().SetViewType(0);
        SendCommand(CMD_ZOOM_RESET);
        if (wxDocument* doc = Frame().GetDocumentManager()->GetCurrentDocument())
            doc->Modify(false);
    }
    static long Today() { return LocalDay(QNow()); }
    // A to-do due that many days from today, repeating by the rule.
    static VTodo* Due(VCollection& c, VNode* folder, const char* what, int days,
                      const char* rule = "") {
        auto* todo = new VTodo(&c);
        todo->what = what;
        c.Add(todo, folder);
        VSchedule s;
        s.dueDay = Today() + days;
        s.rule = rule;
        SetSchedule(c, todo, s);
        return todo;
    }
    // The ribbon's page with the command's button shown, and where the button is.
    static bool RibbonButton(int command, wxPoint& where) {
        wxRibbonBar& ribbon = *Frame().Ribbon();
        for (size_t page = 0; page < ribbon.GetPageCount(); ++page) {
            ribbon.SetActivePage(page);
            if (SettleUntil([&] { return RibbonButtonOnScreen(command, where); })) return true;
        }
        return false;
    }

    TempDir dir;
    std::string path;
};

// Agenda chosen on the ribbon with the pointer; from then on the keys: Down selects the
// first occurrence, Return opens its dialog, a new due date typed there and Return (OK)
// moves its row in the Agenda at once; Space ticks a repeat on to its next occurrence;
// Home, End and the page keys choose rows; the row's menu names the keys.
TEST_F(WindowKeysGuiTest, TheAgendaChosenOnTheRibbonTakesTheKeysAndShowsEditsAtOnce) {
    VCollection start;
    start.dateFormat = 1; // DD-MM-YYYY
    auto* home = new VGroup(&start);
    home->name = "Home";
    start.Add(home, start.root);
    Due(start, home, "Buy a present", 2);
    Due(start, home, "Water the plants", 3, "FREQ=DAILY");
    ASSERT_TRUE(OpenAsList(start, path));
    ItemViewWindow& window = *Frame().ItemWindow();
    CSkedraView& view = window.View();
    VCollection& c = *Doc().Collection();
    VNode* present = Named("Buy a present");
    VNode* plants = Named("Water the plants");
    ASSERT_TRUE(present && plants);

    wxPoint agendaButton;
    ASSERT_TRUE(RibbonButton(CMD_AS_AGENDA, agendaButton));
    ASSERT_TRUE(UserDoes(ClickAt(agendaButton) + "xdotool key Down\n"));
    ASSERT_TRUE(SettleUntil([&] { return view.IsAgendaMode() && view.SelectedRowItem(); }))
        << "Down right after the click selected nothing: the view has no keys";
    EXPECT_EQ(view.SelectedRowItem(), present);
    EXPECT_TRUE(window.HasFocus());

    // Return: the dialog; a new due date and Return again (OK).
    const long moved = Today() + 20;
    std::string typed;
    {
        QDate day;
        day.SetToday();
        day.AddDays(20);
        typed = c.FormatDate(day);
    }
    bool opened = false, filled = false, changed = false;
    EXPECT_TRUE(WhileDialogShows(
        "To Do",
        [&] {
            opened = UserDoes("xdotool key Return\nuntil_program filled\n",
                              {{"filled", [&] { return filled; }}});
        },
        [&](wxDialog& dialog) {
            wxTextCtrl* due = FieldLabelled(dialog, "Due date");
            ASSERT_NE(due, nullptr);
            changed =
                UserDoes(ClickAt(CentreOnScreen(*due)) + "xdotool key ctrl+a\n" +
                         "xdotool type --delay 60 '" + typed + "'\n" + "xdotool key Return\n");
            EXPECT_TRUE(SettleUntil([&] { return !dialog.IsModal(); }));
            filled = true;
        }));
    EXPECT_TRUE(opened);
    EXPECT_TRUE(changed);
    ASSERT_EQ(ScheduleOf(c, present).dueDay, moved);
    // Only the window's own paint after the dialog: no test call lays the rows out.
    auto rowOf = [&](VNode* item) -> const AgendaList::Row* {
        for (const AgendaList::Row& row : view.Agenda().Rows())
            if (row.item == item) return &row;
        return nullptr;
    };
    EXPECT_TRUE(SettleUntil([&] {
        const AgendaList::Row* row = rowOf(present);
        return row && row->when.day == moved;
    })) << "the Agenda still shows the old due date";
    EXPECT_TRUE(SaveFramePicture("keys-1-agenda-edited.png"));

    // Down to the repeat's first occurrence, Space: it moves on a day, still to do.
    const long plantsDue = ScheduleOf(c, plants).dueDay.value_or(0);
    ASSERT_TRUE(UserDoes("xdotool key Home\n"));
    EXPECT_TRUE(SettleUntil([&] { return view.SelectedRowItem() == plants; }))
        << "Home selects the first occurrence";
    ASSERT_TRUE(UserDoes("xdotool key space\n"));
    EXPECT_TRUE(SettleUntil([&] { return ScheduleOf(c, plants).dueDay == plantsDue + 1; }));
    EXPECT_FALSE(plants->flags & DONE);
    ASSERT_TRUE(UserDoes("xdotool key End\n"));
    EXPECT_TRUE(SettleUntil([&] { return view.SelectedRowItem() == present; }))
        << "End selects the last occurrence";
    EXPECT_TRUE(SaveFramePicture("keys-2-agenda-ticked.png"));
    // Page Up: the week step has nothing to step in the agenda, so the key moves up its rows.
    ASSERT_TRUE(UserDoes("xdotool key Prior\n"));
    EXPECT_TRUE(SettleUntil([&] { return view.SelectedRowItem() == plants; }));
    ASSERT_TRUE(UserDoes("xdotool key Next\n"));
    EXPECT_TRUE(SettleUntil([&] { return view.SelectedRowItem() == present; }));

    // The row's menu names the keys beside the entries: Del for Delete, F2 for Edit.
    MenuWatcher menu(window, "keys-4-context-menu.png");
    const AgendaList::Row* row = rowOf(present);
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(UserDoes(
        MouseTo(ViewPointOnScreen(window, row->rect.x + 200, row->rect.y + row->rect.height / 2)) +
            "xdotool click 3\nuntil_program menu_pictured\nxdotool key Escape\n",
        menu.Conditions()));
    ASSERT_EQ(menu.entries.size(), menu.keys.size());
    std::map<wxString, wxString> keyOf;
    for (size_t i = 0; i < menu.entries.size(); ++i)
        keyOf[menu.entries[i]] = menu.keys[i];
    EXPECT_EQ(keyOf["Delete..."], "Del");
    EXPECT_EQ(keyOf["Edit..."], "F2");
}

// The rows' height as the window painted it last, once it settled there.
bool RowHeightBecomes(int height) {
    return SettleUntil([&] { return Frame().ItemView().RowHeight() == height; });
}

// Every zoom key resizes the rows at once: no restart, no other redraw.
TEST_F(WindowKeysGuiTest, EveryZoomKeyResizesTheRowsAtOnce) {
    VCollection start;
    auto* home = new VGroup(&start);
    home->name = "Home";
    start.Add(home, start.root);
    for (int i = 0; i < 6; ++i)
        Due(start, home, ("Item " + std::to_string(i)).c_str(), i);
    ASSERT_TRUE(OpenAsList(start, path));
    CSkedraView& view = Frame().ItemView();
    SendCommand(CMD_ZOOM_RESET);
    ASSERT_TRUE(RowsLaidOut());
    ASSERT_EQ(view.RowHeight(), 20);
    ASSERT_TRUE(GiveFocus(Frame().ItemWindow()));

    struct Step {
        const char* keys;
        int percent, rowHeight;
    };
    // (At 110 % the rows' font truncates to the size of 100 %: rows of 20 still.)
    const Step steps[] = {
        {"ctrl+equal", 110, 20},  {"ctrl+plus", 125, 25},  {"ctrl+shift+equal", 150, 30},
        {"ctrl+KP_Add", 175, 35}, {"ctrl+minus", 150, 30}, {"ctrl+KP_Subtract", 125, 25},
        {"ctrl+0", 100, 20},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.keys);
        ASSERT_TRUE(UserDoes(std::string("xdotool key --clearmodifiers ") + step.keys + "\n"));
        EXPECT_EQ(view.zoomPercent, step.percent);
        EXPECT_TRUE(RowHeightBecomes(step.rowHeight)) << "rows of " << view.RowHeight();
        if (step.percent == 150) {
            EXPECT_TRUE(SaveWindowPicture(Frame(), "keys-3-zoom-150.png"));
        }
    }
    // Ctrl with the wheel over the rows: up is larger, down smaller.
    wxPoint rows = CentreOnScreen(*Frame().ItemWindow());
    ASSERT_TRUE(UserDoes(MouseTo(rows) + "xdotool keydown ctrl click 4 click 4 keyup ctrl\n"));
    EXPECT_EQ(view.zoomPercent, 125);
    EXPECT_TRUE(RowHeightBecomes(25));
    ASSERT_TRUE(UserDoes(MouseTo(rows) + "xdotool keydown ctrl click 5 click 5 keyup ctrl\n"));
    EXPECT_EQ(view.zoomPercent, 100);
    EXPECT_TRUE(RowHeightBecomes(20));
    VNode* first = Frame().ItemView().RowItem(1);
    VNode* second = Frame().ItemView().RowItem(2);
    EXPECT_EQ(second->rect.y - first->rect.y, 20);
}

} // namespace

namespace {

// One occurrence of a weekly repeat deleted in the Agenda by the pointer and the keys: the
// question names the occurrence, "This occurrence" (the default button, Return) leaves the
// rest of the series, the saved file holds the EXDATE and the agenda skips that day; Ctrl+Z
// and a save put the file back byte for byte.
TEST_F(WindowKeysGuiTest, DeletingOneOccurrenceKeepsTheSeriesAndUndoesToTheSameFile) {
    // The real message boxes (a test before may have put scripted ones in their place).
    struct RealBoxes {
        RealBoxes() { CurrentUI() = &boxes; }
        ~RealBoxes() { CurrentUI() = nullptr; }
        WxUIServices boxes;
    } realBoxes;
    VCollection start;
    auto* work = new VGroup(&start);
    work->name = "Work";
    start.Add(work, start.root);
    VTodo* review = Due(start, work, "Weekly review", 1, "FREQ=WEEKLY;COUNT=4");
    VSchedule timed = ScheduleOf(start, review);
    timed.dueMinute = 9 * 60;
    SetSchedule(start, review, timed);
    ASSERT_TRUE(OpenAsList(start, path));
    const std::string original = FileBytes(path);
    ItemViewWindow& window = *Frame().ItemWindow();
    CSkedraView& view = window.View();
    VCollection& c = *Doc().Collection();
    VNode* shown = Named("Weekly review");
    ASSERT_NE(shown, nullptr);

    wxPoint agendaButton;
    ASSERT_TRUE(RibbonButton(CMD_AS_AGENDA, agendaButton));
    ASSERT_TRUE(UserDoes(ClickAt(agendaButton)));
    const long second = Today() + 8;
    const AgendaList::Row* row = nullptr;
    ASSERT_TRUE(SettleUntil([&] {
        row = nullptr;
        for (const AgendaList::Row& r : view.Agenda().Rows())
            if (r.item == shown && r.when.day == second) row = &r;
        return view.IsAgendaMode() && row;
    }));
    ASSERT_TRUE(UserDoes(ClickAt(ViewPointOnScreen(window, row->rect.x + 200,
                                                   row->rect.y + row->rect.height / 2))));
    ASSERT_TRUE(SettleUntil([&] {
        std::optional<VWhen> chosen = view.SelectedOccurrence();
        return chosen && chosen->day == second;
    }));
    EXPECT_TRUE(UserDoes("xdotool key Delete\n"
                         "window_shows '^Delete a repeating item$'\n"
                         "xdotool key Return\n"))
        << "the question showed";
    ASSERT_TRUE(SettleUntil([&] { return !ScheduleOf(c, shown).exceptions.empty(); }));
    EXPECT_EQ(ScheduleOf(c, shown).exceptions, (std::vector<VWhen>{{second, 9 * 60}}));
    EXPECT_TRUE(SettleUntil([&] {
        for (const AgendaList::Row& r : view.Agenda().Rows())
            if (r.item == shown && r.when.day == second) return false;
        return true;
    })) << "the agenda still shows the deleted occurrence";
    EXPECT_TRUE(SaveFramePicture("occurrence-deleted.png"));

    ASSERT_TRUE(GiveFocus(&window));
    ASSERT_TRUE(UserDoes("xdotool key ctrl+s\n"));
    ASSERT_TRUE(SettleUntil(
        [] { return !Frame().GetDocumentManager()->GetCurrentDocument()->IsModified(); }));
    VCollection saved;
    VLoadResult loaded = saved.Load(path.c_str());
    ASSERT_TRUE(loaded.headerOk && !loaded.Damaged());
    VNode* savedReview = nullptr;
    for (VNode* n = saved.root->next; n; n = n->next)
        if (!n->IsFolderKind()) savedReview = n;
    ASSERT_NE(savedReview, nullptr);
    VSchedule s = ScheduleOf(saved, savedReview);
    EXPECT_EQ(s.exceptions, (std::vector<VWhen>{{second, 9 * 60}}));
    std::vector<long> days;
    for (const VWhen& w : SeriesOccurrences(s, *DueOf(savedReview, s), Today(), Today() + 40).found)
        days.push_back(w.day - Today());
    EXPECT_EQ(days, (std::vector<long>{1, 15, 22}));

    ASSERT_TRUE(UserDoes("xdotool key ctrl+z\nxdotool key ctrl+s\n"));
    ASSERT_TRUE(SettleUntil([&] { return FileBytes(path) == original; }))
        << "Ctrl+Z and a save give back the file as it was";
}

} // namespace
