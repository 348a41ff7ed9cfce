// Writes the calendar bench/agenda_vs_peer.sh times: 100,000 to-dos and events in ten
// calendar files of 10,000 (each its own X-WR-CALNAME, so each imports into a folder of its
// own), every tenth item repeating, and one more file with a single to-do that repeats
// every second and never ends. The same seed gives the same files byte for byte.
//
// The single items are due over the year before, the year itself and the year after,
// the to-dos among them that lie before the year done; the repeating ones start over the
// ten years before it. Times are in Europe/Berlin or America/New_York (with the zones'
// VTIMEZONE), in UTC, floating or all-day; repeats are daily, weekly on days, monthly on
// days of the month or by position, or yearly, some ending by COUNT or UNTIL, some with
// EXDATEs of occurrences in the year. libical builds and writes every component.
//
//   make_agenda_calendar YEAR OUT_DIR
//   -> OUT_DIR/calendar-0.ics .. calendar-9.ics, OUT_DIR/secondly.ics
#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "model/vrecurrence_rule.h"
#include "model/vschedule.h"
#include "model/vzone.h"

#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FILES = 10;
constexpr int ITEMS_PER_FILE = 10000;
constexpr int REPEAT_EVERY = 10; // every tenth item repeats

const char* const CALENDARS[FILES] = {"Work",   "Home",   "Family", "Sport",  "Club",
                                      "Health", "Travel", "Bills",  "School", "Garden"};
const char* const BERLIN = "Europe/Berlin";
const char* const NEW_YORK = "America/New_York";

enum class Zone { Berlin, NewYork, Utc, Floating, AllDay };

