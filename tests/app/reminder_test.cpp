// Reminders: which are due when (the scheduler, given the time), and the watch that shows
// them through the notifier, records them with the document and answers Snooze and Open.
#include "app/reminder_scheduler.h"
#include "app/reminder_watch.h"
#include "app/skedraDoc.h"
#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/fixed_clock.h"
#include "support/model_builders.h"
#include "support/windowless_program.h"

#include <cstdlib>
#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace {

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM".
VWhen When(const std::string& text) {
    VWhen when;
    EXPECT_TRUE(ParseDayText(text.substr(0, 10).c_str(), when.day)) << text;
    int minute = 0;
    if (text.size() > 10 && ParseMinuteText(text.substr(11, 5), minute)) when.minute = minute;
    return when;
}

// A moment: "YYYY-MM-DD HH:MM" with optional ":SS".
std::time_t At(const std::string& text) {
    return LocalInstant(When(text)) + (text.size() > 16 ? std::atoi(text.c_str() + 17) : 0);
}

std::string Text(const VWhen& when) {
    return DayText(when.day) + (when.minute ? " " + MinuteText(*when.minute) : "");
}

struct Item {
    const char* text;
    const char* due;
    std::optional<int> remindBefore; // minutes
    const char* rule = "";
    const char* shown = nullptr; // the occurrence recorded as reminded
    bool done = false;
};

VTodo* AddItem(VCollection& c, const Item& item, VNode* folder = nullptr) {
    auto* todo = AddNode<VTodo>(c, folder);
    todo->what = item.text;
    if (item.done) todo->flags |= DONE;
    VSchedule s;
    VWhen due = When(item.due);
    s.dueDay = due.day;
    s.dueMinute = due.minute;
    s.rule = item.rule;
    s.reminderMinutes = item.remindBefore;
    if (item.shown) s.reminderShown = When(item.shown);
    SetSchedule(c, todo, s);
    return todo;
}

// What the notices hold: "TEXT WHEN, ..." each, "missed " in front of a missed one,
// notices apart by " | ".
std::string Describe(const VCollection& c, const std::vector<ReminderNotice>& notices) {
    std::string out;
    for (const ReminderNotice& notice : notices) {
        if (!out.empty()) out += " | ";
        if (notice.missed) out += "missed ";
        for (std::size_t i = 0; i < notice.reminders.size(); ++i) {
            for (VNode* n = c.root; n; n = n->next)
                if (n->Serial() == notice.reminders[i].serial)
                    out += (i ? ", " : "") + std::string(static_cast<VTodo*>(n)->what.Text());
            out += " " + Text(notice.reminders[i].occurrence);
        }
    }
    return out;
}

// Every reminder test runs where the clocks change (Europe/Berlin: the last Sundays of
// March and October).
class ZoneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("TZ")) oldZone = old;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    void TearDown() override {
        if (oldZone.empty())
            unsetenv("TZ");
        else
            setenv("TZ", oldZone.c_str(), 1);
        tzset();
    }
    std::string oldZone;
};

struct Step {
    const char* at;
    std::string shows; // Describe's text of the notices
    const char* wake;  // the next wake-up afterwards; null: none
};

struct SchedulerCase {
    const char* name;
    std::vector<Item> items;
    std::vector<Step> steps;
};

using ReminderSchedulerTest = ZoneTest;

