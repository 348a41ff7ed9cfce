// The export and import against programs that read and write iCalendar themselves:
// python3-icalendar, todoman and python3-recurring-ical-events, started by the tests.
#include "interop/ical_export.h"
#include "interop/ical_fixture.h"
#include "interop/ical_import.h"
#include "interop/ical_reading.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/shell.h"
#include "support/temp_dir.h"

#include <libical/ical.h>

#include <cstdio>
#include <gmock/gmock.h>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

// The system's Python, where the Debian packages are (not one a user put first on PATH).
const char* PYTHON = "/usr/bin/python3";
const char* TODOMAN = "/usr/bin/todoman";

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.insert(line);
    return lines;
}

class IcsPeersTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        struct stat info;
        ASSERT_EQ(stat(PYTHON, &info), 0) << "scripts/install-deps installs python3";
        dentist = AddNode<VTask>(collection, doc.work);
        dentist->what = "Dentist";
        dentist->flags = 0;
        dentist->startDate = "2010-06-30";
        exported = ExportICalendar(collection, AllNodes(collection), "Agenda");
        WriteWholeFile("agenda.ics", exported.text);
    }
    std::string Uid(const VNode* node) {
        return collection.extensions.Field(node, VExtensions::UID);
    }
    // Runs a Python script (written to a file) with arguments.
    int Python(const std::string& script, const std::string& arguments, std::string& output) {
        WriteWholeFile("script.py", script);
        return Shell(std::string(PYTHON) + " script.py " + arguments, output);
    }
    // A todoman configuration over lists/ in the test's folder.
    std::string Todoman(const std::string& arguments) {
        WriteWholeFile("todoman.py", "path = \"" + dir.Path() +
                                         "/lists/*\"\n"
                                         "date_format = \"%Y-%m-%d\"\n"
                                         "time_format = \"%H:%M\"\n"
                                         "cache_path = \"" +
                                         dir.Path() +
                                         "/cache.sqlite3\"\n"
                                         "default_list = \"vantry\"\n");
        return std::string(TODOMAN) + " --config todoman.py " + arguments;
    }

    VCollection collection;
    IcsFixture doc{collection};
    VTask* dentist = nullptr;
    IcsExport exported;
};

TEST_F(IcsPeersTest, PythonIcalendarReadsEveryItemAsTheDocumentHasIt) {
    std::string script = R"(import sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
assert str(cal['VERSION']) == '2.0'
def day(c, name):
    return c[name].dt.isoformat() if name in c else '-'
for c in cal.walk('VTODO'):
    print('\t'.join([str(c['UID']), str(c['SUMMARY']), str(c.get('STATUS')),
                     day(c, 'DTSTART'), day(c, 'DUE')]))
)";
    std::string out;
    ASSERT_EQ(Python(script, "agenda.ics", out), 0) << out;
    auto line = [&](const VNode* node, const std::string& summary, const char* status,
                    const char* start, const char* due) {
        return Uid(node) + "\t" + summary + "\t" + status + "\t" + start + "\t" + due;
    };
    std::set<std::string> expected = {
        line(doc.report, "Write report", "NEEDS-ACTION", "2010-06-25", "2010-06-28"),
        line(dentist, "Dentist", "NEEDS-ACTION", "2010-06-30", "2010-07-01"),
        line(doc.plan, "Plan", "NEEDS-ACTION", "-", "-"),
        line(doc.milk, "Buy milk", "COMPLETED", "-", "-"),
        line(doc.cafe, "Café €5", "NEEDS-ACTION", "-", "-"),
        line(doc.call, "Call Bob (dinner) @ 555-1234", "NEEDS-ACTION", "-", "-"),
        line(doc.mail, "Carol ()", "NEEDS-ACTION", "-", "-"),
        line(doc.pay, "Landlord ($0 acct NL00) - <reason>", "NEEDS-ACTION", "-", "-"),
    };
    EXPECT_EQ(Lines(out), expected);
}

// Each to-do in a file of its own, as a calendar folder (vdir) holds them.
void WriteVdir(const std::string& text, const std::string& folder) {
    mkdir("lists", 0700);
    mkdir(folder.c_str(), 0700);
    icalcomponent* calendar = icalparser_parse_string(text.c_str());
    for (icalcomponent* todo = icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT);
         todo; todo = icalcomponent_get_next_component(calendar, ICAL_VTODO_COMPONENT)) {
        icalcomponent* one = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
        icalcomponent_add_property(one, icalproperty_new_version("2.0"));
        icalcomponent_add_property(one, icalproperty_new_prodid("-//Vantry tests//EN"));
        icalcomponent_add_component(one, icalcomponent_new_clone(todo));
        char* written = icalcomponent_as_ical_string_r(one);
        WriteWholeFile(folder + "/" + icalcomponent_get_uid(todo) + ".ics", written);
        icalmemory_free_buffer(written);
        icalcomponent_free(one);
    }
    icalcomponent_free(calendar);
}