// The rules people give their repeats, weighted by how often they turn up.
struct RuleShare {
    int weight;
    const char* rule;
};
const RuleShare RULES[] = {
    {6, "FREQ=DAILY"},
    {4, "FREQ=DAILY;INTERVAL=3"},
    {12, "FREQ=WEEKLY"},
    {10, "FREQ=WEEKLY;BYDAY=MO,WE,FR"},
    {8, "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH"},
    {5, "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
    {10, "FREQ=MONTHLY"},
    {8, "FREQ=MONTHLY;BYMONTHDAY=1,15"},
    {4, "FREQ=MONTHLY;BYMONTHDAY=-1"},
    {7, "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1"},
    {6, "FREQ=MONTHLY;BYDAY=TU;BYSETPOS=2"},
    {12, "FREQ=YEARLY"},
    {4, "FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU"},
    {4, "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=10"},
};

class Generator {
  public:
    Generator(int year) : year(year) {}

    icalcomponent* Calendar(const char* name) {
        icalcomponent* cal = icalcomponent_new_vcalendar();
        icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
        icalcomponent_add_property(cal, icalproperty_new_prodid("-//Vantry//agenda bench//EN"));
        icalproperty* calname = icalproperty_new_x(name);
        icalproperty_set_x_name(calname, "X-WR-CALNAME");
        icalcomponent_add_property(cal, calname);
        for (const char* zone : {BERLIN, NEW_YORK})
            icalcomponent_add_component(
                cal, icalparser_parse_string(ZoneDefinitionText(VZone{zone, ""}).c_str()));
        return cal;
    }

    icalcomponent* Item(int index) {
        bool repeating = index % REPEAT_EVERY == 0;
        bool event = pick(2) == 0;
        Zone zone = pickZone();
        icaltimetype start = repeating ? dayIn(year - 10, 10 * 365 - 1) : dayIn(year - 1, 3 * 365);
        if (zone != Zone::AllDay) {
            start.is_date = 0;
            start.second = 0;
            start.hour = 6 + pick(15);
            start.minute = 15 * pick(4);
        }
        if (zone == Zone::Utc) start.zone = icaltimezone_get_utc_timezone();

        icalcomponent* c = event ? icalcomponent_new_vevent() : icalcomponent_new_vtodo();
        icalcomponent_add_property(
            c, icalproperty_new_uid(("agenda-bench-" + std::to_string(index)).c_str()));
        icalcomponent_add_property(c, icalproperty_new_dtstamp(stamp()));
        icalcomponent_add_property(
            c, icalproperty_new_summary(
                   ((event ? "Meeting " : "Task ") + std::to_string(index)).c_str()));
        if (pick(4) == 0)
            icalcomponent_add_property(
                c, icalproperty_new_description("Notes written down for this one."));
        if (pick(3) == 0) icalcomponent_add_property(c, icalproperty_new_priority(1 + pick(9)));

        if (event) {
            icaltimetype end = start;
            if (zone == Zone::AllDay)
                icaltime_adjust(&end, 1 + (pick(5) == 0 ? pick(3) : 0), 0, 0, 0);
            else
                icaltime_adjust(&end, 0, 0, 30 * (1 + pick(4)), 0);
            icalcomponent_add_property(c, zoned(icalproperty_new_dtstart(start), zone));
            icalcomponent_add_property(c, zoned(icalproperty_new_dtend(end), zone));
            if (pick(3) == 0) icalcomponent_add_property(c, icalproperty_new_location("Room 4"));
        } else {
            // A repeating to-do starts when it is first due, as RFC 5545 wants a start
            // for a rule; a single one has a due time alone.
            if (repeating)
                icalcomponent_add_property(c, zoned(icalproperty_new_dtstart(start), zone));
            icalcomponent_add_property(c, zoned(icalproperty_new_due(start), zone));
            if (!repeating && start.year < year) {
                icalcomponent_add_property(c, icalproperty_new_status(ICAL_STATUS_COMPLETED));
                icalcomponent_add_property(c, icalproperty_new_completed(stamp()));
            }
        }
        if (repeating) addRepeat(c, start, zone);
        return c;
    }

    // The to-do that repeats every second from years before the span, in a zone.
    icalcomponent* Secondly() {
        icaltimetype start = dayIn(year - 9, 59);
        start.is_date = 0;
        start.hour = 9;
        icalcomponent* c = icalcomponent_new_vtodo();
        icalcomponent_add_property(c, icalproperty_new_uid("agenda-bench-secondly"));
        icalcomponent_add_property(c, icalproperty_new_dtstamp(stamp()));
        icalcomponent_add_property(c, icalproperty_new_summary("Every second"));
        icalcomponent_add_property(c, zoned(icalproperty_new_dtstart(start), Zone::Berlin));
        icalcomponent_add_property(c, zoned(icalproperty_new_due(start), Zone::Berlin));
        icalcomponent_add_property(
            c, icalproperty_new_rrule(icalrecurrencetype_from_string("FREQ=SECONDLY")));
        return c;
    }

  private:
    int year;
    std::mt19937 random{20261211};

    int pick(int n) { return (int)(random() % (unsigned)n); }

    Zone pickZone() {
        int p = pick(100);
        return p < 25   ? Zone::Berlin
               : p < 40 ? Zone::NewYork
               : p < 60 ? Zone::Utc
               : p < 85 ? Zone::Floating
                        : Zone::AllDay;
    }

    // A day among the `days` days from January 1st of `fromYear`.
    icaltimetype dayIn(int fromYear, int days) {
        icaltimetype t = icaltime_null_time();
        t.is_date = 1;
        t.year = fromYear;
        t.month = 1;
        t.day = 1;
        icaltime_adjust(&t, pick(days), 0, 0, 0);
        return t;
    }

    icaltimetype stamp() const {
        icaltimetype t = icaltime_null_time();
        t.year = year - 1;
        t.month = 12;
        t.day = 1;
        t.zone = icaltimezone_get_utc_timezone();
        return t;
    }

    static icalproperty* zoned(icalproperty* p, Zone zone) {
        if (zone == Zone::Berlin || zone == Zone::NewYork)
            icalproperty_add_parameter(
                p, icalparameter_new_tzid(zone == Zone::Berlin ? BERLIN : NEW_YORK));
        return p;
    }

    const char* pickRule() {
        int total = 0;
        for (const RuleShare& r : RULES)
            total += r.weight;
        int p = pick(total);
        for (const RuleShare& r : RULES)
            if ((p -= r.weight) < 0) return r.rule;
        return RULES[0].rule;
    }

    void addRepeat(icalcomponent* c, const icaltimetype& start, Zone zone) {
        std::string rule = pickRule();
        int ending = pick(10);
        if (ending < 2) {
            rule += ";COUNT=" + std::to_string(5 + pick(400));
        } else if (ending < 4) {
            // UNTIL a day between the start and two years after the span; in UTC with a
            // zoned start, as RFC 5545 wants it.
            icaltimetype until = start;
            until.zone = nullptr;
            icaltime_adjust(&until, pick((year + 2 - start.year) * 365), 0, 0, 0);
            char text[32];
            if (zone == Zone::AllDay)
                std::snprintf(text, sizeof text, "%04d%02d%02d", until.year, until.month,
                              until.day);
            else
                std::snprintf(text, sizeof text, "%04d%02d%02dT235959%s", until.year, until.month,
                              until.day, zone == Zone::Floating ? "" : "Z");
            rule += std::string(";UNTIL=") + text;
        }
        icalcomponent_add_property(
            c, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.c_str())));
        if (pick(7) == 0)
            for (const icaltimetype& excepted : occurrencesInYear(rule, start, 1 + pick(3)))
                icalcomponent_add_property(c, zoned(icalproperty_new_exdate(excepted), zone));
    }

    // Some of the rule's occurrences in the span's year, to take out. The model expands
    // them: libical's iterator from the series' start would take minutes for them all.
    std::vector<icaltimetype> occurrencesInYear(const std::string& rule, const icaltimetype& start,
                                                int wanted) {
        std::vector<VWhen> inYear =
            Occurrences(rule, WhenOf(start), DayNumber(year, 1, 1), DayNumber(year, 12, 31)).found;
        std::vector<icaltimetype> chosen;
        for (int i = 0; i < wanted && !inYear.empty(); ++i) {
            std::size_t at = (std::size_t)pick((int)inYear.size());
            icaltimetype t = IcalTime(inYear[at]);
            t.zone = start.zone;
            chosen.push_back(t);
            inYear.erase(inYear.begin() + (long)at);
        }
        return chosen;
    }
};

bool write(const std::string& path, icalcomponent* calendar) {
    char* text = icalcomponent_as_ical_string_r(calendar);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out && text && std::fputs(text, out) >= 0;
    if (out && std::fclose(out) != 0) ok = false;
    icalmemory_free_buffer(text);
    icalcomponent_free(calendar);
    if (!ok) std::fprintf(stderr, "make_agenda_calendar: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[1]) < 1980) {
        std::fprintf(stderr, "usage: make_agenda_calendar YEAR OUT_DIR\n");
        return 2;
    }
    std::string dir = argv[2];
    Generator generator(std::atoi(argv[1]));
    for (int file = 0; file < FILES; ++file) {
        icalcomponent* calendar = generator.Calendar(CALENDARS[file]);
        for (int i = 0; i < ITEMS_PER_FILE; ++i)
            icalcomponent_add_component(calendar, generator.Item(file * ITEMS_PER_FILE + i));
        if (!write(dir + "/calendar-" + std::to_string(file) + ".ics", calendar)) return 1;
    }
    icalcomponent* calendar = generator.Calendar("Every second");
    icalcomponent_add_component(calendar, generator.Secondly());
    return write(dir + "/secondly.ics", calendar) ? 0 : 1;
}
