// Repeats in zones against python3-recurring-ical-events: a table of rules (daylight-saving
// gaps and repeated hours, half-hour zones, a day a zone skipped, BYWEEKNO, BYSETPOS,
// EXDATE and RDATE, UNTIL in UTC, series from 2010), each imported and expanded by the
// agenda's own path, under a zone here that is none of the files' own, and compared with
// the peer's occurrences turned into the same local time.
#include "interop/ical_import.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vseries.h"
#include "support/shell.h"
#include "support/temp_dir.h"
#include "support/zone_test.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace {

const char* PYTHON = "/usr/bin/python3";
const char* HERE = "America/Los_Angeles";

struct RuleCase {
    const char* uid;
    const char* lines; // DTSTART, RRULE and the rest of the event
    const char* from;  // the span asked for, local days here
    const char* to;
    // Where the peer is wrong, judged by hand: RFC 5545 (3.3.5) says a wall time that
    // happens twice, as clocks go back, "refers to the first occurrence"; the peer takes
    // the second. Its line, and the one the RFC gives.
    const char* peerSays = nullptr;
    const char* rfcSays = nullptr;
};

const RuleCase CASES[] = {
    {"ny-weekly-since-2015",
     "DTSTART;TZID=America/New_York:20150105T090000\r\nRRULE:FREQ=WEEKLY\r\n", "2026-02-20",
     "2026-04-10"},
    {"birthday-since-2010", "DTSTART;VALUE=DATE:20100517\r\nRRULE:FREQ=YEARLY\r\n", "2026-01-01",
     "2027-12-31"},
    {"sydney-monday",
     "DTSTART;TZID=Australia/Sydney:20260302T080000\r\n"
     "RRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=3\r\n",
     "2026-02-25", "2026-03-31"},
    {"berlin-spring-gap",
     "DTSTART;TZID=Europe/Berlin:20260327T023000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n", "2026-03-25",
     "2026-04-05"},
    // 02:30 on 25 October happens in summer time (00:30 UTC), then again in winter time.
    {"berlin-fall-twice",
     "DTSTART;TZID=Europe/Berlin:20261023T023000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n", "2026-10-20",
     "2026-10-30", "berlin-fall-twice\t2026-10-24 18:30", "berlin-fall-twice\t2026-10-24 17:30"},
    {"lord-howe-half-hour",
     "DTSTART;TZID=Australia/Lord_Howe:20261002T021500\r\n"
     "RRULE:FREQ=DAILY;COUNT=4\r\n",
     "2026-09-30", "2026-10-08"},
    {"kolkata-weekly", "DTSTART;TZID=Asia/Kolkata:20260105T073000\r\nRRULE:FREQ=WEEKLY;COUNT=4\r\n",
     "2026-01-01", "2026-02-28"},
    {"kathmandu-31st",
     "DTSTART;TZID=Asia/Kathmandu:20260131T061500\r\n"
     "RRULE:FREQ=MONTHLY;BYMONTHDAY=31;COUNT=4\r\n",
     "2026-01-01", "2026-09-30"},
    {"apia-skipped-day",
     "DTSTART;TZID=Pacific/Apia:20111228T100000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n", "2011-12-26",
     "2012-01-05"},
    {"week-53", "DTSTART:20200101T120000Z\r\nRRULE:FREQ=YEARLY;BYWEEKNO=53;BYDAY=TH\r\n",
     "2020-01-01", "2027-12-31"},
    {"last-workday",
     "DTSTART;TZID=America/New_York:20260130T170000\r\n"
     "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=6\r\n",
     "2026-01-01", "2026-07-31"},
    {"until-utc",
     "DTSTART;TZID=Europe/Berlin:20260305T150000\r\n"
     "RRULE:FREQ=DAILY;UNTIL=20260310T140000Z\r\n",
     "2026-03-01", "2026-03-20"},
    {"exdate-rdate",
     "DTSTART;TZID=America/New_York:20260302T090000\r\nRRULE:FREQ=WEEKLY;COUNT=6\r\n"
     "EXDATE;TZID=America/New_York:20260316T090000\r\n"
     "RDATE;TZID=America/New_York:20260401T120000\r\n",
     "2026-03-01", "2026-04-30"},
    {"exdate-in-utc",
     "DTSTART;TZID=Europe/Paris:20260105T080000\r\nRRULE:FREQ=DAILY;COUNT=5\r\n"
     "EXDATE:20260107T070000Z\r\n",
     "2026-01-01", "2026-01-15"},
    {"utc-twice-a-day", "DTSTART:20260301T090000Z\r\nRRULE:FREQ=DAILY;BYHOUR=9,15;COUNT=6\r\n",
     "2026-02-27", "2026-03-10"},
    {"floating-weekly", "DTSTART:20260303T100000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\n", "2026-03-01",
     "2026-03-31"},
    {"chicago-second-tuesday",
     "DTSTART;TZID=America/Chicago:20260113T183000\r\n"
     "RRULE:FREQ=MONTHLY;BYDAY=2TU;COUNT=5\r\n",
     "2026-01-01", "2026-06-30"},
    {"london-gap-yearly",
     "DTSTART;TZID=Europe/London:20250330T013000\r\n"
     "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU;COUNT=3\r\n",
     "2025-01-01", "2027-12-31"},
    {"la-every-other-week",
     "DTSTART;TZID=America/Los_Angeles:20260302T080000\r\n"
     "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE,FR;COUNT=10\r\n",
     "2026-03-01", "2026-05-31"},
    {"paris-daily-since-2010", "DTSTART;TZID=Europe/Paris:20100101T070000\r\nRRULE:FREQ=DAILY\r\n",
     "2026-03-26", "2026-04-02"},
    {"tokyo-month-end",
     "DTSTART;TZID=Asia/Tokyo:20260131T230000\r\n"
     "RRULE:FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=4\r\n",
     "2026-01-01", "2026-06-30"},
    {"leap-day", "DTSTART;VALUE=DATE:20120229\r\nRRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=29\r\n",
     "2023-01-01", "2028-12-31"},
    {"sao-paulo-six-hours",
     "DTSTART;TZID=America/Sao_Paulo:20260301T000000\r\n"
     "RRULE:FREQ=HOURLY;INTERVAL=6;COUNT=20\r\n",
     "2026-02-27", "2026-03-10"},
    {"utc-ninety-minutes",
     "DTSTART:20260301T220000Z\r\nRRULE:FREQ=MINUTELY;INTERVAL=90;COUNT=10\r\n", "2026-02-28",
     "2026-03-05"},
    {"cairo-sunday-tuesday",
     "DTSTART;TZID=Africa/Cairo:20260405T200000\r\n"
     "RRULE:FREQ=WEEKLY;INTERVAL=2;WKST=SU;BYDAY=SU,TU;COUNT=8\r\n",
     "2026-04-01", "2026-06-30"},
    // 01:00 on 1 November happens in summer time (05:00 UTC), then again an hour later.
    {"ny-fall-back-hours",
     "DTSTART;TZID=America/New_York:20261031T010000\r\n"
     "RRULE:FREQ=DAILY;BYHOUR=1,2,3;COUNT=9\r\n",
     "2026-10-29", "2026-11-05", "ny-fall-back-hours\t2026-10-31 23:00",
     "ny-fall-back-hours\t2026-10-31 22:00"},
    {"chatham-weekly",
     "DTSTART;TZID=Pacific/Chatham:20260401T094500\r\nRRULE:FREQ=WEEKLY;COUNT=4\r\n", "2026-03-25",
     "2026-05-05"},
    {"st-johns-first-monday",
     "DTSTART;TZID=America/St_Johns:20260105T120000\r\n"
     "RRULE:FREQ=MONTHLY;BYDAY=1MO;COUNT=4\r\n",
     "2026-01-01", "2026-05-31"},
    {"moscow-since-2010", "DTSTART;TZID=Europe/Moscow:20100601T120000\r\nRRULE:FREQ=YEARLY\r\n",
     "2010-01-01", "2016-12-31"},
    {"troll-two-hour-shift",
     "DTSTART;TZID=Antarctica/Troll:20260327T013000\r\n"
     "RRULE:FREQ=DAILY;COUNT=4\r\n",
     "2026-03-25", "2026-04-02"},
    {"rdate-alone",
     "DTSTART;TZID=Asia/Singapore:20260601T090000\r\n"
     "RDATE;TZID=Asia/Singapore:20260603T090000,20260610T140000\r\n",
     "2026-05-30", "2026-06-30"},
    {"count-counts-exdate",
     "DTSTART;TZID=Europe/Berlin:20260601T180000\r\n"
     "RRULE:FREQ=DAILY;COUNT=4\r\nEXDATE;TZID=Europe/Berlin:20260602T180000\r\n",
     "2026-05-30", "2026-06-30"},
};

