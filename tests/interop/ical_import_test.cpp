// The iCalendar import: what becomes of to-dos and events, identities that match,
// what is kept for the next export, and files that cannot be read.
#include "interop/ical_import.h"

#include "foundation/text_encoding.h"
#include "interop/ical_export.h"
#include "interop/ical_fixture.h"
#include "interop/ical_reading.h"
#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "model/vschedule.h"
#include "support/log_capture.h"
#include "support/zone_test.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::string Calendar(const std::string& items, const std::string& head = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + head + items +
           "END:VCALENDAR\r\n";
}

std::string Item(const std::string& kind, const std::string& lines) {
    return "BEGIN:" + kind + "\r\n" + lines + "END:" + kind + "\r\n";
}

class IcsImportTest : public ZoneTest {
  protected:
    VCollection collection;

    std::string Bytes() { return DocumentBytesOf(collection); }
    static std::string DocumentBytesOf(VCollection& c) { return DocumentBytes(c); }
    std::vector<VNode*> Items() {
        std::vector<VNode*> items;
        for (VNode* n = collection.root->next; n; n = n->next)
            if (!n->IsFolderKind()) items.push_back(n);
        return items;
    }
};

// An export read into a new document and exported again, as TodoTexts: the same as the
// first export's when the import lost nothing.
std::multiset<std::string> ExportedAgain(const std::string& text) {
    VCollection again;
    IcsImport imported = ImportICalendar(again, text);
    EXPECT_TRUE(imported.ok) << imported.error;
    return TodoTexts(ExportICalendar(again, AllNodes(again), "").text);
}

VNode* FirstItem(const VCollection& doc) {
    VNode* node = doc.root->next;
    while (node && node->IsFolderKind())
        node = node->next;
    return node;
}

struct DayCase {
    const char* zone;
    const char* lines;
    const char* startDate; // "" for a to-do
    int duration;
};

// All-day values keep their day exactly, in any zone; so do times in a zone, in theirs.
TEST_F(IcsImportTest, DaysStayTheFilesInAnyZoneHere) {
    const DayCase cases[] = {
        {"Pacific/Kiritimati", "DTSTART;VALUE=DATE:20261224\r\nDUE;VALUE=DATE:20261227\r\n",
         "2026-12-24", 3},
        {"America/Adak", "DTSTART;VALUE=DATE:20261224\r\nDUE;VALUE=DATE:20261227\r\n", "2026-12-24",
         3},
        {"America/Adak", "DTSTART;VALUE=DATE:20261231\r\n", "2026-12-31", 1},
        // A due day alone: a to-do due that day (duration 0 marks the to-do cases).
        {"Pacific/Kiritimati", "DUE;VALUE=DATE:20270101\r\n", "2027-01-01", 0},
        {"America/Adak", "DUE;VALUE=DATE:20261231\r\n", "2026-12-31", 0},
        // Times in UTC or in a zone keep that zone's day (the agenda shows them on the day
        // here): 23:30 UTC on the 24th stays the 24th in Kiritimati (UTC+14) and Adak.
        {"Pacific/Kiritimati", "DTSTART:20261224T233000Z\r\n", "2026-12-24", 1},
        {"America/Adak", "DTSTART:20261224T233000Z\r\n", "2026-12-24", 1},
        {"America/Adak", "DTSTART;TZID=Europe/Berlin:20261225T080000\r\n", "2026-12-25", 1},
        {"Pacific/Kiritimati",
         "DTSTART;TZID=Europe/Berlin:20261225T080000\r\nDUE;TZID=Europe/Berlin:20261227T000000\r\n",
         "2026-12-25", 2},
        {"America/Adak", "DTSTART:20261225T080000\r\nDUE:20261226T000000\r\n", "2026-12-25", 1},
        {"America/Adak", "DTSTART;VALUE=DATE:20261224\r\nDURATION:P2D\r\n", "2026-12-24", 2},
        {"America/Adak", "", "", 0},
    };
    for (const DayCase& c : cases) {
        UseZone(c.zone);
        VCollection doc;
        std::string text =
            Calendar(Item("VTODO", std::string("UID:x\r\nSUMMARY:Party\r\n") + c.lines));
        IcsImport result = ImportICalendar(doc, text);
        ASSERT_TRUE(result.ok) << result.error;
        VNode* item = doc.root->next;
        ASSERT_FALSE(item->IsFolderKind());
        SCOPED_TRACE(std::string(c.zone) + " " + c.lines);
        if (!c.duration) {
            ASSERT_NE(dynamic_cast<VTodo*>(item), nullptr) << "no start: a to-do";
            std::optional<VWhen> due = DueOf(doc, item);
            EXPECT_EQ(due ? DayText(due->day) : "", c.startDate);
            if (c.startDate[0]) {
                EXPECT_EQ(ReadICalendar(ExportICalendar(doc, AllNodes(doc), "").text)
                              .todos.at(0)
                              .Get("DUE"),
                          std::string(c.startDate).erase(7, 1).erase(4, 1));
            }
            continue;
        }
        auto* task = dynamic_cast<VTask*>(item);
        ASSERT_NE(task, nullptr);
        EXPECT_EQ(std::string(task->startDate.Text()), c.startDate);
        EXPECT_EQ(task->duration, c.duration);
        EXPECT_FALSE(task->flags & NO_DATE);
        // And back out: the same days in this zone (timed values keep their local time).
        ReadCalendar back = ReadICalendar(ExportICalendar(doc, AllNodes(doc), "").text);
        std::string start = c.startDate;
        EXPECT_THAT(
            back.todos.at(0).Get("DTSTART"),
            ::testing::StartsWith(start.substr(0, 4) + start.substr(5, 2) + start.substr(8, 2)));
    }
}