TEST_F(IcsPeersTest, TodomanListsTheSameOpenToDos) {
    WriteVdir(exported.text, "lists/vantry");
    std::string out;
    ASSERT_EQ(
        Shell(Todoman("--porcelain list") + " | " + PYTHON +
                  " -c \"import json, sys; [print(t['summary']) for t in json.load(sys.stdin)]\"",
              out),
        0)
        << out;
    EXPECT_EQ(Lines(out), (std::set<std::string>{"Write report", "Dentist", "Plan", "Café €5",
                                                 "Call Bob (dinner) @ 555-1234", "Carol ()",
                                                 "Landlord ($0 acct NL00) - <reason>"}))
        << "every open item, the done one left out";
}

TEST_F(IcsPeersTest, RecurringIcalEventsSeesTheActionsOnTheirDays) {
    std::string script = R"(import sys, datetime, icalendar, recurring_ical_events
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
# Undated to-dos are on every day for it; only the dated ones are compared.
dated = {str(c['UID']) for c in cal.walk('VTODO') if 'DTSTART' in c}
day = datetime.date(2010, 6, 20)
while day <= datetime.date(2010, 7, 5):
    found = recurring_ical_events.of(cal, components=['VTODO']).at(day)
    names = sorted(str(c['SUMMARY']) for c in found if str(c['UID']) in dated)
    print(day.isoformat() + ' ' + ','.join(names))
    day += datetime.timedelta(days=1)
)";
    std::string out;
    ASSERT_EQ(Python(script, "agenda.ics", out), 0) << out;
    std::set<std::string> expected;
    for (int d = 20; d <= 35; ++d) {
        char text[16];
        std::snprintf(text, sizeof text, "2010-%02d-%02d", d <= 30 ? 6 : 7, d <= 30 ? d : d - 30);
        std::string names = d >= 25 && d <= 27 ? "Write report" : d == 30 ? "Dentist" : "";
        expected.insert(std::string(text) + " " + names);
    }
    EXPECT_EQ(Lines(out), expected);
}

TEST_F(IcsPeersTest, AToDoWrittenByTodomanImportsWithItsFieldsAndKeepsTheRest) {
    mkdir("lists", 0700);
    mkdir("lists/vantry", 0700);
    std::string out;
    ASSERT_EQ(Shell("echo 'wrap them' | " +
                        Todoman("new -l vantry -r --due 2026-12-24 --priority high --location Shed "
                                "'Buy gifts'"),
                    out),
              0)
        << out;
    ASSERT_EQ(Shell("cat lists/vantry/*.ics", out), 0);
    std::string written = out;
    ReadCalendar original = ReadICalendar(written);
    ASSERT_EQ(original.todos.size(), 1u) << written;

    VCollection doc;
    IcsImport result = ImportICalendar(doc, written);
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.added, 1);
    auto* gifts = dynamic_cast<VTodo*>(doc.root->next);
    ASSERT_NE(gifts, nullptr) << "a due day and no start: a to-do";
    EXPECT_STREQ(gifts->what.Text(), "Buy gifts");
    std::optional<VWhen> due = DueOf(doc, gifts);
    ASSERT_TRUE(due);
    EXPECT_EQ(DayText(due->day), "2026-12-24");
    EXPECT_EQ(gifts->priority, 2) << "High";
    EXPECT_FALSE(gifts->flags & DONE);

    ReadCalendar again = ReadICalendar(ExportICalendar(doc, AllNodes(doc), "").text);
    ASSERT_EQ(again.todos.size(), 1u);
    const ReadTodo& before = original.todos[0];
    const ReadTodo& after = again.todos[0];
    EXPECT_EQ(after.Get("UID"), before.Get("UID"));
    EXPECT_EQ(after.Get("SUMMARY"), "Buy gifts");
    EXPECT_EQ(after.Get("DESCRIPTION"), before.Get("DESCRIPTION"));
    EXPECT_EQ(after.Get("DUE"), before.Get("DUE"));
    for (const char* kept : {"CREATED", "LAST-MODIFIED", "LOCATION", "SEQUENCE"}) {
        EXPECT_NE(before.Get(kept), "") << kept;
        EXPECT_EQ(after.Get(kept), before.Get(kept)) << kept;
    }

    // todoman reads the re-export as its own.
    WriteVdir(ExportICalendar(doc, AllNodes(doc), "").text, "lists/back");
    ASSERT_EQ(Shell(Todoman("--porcelain list back"), out), 0) << out;
    EXPECT_THAT(out, ::testing::HasSubstr("\"location\": \"Shed\""));
    EXPECT_THAT(out, ::testing::HasSubstr("\"summary\": \"Buy gifts\""));
}

