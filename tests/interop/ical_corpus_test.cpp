// The calendars of other iCalendar programs' test suites (tests/data/calendars) through the
// import, the export and the import again, under a zone here that is none of the files'
// own, compared item by item with python3-icalendar's reading of the file
// (ical_corpus_compare.py says what is compared and which changes are Vantry's on purpose).
#include "interop/ical_export.h"
#include "interop/ical_import.h"
#include "model/vcollection.h"
#include "support/shell.h"
#include "support/temp_dir.h"
#include "support/zone_test.h"
#include "test_paths.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace {

const char* PYTHON = "/usr/bin/python3";
const char* HERE = "Pacific/Chatham"; // +12:45 / +13:45: no file of the corpus is in it

// Files whose export does not keep some fields yet, and why. Each field named must differ
// (an entry that no longer does is to be taken out), and every other field of the file is
// still compared, as are its import, its count of items and the import of its export.
struct KnownLoss {
    const char* file;
    std::set<std::string> fields;
    const char* why;
};
const char* const PERIODS = "an RDATE that is a PERIOD keeps only its start: the schedule's "
                            "additions are times (vschedule.h), with no end of their own";
const char* const MINUTES = "times are kept to the minute: the seconds are lost";
const KnownLoss KNOWN_LOSSES[] = {
    {"python-icalendar/period_with_timezone.ics", {"RDATE"}, PERIODS},
    {"ical4j/calconnect2.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/issue_156_RDATE_with_PERIOD_TZID_khal.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/issue_156_RDATE_with_PERIOD_TZID_khal_2.ics", {"RDATE"}, PERIODS},
    {"ical4j/calconnect8.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/issue_1426.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/issue_1633_rdate_with_dates.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/issue_1633_rdate_with_dates_and_tzid.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/issue_722_missing_timezones.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/rfc_5545_RDATE_example.ics", {"RDATE"}, PERIODS},
    {"python-icalendar/rfc_7265_appendix_example_2_ical.ics", {"RDATE"}, PERIODS},
    {"radicale/event_rdate_period_start_duration.ics", {"RDATE"}, PERIODS},
    {"libical/3.ics", {"END"}, MINUTES},
    {"python-icalendar/issue_722_timezone_transition_ambiguity.ics", {"START"}, MINUTES},
    // libical's parser trims the white space around a value.
    {"ical4j/dst-only-vtimezone.ics", {"UID"}, "the UID's trailing space is trimmed"},
    {"python-icalendar/issue_526_calendar_with_events.ics",
     {"SUMMARY"},
     "the SUMMARY's leading space is trimmed"},
    // Where the file says what RFC 5545 does not, or python3-icalendar 4.0 reads it wrong.
    {"ical4j/sunbird_sample.ics",
     {"SUMMARY", "DESCRIPTION"},
     "texts escape quotes (\\\"), which RFC 5545 has no escape for: libical reads a quote, "
     "python3-icalendar 4.0 a backslash and a quote"},
    {"ical4j/categories.ics",
     {"CATEGORIES"},
     "python3-icalendar 4.0 splits a CATEGORIES value at escaped commas too; libical reads the "
     "two categories \"A,\\\" and \",\\,B\" and the export writes them so"},
    {"khal/event_dt_mixed_awareness.ics",
     {"START", "END"},
     "times with a TZID and a Z: libical takes them as UTC, python3-icalendar 4.0 in the zone"},
    {"python-icalendar/issue_313_globally_unique_tzid.ics",
     {"START", "END"},
     "python3-icalendar 4.0 takes a vendor's prefixed TZID (/freeassociation.sourceforge.net/"
     "Europe/Berlin) as floating; the import places it in the zone it names"},
    {"python-icalendar/issue_466_convert_tzid_with_slash.ics",
     {"EXPORT"},
     "the TZID /Europe/Stockholm has no VTIMEZONE in the file; the export's, libical's, has "
     "UNTIL in UTC as RFC 5545 wants, which python3-icalendar 4.0 (dateutil) refuses"},
    {"radicale/event3.ics",
     {"END"},
     "a day with DURATION:PT1H: the item keeps its day (DUE the day after), python3-icalendar "
     "4.0 ends it on the day it starts"},
};

// Files the import refuses, with the line it names; nothing of them is imported. Each is
// a file that breaks RFC 5545 (python3-icalendar reads past it), but for one.
struct RefusedFile {
    const char* file;
    long line;
    const char* why;
};
const RefusedFile REFUSED[] = {
    {"python-icalendar/multiple_calendar_components.ics", 2,
     "a property name alone on its line, its value after an empty line"},
    {"python-icalendar/multiple_timezones.ics", 23, "RDATE;VALUE=TIME, a type RDATE cannot have"},
    {"python-icalendar/timezone_same_start_and_offset.ics", 1, "END:VCALENDARD"},
    {"python-icalendar/rfc_9253_examples.ics", 8,
     "a valid file: libical 3.0 cannot read RFC 9253's LINK property"},
};