// An all-day end is exclusive: an event on 12 December ends on the 13th. Read and
// written, the days stay what they were, whichever kind holds them.
TEST_F(IcsImportTest, AllDayEndsAreTheDayAfterBothWays) {
    struct Case {
        const char* kind;
        const char* lines;
        const char* todoDue; // when a to-do of the same UID is there already; "" none
        const char* first;   // the action's first day, or the to-do's due day
        int days;            // the action's days; 0 for the to-do
        const char* start;   // DTSTART written back ("" none)
        const char* end;     // DUE written back
    } cases[] = {
        {"VEVENT", "DTSTART;VALUE=DATE:20261212\r\nDTEND;VALUE=DATE:20261213\r\n", "", "2026-12-12",
         1, "20261212", "20261213"},
        {"VEVENT", "DTSTART;VALUE=DATE:20261212\r\nDTEND;VALUE=DATE:20261215\r\n", "", "2026-12-12",
         3, "20261212", "20261215"},
        {"VEVENT", "DTSTART;VALUE=DATE:20261212\r\n", "", "2026-12-12", 1, "20261212", "20261213"},
        {"VEVENT", "DTSTART;VALUE=DATE:20261212\r\nDURATION:P1D\r\n", "", "2026-12-12", 1,
         "20261212", "20261213"},
        {"VTODO", "DTSTART;VALUE=DATE:20261212\r\nDUE;VALUE=DATE:20261213\r\n", "", "2026-12-12", 1,
         "20261212", "20261213"},
        // An event without a start ends the day before its end.
        {"VEVENT", "DTEND;VALUE=DATE:20261213\r\n", "", "2026-12-12", 1, "20261212", "20261213"},
        // A to-do known by its UID takes the event's one day as its due day.
        {"VEVENT", "DTSTART;VALUE=DATE:20261212\r\nDTEND;VALUE=DATE:20261213\r\n", "2026-12-01",
         "2026-12-12", 0, "", "20261212"},
        {"VEVENT", "DTEND;VALUE=DATE:20261213\r\n", "2026-12-01", "2026-12-12", 0, "", "20261212"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.lines + c.todoDue);
        VCollection doc;
        if (c.todoDue[0]) {
            // In the folder an import without a calendar name makes, as the events go.
            auto* imported = AddNode<VGroup>(doc);
            imported->name = "Imported";
            auto* todo = AddNode<VTodo>(doc, imported);
            long due = 0;
            ASSERT_TRUE(ParseDayText(c.todoDue, due));
            VSchedule schedule;
            schedule.dueDay = due;
            SetSchedule(doc, todo, schedule);
            doc.extensions.SetField(todo, VExtensions::UID, "x");
        }
        IcsImport result = ImportICalendar(
            doc, Calendar(Item(c.kind, std::string("UID:x\r\nSUMMARY:Party\r\n") + c.lines)));
        ASSERT_TRUE(result.ok) << result.error;
        VNode* item = doc.root->next;
        while (item->IsFolderKind())
            item = item->next;
        if (c.days) {
            auto* task = dynamic_cast<VTask*>(item);
            ASSERT_NE(task, nullptr);
            EXPECT_STREQ(task->startDate.Text(), c.first);
            EXPECT_EQ(task->duration, c.days);
        } else {
            std::optional<VWhen> due = DueOf(doc, item);
            ASSERT_TRUE(due);
            EXPECT_EQ(DayText(due->day), c.first);
        }
        std::string back = ExportICalendar(doc, AllNodes(doc), "").text;
        ReadCalendar read = ReadICalendar(back);
        const ReadTodo& t = read.todos.at(0);
        EXPECT_EQ(t.Get("DTSTART"), c.start);
        EXPECT_EQ(t.Get("DUE"), c.end);
        EXPECT_EQ(ExportedAgain(back), TodoTexts(back));
    }
}

