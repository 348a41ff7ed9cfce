// The iCalendar export: what each kind becomes, and identities that stay.
#include "interop/ical_export.h"

#include "interop/ical_fixture.h"
#include "interop/ical_reading.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "support/fixed_clock.h"
#include "support/log_capture.h"

#include <functional>
#include <gmock/gmock.h>
#include <set>

using ::testing::HasSubstr;

namespace {

class IcsExportTest : public LogTest {
  protected:
    VCollection collection;
    IcsFixture doc{collection};
    ReadCalendar Export() {
        last = ExportICalendar(collection, AllNodes(collection), "My agenda");
        return ReadICalendar(last.text);
    }
    IcsExport last;
};

TEST_F(IcsExportTest, OneCalendarWithAToDoPerItemAndNothingElse) {
    ReadCalendar cal = Export();
    ASSERT_TRUE(cal.parsed) << last.text;
    EXPECT_EQ(cal.values["VERSION"], "2.0");
    EXPECT_THAT(cal.values["PRODID"], HasSubstr("Vantry"));
    EXPECT_EQ(cal.values["X-WR-CALNAME"], "My agenda");
    std::set<std::string> summaries;
    for (const ReadTodo& t : cal.todos)
        summaries.insert(t.Get("SUMMARY"));
    EXPECT_EQ(summaries, (std::set<std::string>{"Write report", "Plan", "Buy milk", "Café €5",
                                                "Call Bob (dinner) @ 555-1234", "Carol ()",
                                                "Landlord ($0 acct NL00) - <reason>"}))
        << "contacts, facts and folders are not exported; to call, mail and pay by their list text";
    EXPECT_EQ(last.items, 7);
    EXPECT_EQ(last.text.substr(0, 17), "BEGIN:VCALENDAR\r\n");
    EXPECT_EQ(last.text.substr(last.text.size() - 15), "END:VCALENDAR\r\n");
}

struct FieldCase {
    const char* summary;
    const char* property;
    const char* value;
};

TEST_F(IcsExportTest, EachItemsFields) {
    const FieldCase cases[] = {
        {"Write report", "DTSTART", "20100625"},
        {"Write report", "DUE", "20100628"}, // the day after the last, as all-day ends go
        {"Write report", "PRIORITY", "3"},
        {"Write report", "PERCENT-COMPLETE", "50"},
        {"Write report", "STATUS", "NEEDS-ACTION"},
        // Its own folder, not the path to it: a path grows with the nesting, and no
        // other program reads " / " as anything but part of one category's name.
        {"Write report", "CATEGORIES", "Sub"},
        {"Write report", "DESCRIPTION", "Assigned to: Anna Zee\\nHours of work: 4"},
        {"Plan", "DTSTART", ""},
        {"Plan", "DUE", ""},
        {"Plan", "PRIORITY", "5"},
        {"Buy milk", "STATUS", "COMPLETED"},
        {"Buy milk", "DESCRIPTION", "2 litres"},
        {"Buy milk", "CATEGORIES", "Work"},
        {"Café €5", "PRIORITY", "1"},
        {"Café €5", "CATEGORIES", "Home"},
        {"Call Bob (dinner) @ 555-1234", "DESCRIPTION",
         "Who: Bob\\nReason: dinner\\nPhone: 555-1234"},
        {"Landlord ($0 acct NL00) - <reason>", "DESCRIPTION",
         "Who: Landlord\\nReason: <reason>\\nAmount: $0\\nAccount: NL00"},
    };
    ReadCalendar cal = Export();
    for (const FieldCase& c : cases) {
        const ReadTodo* t = cal.BySummary(c.summary);
        ASSERT_NE(t, nullptr) << c.summary;
        EXPECT_EQ(t->Get(c.property), c.value) << c.summary << " " << c.property;
    }
    const ReadTodo* report = cal.BySummary("Write report");
    EXPECT_EQ(report->parameters.count("DTSTART;VALUE=DATE"), 1u) << "all-day values";
    EXPECT_EQ(report->parameters.count("DUE;VALUE=DATE"), 1u);
    // Done before the moment was kept, and with no day to tell when: no COMPLETED
    // rather than one that is not true (STATUS says it is done).
    EXPECT_EQ(cal.BySummary("Buy milk")->Get("COMPLETED"), "");
    for (const ReadTodo& t : cal.todos)
        EXPECT_NE(t.Get("DTSTAMP"), "") << t.text;
}

TEST_F(IcsExportTest, UidsAreGivenOnceAndKeptBySaveAndLoad) {
    ReadCalendar first = Export();
    EXPECT_EQ(last.newIdentities, 7) << "every item got its UID";
    std::set<std::string> uids;
    for (const ReadTodo& t : first.todos) {
        // Derived from the item, not random: the feed hands UIDs out without saving them,
        // and must give the same ones at its next start (ical_uid_test).
        EXPECT_THAT(t.Get("UID"), ::testing::MatchesRegex("vantry-[0-9a-f]{16}"));
        uids.insert(t.Get("UID"));
    }
    EXPECT_EQ(uids.size(), 7u) << "all different";

    ReadCalendar second = Export();
    EXPECT_EQ(last.newIdentities, 0);
    for (const ReadTodo& t : first.todos) {
        const ReadTodo* again = second.BySummary(t.Get("SUMMARY"));
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(again->Get("UID"), t.Get("UID"));
        EXPECT_EQ(again->Get("COMPLETED"), t.Get("COMPLETED"));
    }

    ASSERT_TRUE(collection.Save("doc.vnt"));
    VCollection loaded;
    loaded.Load("doc.vnt");
    IcsExport reloaded = ExportICalendar(loaded, AllNodes(loaded), "My agenda");
    EXPECT_EQ(reloaded.newIdentities, 0);
    ReadCalendar third = ReadICalendar(reloaded.text);
    for (const ReadTodo& t : first.todos)
        EXPECT_EQ(third.BySummary(t.Get("SUMMARY"))->Get("UID"), t.Get("UID"));
}

// COMPLETED is a UTC moment (RFC 5545) and the same at every export: the moment the item
// was ticked done, else one its own days give, never the time of the export.
TEST_F(IcsExportTest, CompletedIsTheMomentItWasDoneInUtcAtEveryExport) {
    FixedClock clock(11, 12, 2026);
    struct Case {
        const char* what;
        std::function<void(VTodo*)> set;
        const char* completed; // "" none
    } cases[] = {
        {"ticked", [&](VTodo* t) { SetItemDone(collection, t, true); }, "20261211T110000Z"},
        {"kept by an earlier export",
         [&](VTodo* t) {
             t->flags |= DONE;
             collection.extensions.SetField(t, VExtensions::ICAL_COMPLETED, "20261130T100000Z");
         },
         "20261130T100000Z"},
        {"its last repeat done",
         [&](VTodo* t) {
             VSchedule s;
             s.dueDay = DayNumber(2026, 12, 1);
             s.rule = "FREQ=DAILY;COUNT=1";
             s.doneDay = DayNumber(2026, 12, 5);
             SetSchedule(collection, t, s);
             t->flags |= DONE;
         },
         "20261205T000000Z"},
        {"due",
         [&](VTodo* t) {
             VSchedule s;
             s.dueDay = DayNumber(2026, 12, 7);
             s.dueMinute = 9 * 60;
             SetSchedule(collection, t, s);
             t->flags |= DONE;
         },
         "20261207T000000Z"},
        {"nothing to tell when", [&](VTodo* t) { t->flags |= DONE; }, ""},
        // A damaged file's text that libical would write as 00000000T000000 gives way.
        {"kept text that is no time",
         [&](VTodo* t) {
             t->flags |= DONE;
             collection.extensions.SetField(t, VExtensions::ICAL_COMPLETED, "garbage");
         },
         ""},
        {"kept time no calendar has",
         [&](VTodo* t) {
             VSchedule s;
             s.dueDay = DayNumber(2026, 12, 8);
             SetSchedule(collection, t, s);
             t->flags |= DONE;
             collection.extensions.SetField(t, VExtensions::ICAL_COMPLETED, "40520202T120000Z");
         },
         "20261208T000000Z"},
    };
    clock.Set(1796986800); // 2026-12-11 11:00:00 UTC
    for (const Case& c : cases) {
        auto* todo = AddNode<VTodo>(collection, doc.home);
        todo->what = c.what;
        c.set(todo);
    }
    ReadCalendar first = Export();
    clock.Set(1796986800 + 86400 * 3);
    IcsExport again = ExportICalendar(collection, AllNodes(collection), "My agenda");
    EXPECT_EQ(again.newIdentities, 0) << "nothing given but UIDs, and those were given already";
    EXPECT_EQ(TodoTexts(again.text), TodoTexts(last.text)) << "the same at every export";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ReadTodo* todo = first.BySummary(c.what);
        ASSERT_NE(todo, nullptr);
        EXPECT_EQ(todo->Get("STATUS"), "COMPLETED");
        EXPECT_EQ(todo->Get("COMPLETED"), c.completed);
    }
    EXPECT_EQ(collection.extensions.Field(doc.milk, VExtensions::ICAL_COMPLETED), "")
        << "an export writes nothing of its own into the document";
}

TEST_F(IcsExportTest, AFolderExportsWhatItShows) {
    collection.MakeView(doc.work);
    IcsExport part = ExportICalendar(collection, ShownNodes(doc.work), "Work");
    ReadCalendar cal = ReadICalendar(part.text);
    EXPECT_EQ(cal.BySummary("Café €5"), nullptr) << "another folder";
    EXPECT_EQ(cal.BySummary("Buy milk"), nullptr) << "done items are not shown by default";
    EXPECT_NE(cal.BySummary("Write report"), nullptr) << "subfolders are";
    EXPECT_EQ(part.items, 5);
}

} // namespace