std::vector<std::string> CorpusFiles() {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(CALENDAR_CORPUS_DIR))
        if (entry.is_regular_file() && entry.path().extension() == ".ics")
            files.push_back(fs::relative(entry.path(), CALENDAR_CORPUS_DIR).string());
    std::sort(files.begin(), files.end());
    return files;
}

// What the import, export and second import did with one file.
struct RoundTrip {
    IcsImport first, again;
    int exported = 0;
};

// What python3-icalendar says of one file: its items and the fields its export lost.
struct PeerReading {
    bool read = false;
    std::string unread;
    int items = 0, uids = 0;
    std::set<std::string> lost;
    std::string details;
};

std::map<std::string, PeerReading> ReadPeerOutput(const std::string& output) {
    std::map<std::string, PeerReading> readings;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> parts;
        std::istringstream fields(line);
        for (std::string part; std::getline(fields, part, '\t');)
            parts.push_back(part);
        if (parts.size() < 3) {
            readings["(no file)"].details += line + "\n"; // a traceback: shown as a failure
            continue;
        }
        PeerReading& r = readings[parts[0]];
        if (parts[1] == "items" && parts.size() == 4) {
            r.read = true;
            r.items = std::atoi(parts[2].c_str());
            r.uids = std::atoi(parts[3].c_str());
        } else if (parts[1] == "unread") {
            r.unread = parts[2];
        } else if (parts[1] == "differs") {
            r.lost.insert(parts[2]);
            r.details += line + "\n";
        }
    }
    return readings;
}

class IcsCorpusTest : public ZoneTest {
  protected:
    void SetUp() override {
        ZoneTest::SetUp();
        UseZone(HERE);
    }
};

TEST_F(IcsCorpusTest, EveryCalendarKeepsItsItemsThroughExportAndImportAgain) {
    std::vector<std::string> files = CorpusFiles();
    ASSERT_GE(files.size(), 60u) << "the corpus is in " CALENDAR_CORPUS_DIR;
    std::map<std::string, RoundTrip> trips;
    for (const std::string& file : files) {
        RoundTrip& trip = trips[file];
        VCollection collection;
        trip.first = ImportICalendar(collection,
                                     ReadWholeFile(std::string(CALENDAR_CORPUS_DIR) + "/" + file));
        IcsExport exported = ExportICalendar(collection, AllNodes(collection), "");
        trip.exported = exported.items;
        std::filesystem::create_directories(std::filesystem::path("exports/" + file).parent_path());
        WriteWholeFile("exports/" + file, exported.text);
        trip.again = ImportICalendar(collection, exported.text);
    }

    std::string command = std::string(PYTHON) + " " + INTEROP_TEST_DIR "/ical_corpus_compare.py " +
                          CALENDAR_CORPUS_DIR + " exports";
    for (const std::string& file : files)
        command += " '" + file + "'";
    std::string output;
    ASSERT_EQ(Shell(command, output), 0) << output;
    std::map<std::string, PeerReading> readings = ReadPeerOutput(output);
    EXPECT_EQ(readings.count("(no file)"), 0u) << readings["(no file)"].details;

    std::map<std::string, const RefusedFile*> refused;
    for (const RefusedFile& r : REFUSED) {
        EXPECT_TRUE(trips.count(r.file)) << r.file << " is no file of the corpus";
        refused[r.file] = &r;
    }
    std::map<std::string, const KnownLoss*> known;
    for (const KnownLoss& loss : KNOWN_LOSSES) {
        EXPECT_TRUE(trips.count(loss.file)) << loss.file << " is no file of the corpus";
        known[loss.file] = &loss;
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const RoundTrip& trip = trips[file];
        const PeerReading& peer = readings[file];
        // Every file of the corpus is one python3-icalendar reads (others are left out).
        EXPECT_TRUE(peer.read) << peer.unread;
        if (auto it = refused.find(file); it != refused.end()) {
            EXPECT_FALSE(trip.first.ok) << it->second->why;
            EXPECT_EQ(trip.first.line, it->second->line) << trip.first.error;
            EXPECT_EQ(trip.first.added + trip.first.updated, 0);
            continue;
        }
        EXPECT_TRUE(trip.first.ok) << trip.first.error;
        if (!peer.read || !trip.first.ok) continue;
        // Items with the same UID are one item, the last of them.
        EXPECT_EQ(trip.first.added + trip.first.updated, peer.items);
        EXPECT_EQ(trip.first.added, peer.uids);
        EXPECT_EQ(trip.exported, peer.uids);
        EXPECT_TRUE(trip.again.ok) << trip.again.error;
        EXPECT_EQ(trip.again.added, 0) << "the export names its items as the document does";
        EXPECT_EQ(trip.again.updated, peer.uids);
        auto it = known.find(file);
        std::set<std::string> expectedLost =
            it == known.end() ? std::set<std::string>{} : it->second->fields;
        EXPECT_EQ(peer.lost, expectedLost) << peer.details;
    }
}

} // namespace