// A timed end is written back as the file gave it, even at the start (an event of no length,
// a to-do due when it starts); with no end, the item lasts to the midnight after its day. A
// repeating item ending as it starts keeps that midnight: DUE equal to DTSTART with a rule
// reads back as a to-do due when it starts.
TEST_F(IcsImportTest, TimedEndsComeBackAsTheyCame) {
    struct Case {
        const char* kind;
        const char* lines;
        const char* due; // DUE written back
    } cases[] = {
        {"VEVENT", "DTSTART:20261212T100000Z\r\nDTEND:20261212T113000Z\r\n", "20261212T113000Z"},
        {"VEVENT", "DTSTART:20261212T100000Z\r\nDTEND:20261212T100000Z\r\n", "20261212T100000Z"},
        {"VTODO", "DTSTART:20031018T000000\r\nDUE:20031018T000000\r\n", "20031018T000000"},
        {"VEVENT", "DTSTART:20261212T100000Z\r\n", "20261213T000000Z"},
        {"VEVENT", "DTSTART:20261212T100000Z\r\nDTEND:20261212T100000Z\r\nRRULE:FREQ=DAILY\r\n",
         "20261213T000000Z"},
    };
    UseZone("Pacific/Chatham");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.lines);
        VCollection doc;
        IcsImport result = ImportICalendar(
            doc, Calendar(Item(c.kind, std::string("UID:x\r\nSUMMARY:Party\r\n") + c.lines)));
        ASSERT_TRUE(result.ok) << result.error;
        std::string back = ExportICalendar(doc, AllNodes(doc), "").text;
        ReadCalendar read = ReadICalendar(back);
        const ReadTodo& t = read.todos.at(0);
        EXPECT_EQ(t.Get("DTSTART"), std::string(c.lines).substr(8, std::strlen(c.due)));
        EXPECT_EQ(t.Get("DUE"), c.due);
        EXPECT_EQ(ExportedAgain(back), TodoTexts(back));
    }
}

// Blank lines, which RFC 5545 has none of but calendars of some programs do, say nothing:
// around and inside components they are passed over, and lines after them keep their
// numbers.
TEST_F(IcsImportTest, BlankLinesAreSkipped) {
    std::string file = "BEGIN:VCALENDAR\r\n\r\nVERSION:2.0\r\n\r\n" +
                       Item("VEVENT", "UID:a\r\n\r\nSUMMARY:A\r\nDTSTART;VALUE=DATE:20260101\r\n") +
                       "\r\n\r\n" + Item("VTODO", "UID:b\r\nSUMMARY:B\r\n") +
                       "\r\nEND:VCALENDAR\r\n";
    IcsImport result = ImportICalendar(collection, file);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.added, 2);
    std::vector<VNode*> items = Items();
    EXPECT_EQ(std::count_if(items.begin(), items.end(),
                            [](VNode* n) { return dynamic_cast<VTask*>(n) != nullptr; }),
              1)
        << "the dated event";
    EXPECT_EQ(std::count_if(items.begin(), items.end(),
                            [](VNode* n) { return dynamic_cast<VTodo*>(n) != nullptr; }),
              1);

    // Lines that end in LF alone, as Radicale's test calendars have them.
    std::string lf = file;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
        lf.erase(at, 1);
    VCollection lfOnly;
    IcsImport fromLf = ImportICalendar(lfOnly, lf);
    ASSERT_TRUE(fromLf.ok) << fromLf.error;
    EXPECT_EQ(fromLf.added, 2);

    VCollection other;
    IcsImport broken = ImportICalendar(
        other, "BEGIN:VCALENDAR\r\n\r\n\r\nBEGIN:VEVENT\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.line, 4) << broken.error;
}

// Written on one side of the date line and read on the other: the days stay.
TEST_F(IcsImportTest, AllDayDatesCrossTheDateLineUnmoved) {
    VCollection source;
    IcsFixture doc(source);
    doc.report->startDate = "2026-12-31";
    UseZone("Pacific/Kiritimati");
    std::string written = ExportICalendar(source, AllNodes(source), "").text;
    UseZone("America/Adak");
    ASSERT_TRUE(ImportICalendar(collection, written).ok);
    VTask* report = nullptr;
    for (VNode* n : Items())
        if (auto* t = dynamic_cast<VTask*>(n); t && t->what == "Write report") report = t;
    ASSERT_NE(report, nullptr);
    EXPECT_STREQ(report->startDate.Text(), "2026-12-31");
    EXPECT_EQ(report->duration, 3);
    UseZone("Pacific/Kiritimati");
    ReadCalendar back = ReadICalendar(ExportICalendar(collection, AllNodes(collection), "").text);
    const ReadTodo* again = back.BySummary("Write report");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Get("DTSTART"), "20261231");
    EXPECT_EQ(again->Get("DUE"), "20270103");
}

