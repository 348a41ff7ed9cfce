// Zoned times through the import and the export: a zone's times keep their zone and come
// back out with it and its VTIMEZONE; a file's own VTIMEZONE holds over the database; a
// zone nobody defines floats, and the import says so.
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vseries.h"
#include "support/zone_test.h"

#include <gmock/gmock.h>
#include <set>

namespace {

using ::testing::HasSubstr;

class IcsZonesTest : public ZoneTest {
  protected:
    static VNode* Item(const VCollection& doc, const char* uid) {
        for (VNode* n = doc.root->next; n; n = n->next)
            if (doc.extensions.Field(n, VExtensions::UID) == uid) return n;
        return nullptr;
    }
    // The item's occurrences on the days, as "YYYY-MM-DD HH:MM" here.
    static std::vector<std::string> Here(const VCollection& doc, const char* uid, long from,
                                         long to) {
        VNode* n = Item(doc, uid);
        if (!n) return {"no item " + std::string(uid)};
        VSchedule s = ScheduleOf(doc, n);
        std::vector<std::string> out;
        for (const VWhen& w : SeriesOccurrences(s, *DueOf(n, s), from, to).found)
            out.push_back(DayText(w.day) + " " + MinuteText(w.minute.value_or(0)));
        return out;
    }
};

std::string Calendar(const std::string& inside) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//tests//EN\r\n" + inside +
           "END:VCALENDAR\r\n";
}

std::string Event(const char* uid, const std::string& lines) {
    return std::string("BEGIN:VEVENT\r\nUID:") + uid + "\r\nSUMMARY:" + uid + "\r\n" + lines +
           "END:VEVENT\r\n";
}

// The lines of an export but its time stamps, in any order of the items.
std::multiset<std::string> LinesBesideStamps(const std::string& text) {
    std::multiset<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = std::min(text.find("\r\n", at), text.size());
        if (text.compare(at, 8, "DTSTAMP:") != 0) lines.insert(text.substr(at, end - at));
    }
    return lines;
}

TEST_F(IcsZonesTest, ZonesExceptionsAndAdditionsGoOutAsTheyCameIn) {
    std::string file =
        Calendar(Event("standup", "DTSTART;TZID=America/New_York:20260302T090000\r\n"
                                  "DTEND;TZID=America/New_York:20260302T093000\r\n"
                                  "RRULE:FREQ=WEEKLY;COUNT=6\r\n"
                                  "EXDATE;TZID=America/New_York:20260316T090000\r\n"
                                  "RDATE;TZID=America/New_York:20260401T120000\r\n") +
                 "BEGIN:VTODO\r\nUID:utc\r\nSUMMARY:utc\r\nDUE:20260310T120000Z\r\nEND:VTODO\r\n");
    UseZone("Europe/Berlin");
    VCollection doc;
    IcsImport imported = ImportICalendar(doc, file);
    ASSERT_TRUE(imported.ok) << imported.error;
    EXPECT_TRUE(imported.notes.empty());
    long march = DayNumber(2026, 3, 1), april = DayNumber(2026, 4, 30);
    // Berlin is six hours ahead of New York, but five in the weeks the two change clocks
    // apart (8 to 29 March); the cancelled 16 March is gone, the added 1 April there.
    EXPECT_EQ(
        Here(doc, "standup", march, april),
        (std::vector<std::string>{"2026-03-02 15:00", "2026-03-09 14:00", "2026-03-23 14:00",
                                  "2026-03-30 15:00", "2026-04-01 18:00", "2026-04-06 15:00"}));
    EXPECT_EQ(Here(doc, "utc", march, april), (std::vector<std::string>{"2026-03-10 13:00"}));

    UseZone("Asia/Tokyo");
    std::string out = ExportICalendar(doc, AllNodes(doc), "").text;
    for (const char* line :
         {"DTSTART;TZID=America/New_York:20260302T090000\r\n",
          "DUE;TZID=America/New_York:20260302T093000\r\n",
          "EXDATE;TZID=America/New_York:20260316T090000\r\n",
          "RDATE;TZID=America/New_York:20260401T120000\r\n", "DUE:20260310T120000Z\r\n",
          "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"})
        EXPECT_THAT(out, HasSubstr(line));
    EXPECT_EQ(out.find("BEGIN:VTIMEZONE"), out.rfind("BEGIN:VTIMEZONE")) << "one per zone";

    // Read back elsewhere, nothing moves: the same export, the same times here.
    UseZone("America/Los_Angeles");
    VCollection again;
    ASSERT_TRUE(ImportICalendar(again, out).ok);
    EXPECT_EQ(LinesBesideStamps(ExportICalendar(again, AllNodes(again), "").text),
              LinesBesideStamps(out));
    UseZone("Europe/Berlin");
    EXPECT_EQ(Here(again, "standup", march, april), Here(doc, "standup", march, april));
}