TEST_F(ReminderSchedulerTest, ShowsEachOccurrencesReminderOnceWhenItFallsDue) {
    const SchedulerCase cases[] = {
        {"at the due time",
         {{"Dentist", "2026-03-02 09:00", 0}},
         {{"2026-03-02 08:00", "", "2026-03-02 09:00"},
          {"2026-03-02 08:59:59", "", "2026-03-02 09:00"},
          {"2026-03-02 09:00", "Dentist 2026-03-02 09:00", nullptr},
          {"2026-03-02 09:30", "", nullptr}}},
        {"minutes before",
         {{"Call Ann", "2026-03-02 09:00", 30}},
         {{"2026-03-02 08:00", "", "2026-03-02 08:30"},
          {"2026-03-02 08:29:59", "", "2026-03-02 08:30"},
          {"2026-03-02 08:30", "Call Ann 2026-03-02 09:00", nullptr}}},
        {"days before a day without a time (its midnight)",
         {{"Pay rent", "2026-03-05", 2 * 24 * 60}},
         {{"2026-03-02 12:00", "", "2026-03-03 00:00"},
          {"2026-03-03 00:00", "Pay rent 2026-03-05", nullptr}}},
        {"a daily repeat across the change to summer time",
         {{"Pills", "2026-03-28 09:00", 60, "FREQ=DAILY"}},
         {{"2026-03-28 07:00", "", "2026-03-28 08:00"},
          {"2026-03-28 08:00", "Pills 2026-03-28 09:00", "2026-03-29 08:00"},
          {"2026-03-29 07:59", "", "2026-03-29 08:00"},
          {"2026-03-29 08:00", "Pills 2026-03-29 09:00", "2026-03-30 08:00"},
          {"2026-03-30 08:00:30", "Pills 2026-03-30 09:00", "2026-03-31 08:00"}}},
        {"a repeat that ends after its count",
         {{"Course", "2026-03-02 18:00", 0, "FREQ=WEEKLY;COUNT=2"}},
         {{"2026-03-02 17:00", "", "2026-03-02 18:00"},
          {"2026-03-02 18:00", "Course 2026-03-02 18:00", "2026-03-09 18:00"},
          {"2026-03-09 18:00", "Course 2026-03-09 18:00", nullptr},
          {"2026-03-16 18:00", "", nullptr}}},
        {"already shown before the program started",
         {{"Dentist", "2026-03-02 09:00", 0, "", "2026-03-02 09:00"}},
         {{"2026-03-02 10:00", "", nullptr}}},
        {"missed while the program was closed: one notice for all, once",
         {{"Dentist", "2026-03-01 09:00", 0},
          {"Call Ann", "2026-03-02 08:00", 15},
          {"Pay rent", "2026-03-03", 0}},
         {{"2026-03-02 12:00", "missed Dentist 2026-03-01 09:00, Call Ann 2026-03-02 08:00",
           "2026-03-03 00:00"},
          {"2026-03-02 12:01", "", "2026-03-03 00:00"},
          {"2026-03-03 00:00", "Pay rent 2026-03-03", nullptr}}},
        {"a repeat missed for days: its latest occurrence only",
         {{"Pills", "2026-02-20 09:00", 0, "FREQ=DAILY", "2026-02-20 09:00"}},
         {{"2026-03-02 12:00", "missed Pills 2026-03-02 09:00", "2026-03-03 09:00"},
          {"2026-03-03 09:00", "Pills 2026-03-03 09:00", "2026-03-04 09:00"}}},
        {"a yearly repeat begun years ago",
         {{"Birthday", "2010-05-17 09:00", 0, "FREQ=YEARLY", "2025-05-17 09:00"}},
         {{"2026-05-17 08:00", "", "2026-05-17 09:00"},
          {"2026-05-17 09:00", "Birthday 2026-05-17 09:00", "2027-05-17 09:00"}}},
        {"an hourly repeat begun years ago, missed for an afternoon",
         {{"Stretch", "2020-01-06 08:00", 0, "FREQ=HOURLY;BYHOUR=8,12,16", "2026-03-02 08:00"}},
         {{"2026-03-02 17:30", "missed Stretch 2026-03-02 16:00", "2026-03-03 08:00"}}},
        {"no reminder, or done: nothing",
         {{"Dentist", "2026-03-02 09:00", {}},
          {"Call Ann", "2026-03-02 09:00", 0, "", nullptr, true}},
         {{"2026-03-02 08:00", "", nullptr}, {"2026-03-02 09:00", "", nullptr}}},
    };
    for (const SchedulerCase& test : cases) {
        SCOPED_TRACE(test.name);
        VCollection c;
        for (const Item& item : test.items)
            AddItem(c, item);
        ReminderScheduler scheduler;
        for (const Step& step : test.steps) {
            SCOPED_TRACE(step.at);
            ReminderCheck check = scheduler.Check(c, At(step.at));
            EXPECT_EQ(Describe(c, check.notices), step.shows);
            EXPECT_EQ(scheduler.NextWake(), step.wake ? At(step.wake) : 0);
        }
    }
}

TEST_F(ReminderSchedulerTest, ARestartShowsNothingTheDocumentRecordsAsShown) {
    TempDir dir;
    std::string file = dir.File("reminders.vnt");
    {
        VCollection c;
        AddItem(c, {"Dentist", "2026-03-02 08:55", 10});
        AddItem(c, {"Pills", "2026-03-01 09:00", 0, "FREQ=DAILY"});
        ReminderScheduler scheduler;
        scheduler.Check(c, At("2026-03-02 08:00"));
        ReminderCheck check = scheduler.Check(c, At("2026-03-02 09:00"));
        EXPECT_EQ(Describe(c, check.notices), "Dentist 2026-03-02 08:55 | Pills 2026-03-02 09:00");
        EXPECT_TRUE(check.recorded);
        ASSERT_TRUE(c.Save(file.c_str()));
    }
    VCollection c;
    c.Load(file.c_str());
    ReminderScheduler restarted;
    ReminderCheck check = restarted.Check(c, At("2026-03-02 09:05"));
    EXPECT_EQ(Describe(c, check.notices), "");
    EXPECT_FALSE(check.recorded);
    EXPECT_EQ(restarted.NextWake(), At("2026-03-03 09:00"));
}