TEST_F(IcsImportTest, EventsAndToDosBecomeActionsAndToDosInTheCalendarsFolder) {
    std::string text = Calendar(
        Item("VEVENT", "UID:e1\r\nSUMMARY:Meeting\r\nDTSTART;VALUE=DATE:20261201\r\n"
                       "DTEND;VALUE=DATE:20261203\r\nPRIORITY:1\r\n") +
            Item("VTODO", "UID:t1\r\nSUMMARY:Buy paint\r\nDESCRIPTION:white\\, matt\r\n"
                          "STATUS:COMPLETED\r\nCOMPLETED:20261130T100000Z\r\nPRIORITY:9\r\n") +
            Item("VTODO", "UID:t2\r\nSUMMARY:Caf\xC3\xA9 \xE2\x82\xAC and \xE2\x98\x83\r\n"),
        "X-WR-CALNAME:Renovation\r\n");
    IcsImport result = ImportICalendar(collection, text);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.added, 3);
    EXPECT_EQ(collection.textEncoding, TextEncoding::Utf8) << "the snowman needs UTF-8";
    ASSERT_NE(result.folder, nullptr);
    EXPECT_STREQ(result.folder->name.Text(), "Renovation");
    EXPECT_EQ(result.folder->parent, collection.root);
    std::vector<VNode*> items = Items();
    ASSERT_EQ(items.size(), 3u);
    for (VNode* n : items)
        EXPECT_EQ(n->parent, result.folder);
    auto* cafe = dynamic_cast<VTodo*>(items[0]);
    auto* paint = dynamic_cast<VTodo*>(items[1]);
    auto* meeting = dynamic_cast<VTask*>(items[2]);
    ASSERT_TRUE(cafe && paint && meeting);
    EXPECT_STREQ(cafe->what.Text(), "Caf\xC3\xA9 \xE2\x82\xAC and \xE2\x98\x83") << "nothing lost";
    EXPECT_STREQ(paint->what.Text(), "Buy paint");
    EXPECT_STREQ(paint->extra.Text(), "white, matt");
    EXPECT_TRUE(paint->flags & DONE);
    EXPECT_EQ(paint->priority, 0);
    EXPECT_STREQ(meeting->startDate.Text(), "2026-12-01");
    EXPECT_EQ(meeting->duration, 2);
    EXPECT_EQ(meeting->priority, 3);
    EXPECT_FALSE(meeting->flags & DONE);

    // Without a calendar name, into "Imported", which is made once.
    ASSERT_TRUE(ImportICalendar(collection, Calendar(Item("VTODO", "UID:n1\r\nSUMMARY:a\r\n"))).ok);
    IcsImport more =
        ImportICalendar(collection, Calendar(Item("VTODO", "UID:n2\r\nSUMMARY:b\r\n")));
    ASSERT_TRUE(more.ok);
    EXPECT_STREQ(more.folder->name.Text(), "Imported");
    EXPECT_EQ(collection.CountChildren(more.folder, false), 2);
}

TEST_F(IcsImportTest, AKnownUidIsUpdatedNeverDuplicatedAndNothingIsDeleted) {
    std::string first = Calendar(Item("VTODO", "UID:same\r\nSUMMARY:Old text\r\n") +
                                 Item("VTODO", "UID:other\r\nSUMMARY:Stays\r\n"));
    ASSERT_TRUE(ImportICalendar(collection, first).ok);
    std::string bytes = Bytes();
    IcsImport again = ImportICalendar(collection, first);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.updated, 2);
    EXPECT_EQ(Bytes(), bytes) << "importing the same file twice changes nothing";

    // Moved elsewhere and then changed by the other program: updated where it is.
    VNode* same = Items()[1];
    auto* mine = AddNode<VGroup>(collection);
    same->parent = mine;
    IcsImport changed = ImportICalendar(
        collection,
        Calendar(Item("VTODO", "UID:same\r\nSUMMARY:New text\r\nSTATUS:COMPLETED\r\n")));
    ASSERT_TRUE(changed.ok);
    EXPECT_EQ(changed.added, 0);
    EXPECT_EQ(Items().size(), 2u) << "the item missing from the file stays";
    EXPECT_STREQ(static_cast<VTodo*>(same)->what.Text(), "New text");
    EXPECT_TRUE(same->flags & DONE);
    EXPECT_EQ(same->parent, mine);

    // Items without a UID are known again by their contents.
    std::string anonymous = Calendar(Item("VTODO", "SUMMARY:No uid\r\n"));
    ASSERT_TRUE(ImportICalendar(collection, anonymous).ok);
    IcsImport twice = ImportICalendar(collection, anonymous);
    EXPECT_EQ(twice.added, 0);
    EXPECT_EQ(Items().size(), 3u);
}

TEST_F(IcsImportTest, WhatThisProgramDoesNotShowIsWrittenBackUnchanged) {
    std::string kept = "X-MOZ-GENERATION:3\r\n"
                       "RRULE:FREQ=WEEKLY;BYDAY=MO\r\n"
                       "ATTENDEE;CN=Ann Zee;ROLE=REQ-PARTICIPANT:mailto:ann@example.org\r\n"
                       "CATEGORIES:Home,Garden\r\n"
                       "LOCATION:Shed\r\n";
    std::string alarm = "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\n"
                        "TRIGGER:-PT15M\r\nEND:VALARM\r\n";
    std::string text =
        Calendar(Item("VTODO", "UID:keep-1\r\nSUMMARY:Water\r\nDTSTAMP:20260101T000000Z\r\n"
                               "DTSTART;VALUE=DATE:20261205\r\n" +
                                   kept + alarm));
    ASSERT_TRUE(ImportICalendar(collection, text).ok);
    ASSERT_TRUE(collection.Save("kept.vnt"));
    VCollection loaded;
    loaded.Load("kept.vnt");
    std::string out = ExportICalendar(loaded, AllNodes(loaded), "").text;
    ReadCalendar cal = ReadICalendar(out);
    ASSERT_EQ(cal.todos.size(), 1u);
    const ReadTodo& t = cal.todos[0];
    EXPECT_EQ(t.Get("UID"), "keep-1");
    EXPECT_EQ(t.Get("X-MOZ-GENERATION"), "3");
    EXPECT_EQ(t.Get("RRULE"), "FREQ=WEEKLY;BYDAY=MO");
    EXPECT_EQ(t.Get("LOCATION"), "Shed");
    EXPECT_EQ(t.Get("CATEGORIES"), "Home|Garden") << "its own categories instead of the folder";
    EXPECT_EQ(t.components, std::vector<std::string>{"VALARM"});
    for (const char* line : {"X-MOZ-GENERATION:3\r\n", "RRULE:FREQ=WEEKLY;BYDAY=MO\r\n",
                             "ATTENDEE;CN=Ann Zee;ROLE=REQ-PARTICIPANT:mailto:ann@example.org\r\n",
                             "LOCATION:Shed\r\n", "TRIGGER:-PT15M\r\n"})
        EXPECT_THAT(out, HasSubstr(line));
    EXPECT_THAT(out, Not(HasSubstr("20260101T000000Z"))) << "a fresh DTSTAMP";
}