// What libical 3 would have lost or a peer refused: an untitled item, a folder named
// with a comma, a repeating to-do (which needs its DTSTART) and the moment an item was
// done, as python3-icalendar and recurring-ical-events read them.
TEST_F(IcsPeersTest, PythonIcalendarReadsUntitledItemsRepeatsAndCompletionAndWritesCategoriesAsWeDo) {
    VCollection doc;
    auto* bills = AddNode<VGroup>(doc);
    bills->name = "Bills, taxes";
    auto* untitled = AddNode<VTodo>(doc, bills);
    untitled->what = "";
    auto* bins = AddNode<VTodo>(doc, bills);
    bins->what = "Bins";
    VSchedule weekly;
    weekly.dueDay = DayNumber(2026, 12, 7);
    weekly.rule = "FREQ=WEEKLY;COUNT=4";
    SetSchedule(doc, bins, weekly);
    auto* paid = AddNode<VTodo>(doc, bills);
    paid->what = "Paid";
    SetItemDone(doc, paid, true);
    ASSERT_TRUE(DoneAt(doc, paid));
    std::string completed = std::to_string(*DoneAt(doc, paid));
    WriteWholeFile("bills.ics", ExportICalendar(doc, AllNodes(doc), "Bills").text);

    std::string script = R"(import sys, datetime, icalendar, recurring_ical_events
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
for c in cal.walk('VTODO'):
    completed = c.get('COMPLETED')
    when = '-'
    if completed is not None:
        when = str(int(completed.dt.timestamp())) + ' ' + str(completed.dt.utcoffset())
    start = c['DTSTART'].dt.isoformat() if 'DTSTART' in c else '-'
    print('\t'.join(['[' + str(c['SUMMARY']) + ']', start, when]))
days = recurring_ical_events.of(cal, components=['VTODO']).between(
    datetime.date(2026, 12, 1), datetime.date(2027, 1, 31))
print(' '.join(sorted(c['DUE'].dt.isoformat() for c in days if str(c['SUMMARY']) == 'Bins')))
# Its reader (4.0) splits categories at escaped commas too (fixed in later releases);
# its writer shows how one category with a comma is written.
todo = icalendar.Todo()
todo.add('categories', ['Bills, taxes'])
print(todo.to_ical().decode().splitlines()[1])
)";
    std::string out;
    ASSERT_EQ(Python(script, "bills.ics", out), 0) << out;
    std::set<std::string> lines = Lines(out);
    EXPECT_EQ(lines.count("[]\t-\t-"), 1u) << out;
    EXPECT_EQ(lines.count("[Bins]\t2026-12-07\t-"), 1u) << "DTSTART beside RRULE";
    EXPECT_EQ(lines.count("[Paid]\t-\t" + completed + " 0:00:00"), 1u) << "in UTC";
    EXPECT_EQ(lines.count("2026-12-07 2026-12-14 2026-12-21 2026-12-28"), 1u) << out;
    EXPECT_EQ(lines.count("CATEGORIES:Bills\\, taxes"), 1u) << out;
    EXPECT_THAT(ReadWholeFile("bills.ics"), ::testing::HasSubstr("CATEGORIES:Bills\\, taxes\r\n"));
}

// A calendar python3-icalendar writes with what libical 3 refused or misread: the values
// come in and go out as they were.
TEST_F(IcsPeersTest, ACalendarPythonIcalendarWritesImportsWithItsValues) {
    std::string script = R"(import sys, datetime, icalendar
cal = icalendar.Calendar()
cal.add('prodid', '-//peer//EN')
cal.add('version', '2.0')
t = icalendar.Todo()
t.add('uid', 'peer-1')
t.add('summary', 'Taxes')
t.add('description', '')
t.add('categories', ['a,b', 'c'])
t.add('status', 'COMPLETED')
t.add('completed', datetime.datetime(2026, 11, 30, 10, 0, 0, tzinfo=datetime.timezone.utc))
t.add('related-to', 'parent-1', parameters={'VALUE': 'UID'})
cal.add_component(t)
open(sys.argv[1], 'wb').write(cal.to_ical())
)";
    std::string out;
    ASSERT_EQ(Python(script, "peer.ics", out), 0) << out;
    std::string written = ReadWholeFile("peer.ics");
    ASSERT_THAT(written, ::testing::HasSubstr("DESCRIPTION:\r\n"));
    VCollection doc;
    IcsImport imported = ImportICalendar(doc, written);
    ASSERT_TRUE(imported.ok) << imported.error << "\n" << written;
    auto* taxes = dynamic_cast<VTodo*>(doc.root->next);
    ASSERT_NE(taxes, nullptr);
    EXPECT_STREQ(taxes->what.Text(), "Taxes");
    EXPECT_STREQ(taxes->extra.Text(), "");
    EXPECT_TRUE(taxes->flags & DONE);
    std::string back = ExportICalendar(doc, AllNodes(doc), "").text;
    for (const char* line : {"CATEGORIES:a\\,b\r\n", "CATEGORIES:c\r\n",
                             "COMPLETED:20261130T100000Z\r\n", "RELATED-TO:parent-1\r\n"})
        EXPECT_THAT(back, ::testing::HasSubstr(line));
}

} // namespace