// A time in a database zone that the file gives no VTIMEZONE for, on a floating item,
// becomes the wall time here of its moment, an EXDATE's as an RDATE's.
TEST_F(IcsZonesTest, AZonedExceptionOfAFloatingSeriesIsItsMomentHere) {
    UseZone("UTC");
    VCollection doc;
    IcsImport imported = ImportICalendar(
        doc, Calendar(Event("series", "DTSTART:20260706T123000\r\nRRULE:FREQ=DAILY;COUNT=9\r\n"
                                      "EXDATE;TZID=America/New_York:20260707T083000\r\n"
                                      "RDATE;TZID=America/New_York:20260720T083000\r\n")));
    ASSERT_TRUE(imported.ok) << imported.error;
    VSchedule s = ScheduleOf(doc, Item(doc, "series"));
    long july7 = DayNumber(2026, 7, 7);
    EXPECT_EQ(s.exceptions, (std::vector<VWhen>{{july7, 12 * 60 + 30}})) << "08:30 in New York";
    EXPECT_EQ(s.additions, (std::vector<VWhen>{{july7 + 13, 12 * 60 + 30}}));
}

// Readers that look a TZID up as they meet it (python3-icalendar 4.0 does) take a time in a
// zone defined only further down as floating: every VTIMEZONE comes before the items.
TEST_F(IcsZonesTest, ZonesAreDefinedBeforeTheItemsThatUseThem) {
    std::string file =
        Calendar(Event("first", "DTSTART;TZID=Eastern:20050411T090000\r\n") +
                 "BEGIN:VTIMEZONE\r\nTZID:Eastern\r\nBEGIN:STANDARD\r\nDTSTART:19501029T020000\r\n"
                 "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n" +
                 Event("second", "DTSTART;TZID=America/New_York:20050411T090000\r\n"));
    VCollection doc;
    IcsImport imported = ImportICalendar(doc, file);
    ASSERT_TRUE(imported.ok) << imported.error;
    std::string out = ExportICalendar(doc, AllNodes(doc), "").text;
    EXPECT_THAT(out, HasSubstr("TZID:Eastern\r\n"));
    EXPECT_THAT(out, HasSubstr("TZID:America/New_York\r\n"));
    EXPECT_LT(out.rfind("BEGIN:VTIMEZONE"), out.find("BEGIN:VTODO"));
    EXPECT_EQ(out.substr(out.rfind("END:VTODO")), "END:VTODO\r\nEND:VCALENDAR\r\n");
}

// A VTIMEZONE of the file's own: Outlook names its zones by their Windows names, and a
// file may say a zone's rules are other than the database's; the file's hold.
TEST_F(IcsZonesTest, TheFilesOwnZoneHolds) {
    const std::string outlook =
        "BEGIN:VTIMEZONE\r\nTZID:W. Europe Standard Time\r\n"
        "BEGIN:STANDARD\r\nDTSTART:16010101T030000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
        "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\r\nEND:STANDARD\r\n"
        "BEGIN:DAYLIGHT\r\nDTSTART:16010101T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
        "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
    const std::string strange =
        "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:+0300\r\nTZOFFSETTO:+0300\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    std::string file =
        Calendar(outlook + strange +
                 Event("outlook", "DTSTART;TZID=W. Europe Standard Time:20260701T100000\r\n") +
                 Event("strange", "DTSTART;TZID=Europe/Berlin:20260701T100000\r\n"));
    UseZone("UTC");
    VCollection doc;
    IcsImport imported = ImportICalendar(doc, file);
    ASSERT_TRUE(imported.ok) << imported.error;
    long july = DayNumber(2026, 7, 1);
    EXPECT_EQ(Here(doc, "outlook", july, july), (std::vector<std::string>{"2026-07-01 08:00"}));
    EXPECT_EQ(Here(doc, "strange", july, july), (std::vector<std::string>{"2026-07-01 07:00"}))
        << "the file's +03:00, not the database's summer time";
    std::string out = ExportICalendar(doc, AllNodes(doc), "").text;
    EXPECT_THAT(out, HasSubstr("DTSTART;TZID=W. Europe Standard Time:20260701T100000\r\n"));
    EXPECT_THAT(out, HasSubstr("TZID:W. Europe Standard Time\r\n"));
    EXPECT_THAT(out, HasSubstr("TZOFFSETTO:+0300\r\n"));

    // A VTIMEZONE that says what the database says (as the big calendar services write
    // Europe/Berlin) is kept as the name alone.
    const std::string google =
        "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nX-LIC-LOCATION:Europe/Berlin\r\n"
        "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\n"
        "DTSTART:19700329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
        "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\n"
        "DTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
        "END:VTIMEZONE\r\n";
    VCollection named;
    ASSERT_TRUE(
        ImportICalendar(
            named, Calendar(google + Event("db", "DTSTART;TZID=Europe/Berlin:20260701T100000\r\n")))
            .ok);
    ASSERT_NE(Item(named, "db"), nullptr);
    EXPECT_EQ(ScheduleOf(named, Item(named, "db")).zone.tzid, "Europe/Berlin");
    EXPECT_EQ(ScheduleOf(named, Item(named, "db")).zone.definition, "");
}