TEST_F(IcsImportTest, ExportImportExportKeepsItemsAndUids) {
    VCollection source;
    IcsFixture doc(source);
    std::string first = ExportICalendar(source, AllNodes(source), "Agenda").text;
    IcsImport imported = ImportICalendar(collection, first);
    ASSERT_TRUE(imported.ok) << imported.error;
    EXPECT_EQ(imported.added, 7);
    std::string second = ExportICalendar(collection, AllNodes(collection), "Agenda").text;
    ReadCalendar a = ReadICalendar(first), b = ReadICalendar(second);
    ASSERT_EQ(a.todos.size(), b.todos.size());
    for (const ReadTodo& t : a.todos) {
        const ReadTodo* u = b.ByUid(t.Get("UID"));
        ASSERT_NE(u, nullptr) << t.text;
        for (const char* p : {"SUMMARY", "DESCRIPTION", "DTSTART", "DUE", "STATUS", "COMPLETED",
                              "PRIORITY", "PERCENT-COMPLETE"})
            EXPECT_EQ(u->Get(p), t.Get(p)) << t.Get("SUMMARY") << " " << p;
    }
    std::string bytes = Bytes();
    EXPECT_EQ(ImportICalendar(collection, second).added, 0);
    EXPECT_EQ(Bytes(), bytes);
}