TEST_F(ReminderSchedulerTest, AReminderAlreadyPastOnANewItemIsRecordedNotShown) {
    VCollection c;
    ReminderScheduler scheduler;
    scheduler.Check(c, At("2026-03-02 08:00"));
    AddItem(c, {"Dentist", "2026-03-02 07:00", 0});
    AddItem(c, {"Call Ann", "2026-03-02 09:00", 90}); // reminds at 07:30
    ReminderCheck check = scheduler.Check(c, At("2026-03-02 08:00:05"));
    EXPECT_EQ(Describe(c, check.notices), "");
    EXPECT_TRUE(check.recorded) << "so a restart does not show them as missed";
    ReminderScheduler restarted;
    EXPECT_EQ(Describe(c, restarted.Check(c, At("2026-03-02 08:01")).notices), "");
}

TEST_F(ReminderSchedulerTest, ASnoozedNoticeComesAgainTenMinutesLater) {
    VCollection c;
    AddItem(c, {"Dentist", "2026-03-02 09:00", 0});
    AddItem(c, {"Call Ann", "2026-03-02 09:30", 0});
    ReminderScheduler scheduler;
    scheduler.Check(c, At("2026-03-02 08:00"));
    std::vector<ReminderNotice> shown = scheduler.Check(c, At("2026-03-02 09:00:20")).notices;
    ASSERT_EQ(shown.size(), 1u);
    scheduler.Snooze(shown[0], At("2026-03-02 09:00:40"));
    EXPECT_EQ(scheduler.NextWake(), At("2026-03-02 09:10:40"));
    EXPECT_EQ(Describe(c, scheduler.Check(c, At("2026-03-02 09:10:39")).notices), "");
    EXPECT_EQ(scheduler.NextWake(), At("2026-03-02 09:10:40"));
    EXPECT_EQ(Describe(c, scheduler.Check(c, At("2026-03-02 09:10:40")).notices),
              "Dentist 2026-03-02 09:00");
    EXPECT_EQ(scheduler.NextWake(), At("2026-03-02 09:30"));
    EXPECT_EQ(Describe(c, scheduler.Check(c, At("2026-03-02 09:25")).notices), "");

    // Snoozed missed reminders come back together.
    scheduler.Reset();
    AddItem(c, {"Pay rent", "2026-03-02 09:20", 0});
    std::vector<ReminderNotice> missed = scheduler.Check(c, At("2026-03-02 09:40")).notices;
    ASSERT_EQ(Describe(c, missed), "missed Pay rent 2026-03-02 09:20, Call Ann 2026-03-02 09:30");
    scheduler.Snooze(missed[0], At("2026-03-02 09:41"));
    EXPECT_EQ(Describe(c, scheduler.Check(c, At("2026-03-02 09:51")).notices),
              "missed Pay rent 2026-03-02 09:20, Call Ann 2026-03-02 09:30");
}

// The watch in the program without its windows.
class RecordingNotifier : public Notifier {
  public:
    void Show(const Notification& n, NotificationAnswers& answers) override {
        shown.push_back(n);
        to = &answers;
    }
    std::vector<Notification> shown;
    NotificationAnswers* to = nullptr;
};

class RecordingReminderWindow : public ReminderWindow {
  public:
    std::string UnmodifiedFile() override { return file; }
    void BringUp() override { ++broughtUp; }
    void WakeAt(std::time_t moment) override { wake = moment; }
    std::string file;
    int broughtUp = 0;
    std::time_t wake = -1;
};

class ReminderWatchTest : public WindowlessProgram<CSkedraDoc> {
  protected:
    void SetUp() override {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        WindowlessProgram::SetUp();
    }
    void TearDown() override {
        WindowlessProgram::TearDown();
        unsetenv("TZ");
        tzset();
    }
    RecordingNotifier notifier;
    RecordingReminderWindow reminderWindow;
    FixedClock clock{2, 3, 2026};
};