std::string Calendar() {
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//tests//EN\r\n";
    for (const RuleCase& c : CASES)
        text += std::string("BEGIN:VEVENT\r\nUID:") + c.uid + "\r\nSUMMARY:" + c.uid + "\r\n" +
                c.lines + "END:VEVENT\r\n";
    return text + "END:VCALENDAR\r\n";
}

std::string WhenLine(const std::string& uid, const VWhen& when) {
    return uid + "\t" + DayText(when.day) + (when.minute ? " " + MinuteText(*when.minute) : "");
}

// The occurrences the peer finds, turned into the local time of `HERE` (a floating time
// and a day stay as they are), that lie on the case's days; "uid\tYYYY-MM-DD[ HH:MM]".
const char* PEER = R"(import sys, datetime, icalendar, recurring_ical_events
from zoneinfo import ZoneInfo
here = ZoneInfo(sys.argv[2])
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
spans = {}
for arg in sys.argv[3:]:
    uid, first, last = arg.split(',')
    spans[uid] = (datetime.date.fromisoformat(first), datetime.date.fromisoformat(last))
margin = datetime.timedelta(days=2)
for uid, (first, last) in spans.items():
    one = icalendar.Calendar()
    for c in cal.walk('VEVENT'):
        if str(c['UID']) == uid:
            one.add_component(c)
    for e in recurring_ical_events.of(one).between(first - margin, last + margin):
        start = e['DTSTART'].dt
        if isinstance(start, datetime.datetime):
            if start.tzinfo is not None:
                start = start.astimezone(here)
            day, text = start.date(), start.strftime('%Y-%m-%d %H:%M')
        else:
            day, text = start, start.isoformat()
        if first <= day <= last:
            print(uid + '\t' + text)
)";