// What libical 3 refuses or misreads as it stands: an empty text, a category holding a
// comma, a RELATED-TO that says its value is a UID. Each is read, and written back as
// it came.
TEST_F(IcsImportTest, EmptyTextsCommasInCategoriesAndUidRelationsComeBackAsTheyCame) {
    struct Case {
        const char* lines;
        const char* summary;            // the item's text
        const char* extra;              // a to-do's description
        std::vector<std::string> back;  // lines of the export
        std::vector<std::string> never; // ... and what it must not hold
    } cases[] = {
        {"SUMMARY:\r\n", "", "", {"SUMMARY:\r\n"}, {"X-LIC-ERROR"}},
        {"SUMMARY:Pay\r\nDESCRIPTION:\r\n", "Pay", "", {"SUMMARY:Pay\r\n"}, {"X-LIC-ERROR"}},
        {"SUMMARY:Pay\r\nLOCATION:\r\nX-MOZ-LASTACK:\r\nCOMMENT;LANGUAGE=en:\r\n",
         "Pay",
         "",
         {"LOCATION:\r\n", "X-MOZ-LASTACK:\r\n", "COMMENT;LANGUAGE=en:\r\n"},
         {"X-LIC-ERROR", "X-VANTRY"}},
        {"SUMMARY:Sort\r\nCATEGORIES:a\\,b,c\r\n",
         "Sort",
         "",
         {"CATEGORIES:a\\,b\r\n", "CATEGORIES:c\r\n"},
         {"CATEGORIES:a,b"}},
        {"SUMMARY:Sort\r\nCATEGORIES:Home,Garden\\, front,\\\\,\r\n",
         "Sort",
         "",
         {"CATEGORIES:Home\r\n", "CATEGORIES:Garden\\, front\r\n", "CATEGORIES:\\\\\r\n",
          "CATEGORIES:\r\n"},
         {"X-LIC-ERROR"}},
        {"SUMMARY:Child\r\nRELATED-TO;VALUE=UID:parent-1\r\n",
         "Child",
         "",
         {"RELATED-TO:parent-1\r\n"},
         {"X-LIC-ERROR"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        VCollection doc;
        IcsImport result =
            ImportICalendar(doc, Calendar(Item("VTODO", std::string("UID:u\r\n") + c.lines)));
        ASSERT_TRUE(result.ok) << result.error;
        auto* todo = dynamic_cast<VTodo*>(doc.root->next);
        ASSERT_NE(todo, nullptr);
        EXPECT_STREQ(todo->what.Text(), c.summary);
        EXPECT_STREQ(todo->extra.Text(), c.extra);
        std::string back = ExportICalendar(doc, AllNodes(doc), "").text;
        for (const std::string& line : c.back)
            EXPECT_THAT(back, HasSubstr(line));
        for (const std::string& text : c.never)
            EXPECT_THAT(back, Not(HasSubstr(text)));
        // And that export reads back to the same export.
        EXPECT_EQ(ExportedAgain(back), TodoTexts(back));
    }
}

// A folder named with a comma is one category, however many commas.
TEST_F(IcsImportTest, AFolderWithACommaInItsNameIsOneCategory) {
    auto* folder = AddNode<VGroup>(collection);
    folder->name = "Bills, taxes";
    auto* todo = AddNode<VTodo>(collection, folder);
    todo->what = "File";
    std::string text = ExportICalendar(collection, AllNodes(collection), "").text;
    EXPECT_THAT(text, HasSubstr("CATEGORIES:Bills\\, taxes\r\n"));
    EXPECT_EQ(ExportedAgain(text), TodoTexts(text));
}

// Our own export of untitled items, and a service's calendar with one empty
// DESCRIPTION among many, are read whole.
TEST_F(IcsImportTest, UntitledItemsAndEmptyDescriptionsDoNotStopAnImport) {
    auto* agenda = AddNode<VGroup>(collection);
    agenda->name = "Agenda";
    auto* untitled = AddNode<VTodo>(collection, agenda);
    untitled->what = "";
    auto* action = AddNode<VTask>(collection, agenda);
    action->what = "";
    action->flags = 0;
    action->startDate = "2026-12-12";
    std::string first = ExportICalendar(collection, AllNodes(collection), "Agenda").text;
    ASSERT_THAT(first, HasSubstr("SUMMARY:\r\n"));
    VCollection doc;
    IcsImport imported = ImportICalendar(doc, first);
    ASSERT_TRUE(imported.ok) << imported.error;
    EXPECT_EQ(imported.added, 2);
    EXPECT_EQ(TodoTexts(ExportICalendar(doc, AllNodes(doc), "Agenda").text), TodoTexts(first));

    std::string service =
        Calendar(Item("VEVENT", "UID:g1\r\nSUMMARY:Lunch\r\nDTSTART;VALUE=DATE:20261201\r\n"
                                "DESCRIPTION:\r\n") +
                     Item("VEVENT", "UID:g2\r\nSUMMARY:Dinner\r\nDTSTART;VALUE=DATE:20261202\r\n"
                                    "DESCRIPTION:Bring wine\r\n"),
                 "X-WR-CALNAME:Family\r\n");
    IcsImport family = ImportICalendar(doc, service);
    ASSERT_TRUE(family.ok) << family.error;
    EXPECT_EQ(family.added, 2);
}

// An imported COMPLETED is the moment the item was done, kept as it came (in UTC, as
// RFC 5545 has it; one given with a zone is the same moment in UTC).
TEST_F(IcsImportTest, ACompletedMomentIsKeptAsItCame) {
    struct Case {
        const char* lines;
        const char* kept; // "" none
    } cases[] = {
        {"STATUS:COMPLETED\r\nCOMPLETED:20261130T100000Z\r\n", "20261130T100000Z"},
        {"COMPLETED;TZID=Europe/Berlin:20261130T110000\r\n", "20261130T100000Z"},
        {"COMPLETED:20261130T100000\r\n", "20261130T100000Z"},
        {"STATUS:COMPLETED\r\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        VCollection doc;
        ASSERT_TRUE(ImportICalendar(doc, Calendar(Item("VTODO", std::string("UID:c\r\n"
                                                                            "SUMMARY:Done\r\n") +
                                                                    c.lines)))
                        .ok);
        VNode* item = FirstItem(doc);
        EXPECT_TRUE(item->flags & DONE);
        std::string back = ExportICalendar(doc, AllNodes(doc), "").text;
        EXPECT_EQ(ReadICalendar(back).todos.at(0).Get("COMPLETED"), c.kept);
        EXPECT_EQ(ExportedAgain(back), TodoTexts(back));
    }
    // Done no more: the moment goes.
    VCollection doc;
    ASSERT_TRUE(
        ImportICalendar(doc, Calendar(Item("VTODO", "UID:c\r\nCOMPLETED:20261130T100000Z\r\n")))
            .ok);
    ASSERT_TRUE(DoneAt(doc, FirstItem(doc)));
    ASSERT_TRUE(
        ImportICalendar(doc, Calendar(Item("VTODO", "UID:c\r\nSTATUS:NEEDS-ACTION\r\n"))).ok);
    EXPECT_FALSE(FirstItem(doc)->flags & DONE);
    EXPECT_EQ(DoneAt(doc, FirstItem(doc)), std::nullopt);
}

// libical reads no property without a value, so the export writes none: an item without
// text, in a folder without a name, with a reminder, comes back.
TEST_F(IcsImportTest, ItemsWithoutTextExportToAFileTheImportReads) {
    VCollection source;
    auto* folder = AddNode<VGroup>(source);
    folder->name = "";
    auto* todo = AddNode<VTodo>(source, folder);
    VSchedule schedule;
    schedule.dueDay = DayNumber(2026, 1, 6);
    schedule.reminderMinutes = 10;
    SetSchedule(source, todo, schedule);
    IcsExport exported = ExportICalendar(source, AllNodes(source), "");
    ASSERT_EQ(exported.items, 1);
    IcsImport imported = ImportICalendar(collection, exported.text);
    EXPECT_TRUE(imported.ok) << imported.error << "\n" << exported.text;
    EXPECT_EQ(imported.added, 1);
    ASSERT_EQ(Items().size(), 1u);
    EXPECT_EQ(ScheduleOf(collection, Items()[0]).reminderMinutes, 10);
}

struct BadCase {
    const char* what;
    std::string text;
    long line;
    const char* message;
};

std::string Junk(std::size_t size) {
    std::string junk(size, '\0');
    unsigned state = 12345;
    for (char& c : junk) {
        state = state * 1103515245 + 12345;
        c = (char)(state >> 16);
    }
    return junk;
}

// A repeat no calendar can follow is imported as it came, and the item shows once; the
// import says so, naming the line where the item begins.
TEST_F(IcsImportTest, ARepeatThatCannotBeFollowedIsKeptAndNamed) {
    struct Case {
        const char* rule;
        bool followed;
    } cases[] = {
        {"FREQ=DAILY;COUNT=3", true},
        {"FREQ=DAILY;COUNT=-5", false},
        {"FREQ=DAILY;INTERVAL=0", false},
        {"FREQ=SOMETIMES", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        VCollection doc;
        std::string text = Calendar(
            Item("VTODO", "UID:r\r\nSUMMARY:Water\x1b[2J\r\nDTSTART;VALUE=DATE:20261214\r\n"
                          "DUE;VALUE=DATE:20261214\r\nRRULE:" +
                              std::string(c.rule) + "\r\n"));
        long begin = 1 + std::count(text.begin(), text.begin() + text.find("BEGIN:VTODO"), '\n');
        IcsImport result = ImportICalendar(doc, text);
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.added, 1);
        VNode* item = FirstItem(doc);
        EXPECT_EQ(ScheduleOf(doc, item).rule, c.rule) << "kept as it came";
        if (c.followed) {
            EXPECT_THAT(result.notes, ::testing::IsEmpty());
            continue;
        }
        ASSERT_EQ(result.notes.size(), 1u);
        EXPECT_THAT(result.notes[0],
                    ::testing::StartsWith("line " + std::to_string(begin) +
                                          ": \"Water\\x1b[2J\" repeats by " + c.rule + ", "));
        EXPECT_THAT(result.notes[0], HasSubstr("; it shows once, on its first day"));
        OccurrenceList shown =
            Occurrences(ScheduleOf(doc, item).rule, {DayNumber(2026, 12, 14), std::nullopt},
                        DayNumber(2026, 12, 1), DayNumber(2026, 12, 31));
        EXPECT_EQ(shown.found.size(), 1u);
    }
}

TEST_F(IcsImportTest, BrokenFilesSayWhereAndChangeNothing) {
    std::string todo = Item("VTODO", "UID:a\r\nSUMMARY:fine\r\n");
    std::string big;
    for (int i = 0; big.size() < 50u * 1024 * 1024; ++i)
        big += Item("VTODO", "UID:big-" + std::to_string(i) + "\r\nSUMMARY:item " +
                                 std::to_string(i) + "\r\n");
    const BadCase cases[] = {
        // An unclosed component is named by the line that begins it.
        {"no END", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + todo, 1,
         "the VCALENDAR that begins at line 1 has no END"},
        {"an item without END",
         "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + todo + "BEGIN:VTODO\r\nSUMMARY:cut off\r\n", 7,
         "the VTODO that begins at line 7 has no END"},
        {"an unfinished item", "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:x\r\nEND:VCALENDAR\r\n",
         2, "the VTODO that begins at line 2 has no END (line 4 ends a VCALENDAR)"},
        // Faults libical finds in a line without stopping there: still that line.
        {"a parameter without a value",
         Calendar(todo + Item("VTODO", "UID:p\r\nSUMMARY:x\r\nDESCRIPTION;NOVALUE:y\r\n")), 11,
         "line 11: Can't parse parameter name: NOVALUE"},
        {"a value type the property cannot have",
         Calendar(todo + Item("VTODO", "UID:p\r\nSUMMARY;VALUE=DATE:x\r\n")), 10,
         "line 10: Invalid VALUE type for property SUMMARY"},
        {"a to-do outside a calendar", todo, 1, "line 1"},
        {"a date that is empty", Calendar(Item("VTODO", "UID:b\r\nDTSTART:\r\n")), 6, "line 6"},
        {"a line that is no property", Calendar(todo + "this is not a property\r\n" + todo), 8,
         "line 8 is no iCalendar line: \"this is not a property\""},
        {"a date that is none", Calendar(Item("VTODO", "UID:b\r\nDTSTART:tomorrow\r\n")), 6,
         "line 6"},
        {"a time libical cannot write back",
         Calendar(Item("VTODO", "UID:c\r\nSTATUS:COMPLETED\r\nCOMPLETED:40520202T120000Z\r\n")), 0,
         "COMPLETED lies past the year 3000: 40520202T120000Z"},
        {"a day libical cannot write back",
         Calendar(Item("VEVENT", "DTSTART;VALUE=DATE:99990101\r\n")), 0,
         "DTSTART lies past the year 3000: 99990101"},
        {"a month no calendar has", Calendar(Item("VTODO", "UID:d\r\nDUE;VALUE=DATE:29958309\r\n")),
         0, "DUE is no day of the calendar: 29958309"},
        {"binary", Calendar(todo) + std::string("\0\1\2", 3), 9, "line 9 holds binary data"},
        {"not UTF-8", Calendar(Item("VTODO", "SUMMARY:Caf\xE9\r\n")), 5, "line 5 is not UTF-8"},
        {"no calendar at all", "hello\r\n", 1, "line 1"},
        {"a kind libical has no name for", "BEGIN:VFOO\r\nEND:VFOO\r\n", 0,
         "the file holds a component of unknown kind where a VCALENDAR belongs"},
        {"no END to a kind libical has no name for", "BEGIN:VFOO\r\nSUMMARY:x\r\n", 1,
         "the VFOO that begins at line 1 has no END"},
        {"empty", "", 1, "no calendar"},
        {"50 MB of noise", Junk(50u * 1024 * 1024), 0, "line"},
        {"50 MB in one line",
         "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:" + std::string(50u * 1024 * 1024, 'x'), 3,
         "line 3 is longer than 1 MB"},
        {"50 MB without END", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + big, 1,
         "the VCALENDAR that begins at line 1 has no END"},
    };
    IcsFixture doc(collection);
    std::string bytes = Bytes();
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.what);
        IcsImport result = ImportICalendar(collection, c.text);
        EXPECT_FALSE(result.ok);
        EXPECT_THAT(result.error, HasSubstr(c.message));
        if (c.line) {
            EXPECT_EQ(result.line, c.line);
            EXPECT_THAT(result.error, HasSubstr("line " + std::to_string(c.line)));
        }
        EXPECT_EQ(result.added + result.updated, 0);
        EXPECT_EQ(Bytes(), bytes) << "nothing changed";
    }
}

} // namespace