TEST_F(IcsZonesTest, AZoneNobodyDefinesFloatsAndIsNamed) {
    UseZone("Europe/Berlin");
    VCollection doc;
    IcsImport imported = ImportICalendar(
        doc, Calendar(Event("mars", "DTSTART;TZID=Mars/Olympus:20260310T120000\r\n")));
    ASSERT_TRUE(imported.ok) << imported.error;
    ASSERT_EQ(imported.notes.size(), 1u);
    EXPECT_THAT(imported.notes[0], HasSubstr("line 4: \"mars\" has times in the zone "
                                             "\"Mars/Olympus\", which neither the time-zone "
                                             "database nor the file defines"));
    long day = DayNumber(2026, 3, 10);
    EXPECT_EQ(Here(doc, "mars", day, day), (std::vector<std::string>{"2026-03-10 12:00"}));
}

} // namespace

namespace {

// A zoned series is walked from the span's first minute here, not from days before it: a
// rule every second finds its occurrences in the span before its budget ends.
TEST_F(IcsZonesTest, AZonedSeriesEverySecondShowsInTheSpan) {
    UseZone("America/New_York");
    VCollection doc;
    ASSERT_TRUE(ImportICalendar(doc, Calendar(Event("tick", "DTSTART;TZID=Europe/Berlin:"
                                                            "20170101T000000\r\n"
                                                            "RRULE:FREQ=SECONDLY\r\n")))
                    .ok);
    long day = DayNumber(2026, 7, 1);
    std::vector<std::string> found = Here(doc, "tick", day, day);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front(), "2026-07-01 00:00");
}

} // namespace

namespace {

// A VTIMEZONE that changes its offset every second would have libical work out billions
// of changes: it is not followed. Its times float, the import says so, and it ends at once.
TEST_F(IcsZonesTest, AZoneChangingEverySecondIsNotFollowed) {
    UseZone("Europe/Berlin");
    const std::string hostile =
        "BEGIN:VTIMEZONE\r\nTZID:Busy\r\n"
        "BEGIN:STANDARD\r\nDTSTART:19700101T000000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
        "RRULE:FREQ=SECONDLY;INTERVAL=2\r\nEND:STANDARD\r\n"
        "BEGIN:DAYLIGHT\r\nDTSTART:19700101T000001\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
        "RRULE:FREQ=SECONDLY;INTERVAL=2\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
    VCollection doc;
    IcsImport imported = ImportICalendar(
        doc, Calendar(hostile + Event("busy", "DTSTART;TZID=Busy:20260310T120000\r\n"
                                              "COMPLETED;TZID=Busy:20260310T130000\r\n")));
    ASSERT_TRUE(imported.ok) << imported.error;
    ASSERT_EQ(imported.notes.size(), 1u);
    EXPECT_THAT(imported.notes[0], HasSubstr("\"Busy\""));
    long day = DayNumber(2026, 3, 10);
    EXPECT_EQ(Here(doc, "busy", day, day), (std::vector<std::string>{"2026-03-10 12:00"}));
}

} // namespace