class ZonesPeerTest : public ZoneTest {
  protected:
    void SetUp() override {
        ZoneTest::SetUp();
        UseZone(HERE);
    }
    TempDir dir;
};

TEST_F(ZonesPeerTest, AgendaOccurrencesEqualRecurringIcalEvents) {
    ASSERT_GE(std::size(CASES), 30u);
    std::string calendar = Calendar();
    WriteWholeFile(dir.Path() + "/rules.ics", calendar);
    WriteWholeFile(dir.Path() + "/peer.py", PEER);
    std::string arguments;
    for (const RuleCase& c : CASES)
        arguments += std::string(" ") + c.uid + "," + c.from + "," + c.to;
    std::string out;
    ASSERT_EQ(Shell(std::string(PYTHON) + " " + dir.Path() + "/peer.py " + dir.Path() +
                        "/rules.ics " + HERE + arguments,
                    out),
              0)
        << out;
    std::map<std::string, std::set<std::string>> peer;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) peer[line.substr(0, line.find('\t'))].insert(line);

    VCollection doc;
    IcsImport imported = ImportICalendar(doc, calendar);
    ASSERT_TRUE(imported.ok) << imported.error;
    ASSERT_EQ(imported.added, (int)std::size(CASES));
    for (const RuleCase& c : CASES) {
        SCOPED_TRACE(c.uid);
        VNode* node = nullptr;
        for (VNode* n = doc.root->next; n && !node; n = n->next)
            if (doc.extensions.Field(n, VExtensions::UID) == c.uid) node = n;
        ASSERT_NE(node, nullptr);
        VSchedule schedule = ScheduleOf(doc, node);
        std::optional<VWhen> due = DueOf(node, schedule);
        ASSERT_TRUE(due);
        long from = 0, to = 0;
        ASSERT_TRUE(ParseDayText(c.from, from) && ParseDayText(c.to, to));
        std::set<std::string> ours;
        for (const VWhen& when : SeriesOccurrences(schedule, *due, from, to).found)
            ours.insert(WhenLine(c.uid, when));
        EXPECT_FALSE(ours.empty());
        std::set<std::string> expected = peer[c.uid];
        if (c.peerSays) {
            ASSERT_EQ(expected.erase(c.peerSays), 1u) << "the peer's reading has changed";
            expected.insert(c.rfcSays);
        }
        EXPECT_EQ(ours, expected);
    }
}

} // namespace