namespace {

// A SUMMARY or DESCRIPTION longer than a text of the document can be: the item holds it cut
// after its last whole character that fits, and the export writes the whole text back, until
// the item's text is changed here.
TEST(IcsLongTexts, AreCutOnACharacterAndExportedWhole) {
    std::string summary;
    for (int i = 0; i < 20000; ++i)
        summary += "\xC3\xA9"; // é: two bytes, so 32,767 falls inside one
    std::string description(40000, 'd');
    VCollection doc;
    doc.textEncoding = TextEncoding::Utf8;
    IcsImport result = ImportICalendar(
        doc, Calendar(Item("VTODO", "UID:long\r\nSUMMARY:" + summary +
                                        "\r\nDESCRIPTION:" + description + "\r\n")));
    ASSERT_TRUE(result.ok) << result.error;
    auto* todo = dynamic_cast<VTodo*>(FirstItem(doc));
    ASSERT_NE(todo, nullptr);
    std::string held = todo->what.Text();
    EXPECT_EQ(held.size(), 32766u) << "16,383 whole characters";
    EXPECT_TRUE(IsUtf8(held));
    EXPECT_EQ(std::string(todo->extra.Text()).size(), 32767u);

    ReadCalendar out = ReadICalendar(ExportICalendar(doc, AllNodes(doc), "").text);
    ASSERT_EQ(out.todos.size(), 1u);
    EXPECT_EQ(out.todos[0].Get("SUMMARY"), summary);
    EXPECT_EQ(out.todos[0].Get("DESCRIPTION"), description);

    todo->what = "Shorter now";
    out = ReadICalendar(ExportICalendar(doc, AllNodes(doc), "").text);
    EXPECT_EQ(out.todos[0].Get("SUMMARY"), "Shorter now") << "the change here wins";
    EXPECT_EQ(out.todos[0].Get("DESCRIPTION"), description);
}

} // namespace

namespace {

// A UID with a control character libical cannot write (a form feed) is kept as its export
// writes it, so the item and the export agree on which series it belongs to.
TEST(IcsUidsAsWritten, AnInstanceWhoseUidDiffersByAFormFeedGoesWithItsSeries) {
    std::string file =
        Calendar(Item("VEVENT", "UID:standup\r\nSUMMARY:Stand-up\r\nDTSTART:20260105T093000\r\n"
                                "RRULE:FREQ=WEEKLY;COUNT=3\r\n") +
                 Item("VEVENT", "UID:stand\fup\r\nRECURRENCE-ID:20260112T093000\r\n"
                                "SUMMARY:Stand-up (late)\r\nDTSTART:20260112T110000\r\n"));
    VCollection doc;
    IcsImport imported = ImportICalendar(doc, file);
    ASSERT_TRUE(imported.ok) << imported.error;
    EXPECT_EQ(imported.added, 1);
    IcsExport exported = ExportICalendar(doc, AllNodes(doc), "");
    VCollection again;
    IcsImport back = ImportICalendar(again, exported.text);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.added, exported.items);
}

} // namespace