TEST_F(ReminderWatchTest, ShowsTheItemsTextAndDueTimeAndAnswersSnoozeAndOpen) {
    auto* folder = AddNode<VGroup>(C());
    folder->name = "Health";
    VTodo* dentist = AddItem(C(), {"Dentist", "2026-03-02 14:00", 30}, folder);
    ReminderWatch watch(*doc, notifier, reminderWindow);
    clock.Set(At("2026-03-02 12:00"));
    watch.Tick();
    EXPECT_TRUE(notifier.shown.empty());
    EXPECT_EQ(reminderWindow.wake, At("2026-03-02 13:30"));

    clock.Set(At("2026-03-02 13:30"));
    watch.Tick();
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].title, "Dentist");
    EXPECT_EQ(notifier.shown[0].body, "Due 02-Mar-26 14:00\n");
    EXPECT_EQ(reminderWindow.wake, 0);

    // Open: the window comes up, the item's folder shown and the item selected.
    notifier.to->Open(notifier.shown[0].id);
    EXPECT_EQ(reminderWindow.broughtUp, 1);
    EXPECT_EQ(view->Folder(), folder);
    EXPECT_TRUE(dentist->tempFlags & SELECTED);

    clock.Set(At("2026-03-02 13:31"));
    notifier.to->Snooze(notifier.shown[0].id);
    EXPECT_EQ(reminderWindow.wake, At("2026-03-02 13:41"));
    clock.Set(At("2026-03-02 13:41"));
    watch.Tick();
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_EQ(notifier.shown[1].title, "Dentist");
    EXPECT_NE(notifier.shown[1].id, notifier.shown[0].id);
    notifier.to->Snooze(notifier.shown[0].id); // answered already: nothing
    EXPECT_EQ(reminderWindow.wake, 0);
}

TEST_F(ReminderWatchTest, MissedRemindersShowAsOneListAtTheFirstTick) {
    for (int i = 1; i <= ReminderWatch::MAX_LISTED + 2; ++i) {
        std::string text = "Bill " + std::to_string(i);
        std::string due = "2026-02-" + std::to_string(10 + i) + " 09:00";
        AddItem(C(), {text.c_str(), due.c_str(), 0});
    }
    AddItem(C(), {"Pills", "2026-03-02", 60, "FREQ=DAILY"});
    ReminderWatch watch(*doc, notifier, reminderWindow);
    clock.Set(At("2026-03-02 12:00"));
    watch.Tick();
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].title, "13 missed reminders");
    std::string body;
    for (int i = 1; i <= ReminderWatch::MAX_LISTED; ++i)
        body +=
            "Bill " + std::to_string(i) + " (Due " + std::to_string(10 + i) + "-Feb-26 09:00)\n";
    EXPECT_EQ(notifier.shown[0].body, body + "and 3 more\n");
    EXPECT_EQ(reminderWindow.wake, At("2026-03-02 23:00"));
    watch.Tick();
    EXPECT_EQ(notifier.shown.size(), 1u);

    // Another document: its first tick gathers what it missed.
    doc->OnNewDocument();
    AddItem(C(), {"Dentist", "2026-03-02 09:00", 0});
    watch.Tick();
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_EQ(notifier.shown[1].title, "1 missed reminder");
    EXPECT_EQ(notifier.shown[1].body, "Dentist (Due 02-Mar-26 09:00)\n");
}

TEST_F(ReminderWatchTest, TheRecordOfRemindersShownIsNoStepOfTheHistory) {
    std::string file = dir.File("doc.vnt");
    AddItem(C(), {"Dentist", "2026-03-02 09:00", 0});
    doc->ItemsChanged();
    ASSERT_TRUE(doc->SaveDocument(file.c_str()));
    std::string saved = ReadWholeFile(file);
    host.calls.clear();
    ReminderWatch watch(*doc, notifier, reminderWindow);

    // With unsaved changes the record waits for the next save: modified, no undo step.
    clock.Set(At("2026-03-02 10:00"));
    watch.Tick();
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(host.calls, std::vector<std::string>{"modified"});
    EXPECT_EQ(doc->History().Count(), 1u);
    EXPECT_EQ(ReadWholeFile(file), saved);

    // A document without unsaved changes writes it to its file at once and stays so.
    AddItem(C(), {"Call Ann", "2026-03-02 11:00", 0});
    doc->ItemsChanged();
    watch.Tick(); // as every change of the document asks
    ASSERT_TRUE(doc->SaveDocument(file.c_str()));
    host.calls.clear();
    reminderWindow.file = file;
    clock.Set(At("2026-03-02 11:00"));
    watch.Tick();
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(doc->History().Count(), 2u);
    EXPECT_TRUE(doc->History().AtSavedState());
    VCollection reread;
    reread.Load(file.c_str());
    ReminderScheduler restarted;
    EXPECT_EQ(Describe(reread, restarted.Check(reread, At("2026-03-02 11:01")).notices), "");
}

} // namespace
