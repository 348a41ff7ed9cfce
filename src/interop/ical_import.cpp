#include "interop/ical_import.h"

#include "foundation/control_escape.h"
#include "foundation/qfile.h"
#include "foundation/text_encoding.h"
#include "interop/comm_summary.h"
#include "interop/ical_bounds.h"
#include "interop/ical_content_lines.h"
#include "interop/ical_fields.h"
#include "interop/ical_schedule.h"
#include "interop/ical_uid.h"
#include "interop/ical_zones.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vrecurrence.h"
#include "model/vtask.h"
#include "model/vtodo.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// A content line longer than this is no calendar's: reading stops there.
constexpr std::size_t MAX_LINE = 1 << 20;

// An item as the file gives it, before anything in the document changes.
struct ParsedItem {
    std::string uid;
    std::string summary;
    std::string description;
    bool hasDescription = false;
    bool dated = false; // DTSTART: an action's days, with times of day when it has them
    long firstDay = 0;
    long lastDay = 0;
    std::optional<int> startMinute, endMinute;
    std::optional<VWhen> due;                 // DUE without DTSTART: when a to-do is due
    VZone zone;                               // of the times above: the start's, else the end's
    std::string unknownTzid;                  // a zone nobody defines, whose times float
    std::vector<VWhen> exceptions, additions; // EXDATE and RDATE, in the zone
    IcsScheduleParts schedule;
    bool done = false;
    std::optional<std::time_t> completedAt; // COMPLETED, the moment it was done
    std::string status;
    int priority = 0; // iCalendar's scale; 0 none
    int percent = -1;
    std::string kept;          // the properties and components we do not show, as iCalendar text
    std::size_t component = 0; // its number in the order the components begin
};

// A component for one occurrence of a series (RECURRENCE-ID): where the occurrence was,
// and the instance as an item of its own, for a series the document does not hold.
struct ParsedOverride {
    VWhen of;
    VZone ofZone;
    ParsedItem instance;
    std::string text; // the component as iCalendar text
};

struct Parsed {
    std::string calendarName;
    std::vector<ParsedItem> items;
    std::vector<ParsedOverride> overrides;
};

std::string take(char* text) {
    std::string s = text ? text : "";
    if (text) icalmemory_free_buffer(text);
    return s;
}

// Hands libical one physical line at a time (in pieces when it asks for less), so the
// number of the line being read is known when it reports a fault.
struct LineFeed {
    const char* data;
    std::size_t size;
    std::size_t position = 0;
    long line = 0; // of the piece handed out last
    bool atLineStart = true;
    std::size_t lineLength = 0;
    bool tooLong = false;

    static char* Next(char* out, std::size_t room, void* self) {
        auto* feed = (LineFeed*)self;
        if (feed->position >= feed->size || room < 2 || feed->tooLong) return nullptr;
        if (feed->atLineStart) {
            ++feed->line;
            feed->lineLength = 0;
        }
        const char* start = feed->data + feed->position;
        std::size_t left = feed->size - feed->position;
        const char* newline = (const char*)std::memchr(start, '\n', std::min(left, room - 1));
        std::size_t count = newline ? (std::size_t)(newline - start) + 1 : std::min(left, room - 1);
        std::memcpy(out, start, count);
        out[count] = '\0';
        feed->position += count;
        feed->atLineStart = newline != nullptr;
        feed->lineLength += count;
        if (feed->lineLength > MAX_LINE) {
            feed->tooLong = true;
            return nullptr;
        }
        return out;
    }
};

std::string quoteLine(const char* line) {
    std::string text(line, strnlen(line, 60));
    return "\"" + text + (std::strlen(text.c_str()) < std::strlen(line) ? "...\"" : "\"");
}

// The last day of a span and its end time: an all-day end is the day after the last; a
// timed end at midnight ends the day before, any other the day it is on at that time.
void endOf(const VWhen& end, long first, long& last, std::optional<int>& endMinute) {
    if (!end.minute || (*end.minute == 0 && end.day > first)) {
        last = end.day - 1;
        return;
    }
    last = end.day;
    endMinute = end.minute;
}

// A fault libical reports that loses nothing: RELATED-TO;VALUE=UID (RFC 9253) is a
// type it does not know, but it keeps the property, whose value is the UID either way.
bool harmlessFault(icalproperty* error) {
    const char* text = icalproperty_get_xlicerror(error);
    return text && !std::strncmp(text, "Invalid VALUE type for property RELATED-TO",
                                 std::strlen("Invalid VALUE type for property RELATED-TO"));
}

// A fault found in an item that stops the import (one libical reports on a line it
// still reads: a parameter without its value, a type the property cannot have).
bool stopsImport(icalproperty* error) {
    return !RejectedRule(error) && !harmlessFault(error);
}

bool validTodoStatus(icalproperty_status status) {
    return status == ICAL_STATUS_INPROCESS || status == ICAL_STATUS_CANCELLED;
}

// libical reads times it cannot write: past the year 3000 it writes 00000000, which it
// does not read again; and it takes a month or day that no calendar has (month 83), which
// turns into some other day, as far as past 3000. False (with the error) for such a one.
bool writable(icalproperty* p, icaltimetype time, std::string& error) {
    std::string kind = icalproperty_kind_to_string(icalproperty_isa(p));
    if (!icaltime_is_valid_time(time)) {
        error = kind + " lies past the year 3000: " + icaltime_as_ical_string(time);
        return false;
    }
    if (time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > icaltime_days_in_month(time.month, time.year) || time.hour > 23 ||
        time.minute > 59 || time.second > 60) {
        error = kind + " is no day of the calendar: " + icaltime_as_ical_string(time);
        return false;
    }
    return true;
}

// A date-time property's value with the zone it names.
struct ZonedValue {
    icaltimetype value = icaltime_null_time();
    ValueZone zone;
};

ZonedValue zonedValue(icalproperty* p, icalcomponent* component) {
    ZonedValue v;
    if (icalproperty_isa(p) == ICAL_RDATE_PROPERTY) {
        icaldatetimeperiodtype date = icalproperty_get_rdate(p);
        v.value = icalperiodtype_is_null_period(date.period) ? date.time : date.period.start;
        if (!v.value.is_date && !icaltime_is_utc(v.value))
            if (icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER))
                v.value.zone = icalcomponent_get_timezone(icalcomponent_get_parent(component),
                                                          icalparameter_get_tzid(tzid));
    } else {
        v.value = icalproperty_get_datetime_with_component(p, component);
    }
    v.zone = ZoneOfValue(p, v.value);
    return v;
}

// One VTODO or VEVENT. False (with the error) for a property libical could not read.
bool readItem(icalcomponent* component, ParsedItem& item, std::string& error) {
    icaltimetype start = icaltime_null_time(), end = icaltime_null_time();
    ValueZone startZone, endZone;
    std::vector<ZonedValue> exceptions, additions;
    bool hasStart = false, hasEnd = false, hasDuration = false, endIsDue = false;
    icaldurationtype duration = icaldurationtype_null_duration();
    std::string kept;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        switch (icalproperty_isa(p)) {
        case ICAL_XLICERROR_PROPERTY:
            // A repeat rule libical cannot read is kept as text (and never expanded).
            if (std::optional<std::string> rule = RejectedRule(p)) {
                item.schedule.rule = *rule;
                break;
            }
            if (harmlessFault(p)) break;
            error = icalproperty_get_xlicerror(p);
            return false;
        case ICAL_UID_PROPERTY:
            item.uid = UidAsWritten(icalproperty_get_uid(p));
            break;
        case ICAL_SUMMARY_PROPERTY:
            item.summary = icalproperty_get_summary(p);
            break;
        case ICAL_DESCRIPTION_PROPERTY:
            item.description = icalproperty_get_description(p);
            item.hasDescription = true;
            break;
        case ICAL_DTSTART_PROPERTY:
            start = icalproperty_get_datetime_with_component(p, component);
            startZone = ZoneOfValue(p, start);
            hasStart = true;
            if (!writable(p, start, error)) return false;
            break;
        case ICAL_DUE_PROPERTY:
        case ICAL_DTEND_PROPERTY:
            end = icalproperty_get_datetime_with_component(p, component);
            endZone = ZoneOfValue(p, end);
            hasEnd = true;
            endIsDue = icalproperty_isa(p) == ICAL_DUE_PROPERTY;
            if (!writable(p, end, error)) return false;
            break;
        case ICAL_DURATION_PROPERTY:
            duration = icalproperty_get_duration(p);
            hasDuration = true;
            break;
        case ICAL_STATUS_PROPERTY: {
            icalproperty_status status = icalproperty_get_status(p);
            item.done = item.done || status == ICAL_STATUS_COMPLETED;
            if (validTodoStatus(status)) item.status = icalproperty_status_to_string(status);
            break;
        }
        case ICAL_COMPLETED_PROPERTY: {
            icaltimetype completed = icalproperty_get_completed(p);
            if (!writable(p, completed, error)) return false;
            item.done = true;
            icaltimetype at = icalproperty_get_datetime_with_component(p, component);
            item.completedAt = MomentOf(at, ZoneOfValue(p, at).zone);
            break;
        }
        case ICAL_PRIORITY_PROPERTY:
            item.priority = icalproperty_get_priority(p);
            break;
        case ICAL_PERCENTCOMPLETE_PROPERTY:
            item.percent = icalproperty_get_percentcomplete(p);
            break;
        case ICAL_DTSTAMP_PROPERTY:
            break; // written anew at every export
        case ICAL_EXDATE_PROPERTY:
        case ICAL_RDATE_PROPERTY: {
            ZonedValue v = zonedValue(p, component);
            if (!writable(p, v.value, error)) return false;
            (icalproperty_isa(p) == ICAL_EXDATE_PROPERTY ? exceptions : additions).push_back(v);
            break;
        }
        default:
            if (!ReadScheduleProperty(p, item.schedule)) kept += PropertyLines(p);
            break;
        }
    }
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        if (!ReadReminder(c, item.schedule)) kept += take(icalcomponent_as_ical_string_r(c));
    if (!kept.empty()) item.kept = "BEGIN:VTODO\r\n" + kept + "END:VTODO\r\n";

    // The item's times are in the zone of its start (of its end, without one); the
    // others are moved into it.
    const ValueZone& itemZone = hasStart && !start.is_date ? startZone : endZone;
    item.zone = itemZone.zone;
    item.unknownTzid = hasStart ? startZone.unknownTzid : endZone.unknownTzid;
    if (item.unknownTzid.empty()) item.unknownTzid = endZone.unknownTzid;
    auto wall = [&](const icaltimetype& value, const ValueZone& zone) {
        return WallIn(value, zone.zone, item.zone);
    };
    for (const ZonedValue& v : exceptions)
        if (std::optional<VWhen> w = wall(v.value, v.zone)) item.exceptions.push_back(*w);
    for (const ZonedValue& v : additions)
        if (std::optional<VWhen> w = wall(v.value, v.zone)) item.additions.push_back(*w);
    std::optional<VWhen> from, to;
    if (hasStart) from = wall(start, startZone);
    if (hasEnd) to = wall(end, endZone);
    // A repeating to-do due when it starts is due then: the start is the series' first
    // occurrence, as the export writes it.
    if (from && to && endIsDue && *from == *to && !item.schedule.rule.empty()) from.reset();
    if (!from && to && !endIsDue) {
        // An event with an end alone lasts up to it: up to an all-day end is the day
        // before it, as it is for an event that starts.
        item.dated = true;
        endOf(*to, to->day - 1, item.lastDay, item.endMinute);
        item.firstDay = item.lastDay;
    } else if (from) {
        item.dated = true;
        item.firstDay = item.lastDay = from->day;
        item.startMinute = from->minute;
        if (!to && hasDuration) to = wall(icaltime_add(start, duration), startZone);
        if (to) endOf(*to, from->day, item.lastDay, item.endMinute);
        item.lastDay = std::max(item.lastDay, item.firstDay);
    } else {
        item.due = to;
    }
    return true;
}

// What the file calls the component ("VTODO"); libical has no name for a kind it does not
// know ("BEGIN:VFOO"), and `unknown` stands in for it.
std::string kindName(icalcomponent* component, const char* unknown) {
    const char* name = icalcomponent_kind_to_string(icalcomponent_isa(component));
    return name ? name : unknown;
}

// How many components the component is, with those inside it.
size_t componentCount(icalcomponent* component) {
    size_t count = 1;
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        count += componentCount(c);
    return count;
}

// Why an import stops, and which component is to blame: its number in the order the
// components begin in the file.
struct Fault {
    std::string error;
    size_t component = 0;
};

// The calendar is component number `index`; those inside it follow it in that order.
bool readCalendar(icalcomponent* calendar, size_t index, Parsed& parsed, Fault& fault) {
    if (icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT) {
        fault = {"the file holds a " + kindName(calendar, "component of unknown kind") +
                     " where a VCALENDAR belongs",
                 index};
        return false;
    }
    for (icalproperty* p = icalcomponent_get_first_property(calendar, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(calendar, ICAL_X_PROPERTY))
        if (!std::strcmp(icalproperty_get_x_name(p), "X-WR-CALNAME") &&
            parsed.calendarName.empty()) {
            // As text whatever VALUE it says (libical keeps VALUE=TEXT apart from get_x).
            const char* name = icalproperty_get_value_as_string(p);
            parsed.calendarName = name ? name : "";
        }
    size_t next = index + 1;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        size_t number = next;
        next += componentCount(c);
        icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind != ICAL_VTODO_COMPONENT && kind != ICAL_VEVENT_COMPONENT) continue;
        ParsedItem item;
        if (!readItem(c, item, fault.error)) {
            fault.component = number;
            return false;
        }
        // Named by its text, so that importing the same file again finds it.
        if (item.uid.empty()) item.uid = NameUid(take(icalcomponent_as_ical_string_r(c)));
        // Changed instances of a repeating item share its UID and go with it.
        if (icalproperty* id = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY)) {
            icaltimetype of = icalproperty_get_datetime_with_component(id, c);
            std::optional<VWhen> at = WallIn(of, {}, {});
            if (!at) {
                fault = {"RECURRENCE-ID is no day of the calendar", number};
                return false;
            }
            item.component = number;
            parsed.overrides.push_back({*at, ZoneOfValue(id, of).zone, std::move(item),
                                        take(icalcomponent_as_ical_string_r(c))});
            continue;
        }
        item.component = number;
        parsed.items.push_back(std::move(item));
    }
    return true;
}

struct ParserDeleter {
    void operator()(icalparser* p) const { icalparser_free(p); }
};
using Parser = std::unique_ptr<icalparser, ParserDeleter>;

// The lines to hand libical for one line of the file.
std::vector<std::string> readable(const char* line) {
    if (MayNeedRewrite(line)) return ReadableLines(line);
    return {line};
}

// Hands the line to the parser; answers its state after the last of its readable lines.
icalparser_state addLine(icalparser* parser, const char* line, icalcomponent*& done) {
    for (std::string& text : readable(line))
        if (icalcomponent* c = icalparser_add_line(parser, text.data())) done = c;
    return icalparser_get_state(parser);
}

// A repeat rule libical rejects leaves an error in the item, which keeps its text.
bool brokenLine(icalparser_state state, const char* line) {
    return state == ICALPARSER_ERROR && strncasecmp(line, "RRULE", 5) != 0;
}

// Whether libical, reading the line alone inside a to-do, finds a fault that stops an
// import. Lines that begin or end a component are none of this.
bool faultyAlone(const char* line) {
    Parser probe(icalparser_new());
    icalcomponent* done = nullptr;
    addLine(probe.get(), "BEGIN:VCALENDAR", done);
    addLine(probe.get(), "BEGIN:VTODO", done);
    icalparser_state state = addLine(probe.get(), line, done);
    if (state != ICALPARSER_IN_PROGRESS && state != ICALPARSER_ERROR) return false;
    if (brokenLine(state, line)) return true;
    addLine(probe.get(), "END:VTODO", done);
    addLine(probe.get(), "END:VCALENDAR", done);
    if (!done) return false;
    bool faulty = false;
    icalcomponent* todo = icalcomponent_get_first_component(done, ICAL_VTODO_COMPONENT);
    for (icalproperty* p = todo ? icalcomponent_get_first_property(todo, ICAL_XLICERROR_PROPERTY)
                                : nullptr;
         p && !faulty; p = icalcomponent_get_next_property(todo, ICAL_XLICERROR_PROPERTY))
        faulty = stopsImport(p);
    icalcomponent_free(done);
    return faulty;
}

// libical reports some faults inside the component without stopping at their line: the
// first line after `begin`, up to `end`, that shows the fault alone; `begin` itself
// when none does.
long faultyLine(const char* data, std::size_t size, long begin, long end) {
    Parser reader(icalparser_new());
    LineFeed feed{data, size};
    icalparser_set_gen_data(reader.get(), &feed);
    long nextStart = 1;
    while (char* line = icalparser_get_line(reader.get(), LineFeed::Next)) {
        long start = nextStart;
        nextStart = feed.line;
        bool found = start > begin && start <= end && faultyAlone(line);
        icalmemory_free_buffer(line);
        if (found) return start;
        if (start > end) break;
    }
    return begin;
}

// The components as the file begins and ends them, numbered in the order they begin
// (the order of a walk of the parsed calendars, each before what it holds).
struct Components {
    std::vector<long> begins, ends; // lines; 0: no END read
    struct Open {
        std::size_t number;
        std::string kind;
    };
    std::vector<Open> open;

    static std::string kindOf(const char* line) {
        const char* colon = std::strchr(line, ':');
        return colon ? colon + 1 : "";
    }
    void Begin(const char* line, long at) {
        open.push_back({begins.size(), kindOf(line)});
        begins.push_back(at);
        ends.push_back(0);
    }
    // False when the END names another kind than the innermost open component's: libical
    // would close that one with it.
    bool End(const char* line, long at) {
        if (open.empty()) return true;
        if (strcasecmp(kindOf(line).c_str(), open.back().kind.c_str()) != 0) return false;
        ends[open.back().number] = at;
        open.pop_back();
        return true;
    }
    std::string Unclosed() const {
        return "the " + open.back().kind + " that begins at line " +
               std::to_string(begins[open.back().number]) + " has no END";
    }
};

// Parses the whole text; false with the error and its line when any of it is broken.
bool parse(const std::string& bytes, Parsed& parsed, IcsImport& result) {
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    auto lineAt = [&](std::size_t offset) {
        return 1 + (long)std::count(data, data + offset, '\n');
    };
    if (const void* zero = std::memchr(data, '\0', size)) {
        result.line = lineAt((std::size_t)((const char*)zero - data));
        result.error = "line " + std::to_string(result.line) + " holds binary data, not text";
        return false;
    }
    std::size_t bad = 0;
    if (!IsUtf8(std::string_view(data, size), &bad)) {
        result.line = lineAt(bad);
        result.error = "line " + std::to_string(result.line) + " is not UTF-8 text";
        return false;
    }
    if (size >= 3 && !std::memcmp(data, "\xEF\xBB\xBF", 3)) data += 3, size -= 3;
    // Before libical sees it: nested too deep, the text would overflow the stack there.
    if (!WithinIcsBounds(std::string_view(data, size), result.line, result.error)) return false;

    ical_set_unknown_token_handling_setting(ICAL_ASSUME_IANA_TOKEN);
    icalerrorstate errorState = icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR);
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
    Parser parser(icalparser_new());
    LineFeed feed{data, size};
    icalparser_set_gen_data(parser.get(), &feed);
    std::vector<icalcomponent*> calendars;
    Components components;
    long nextStart = 1;
    bool failed = false;
    auto fail = [&](long line, std::string error) {
        failed = true;
        result.line = line;
        result.error = std::move(error);
    };
    while (char* line = icalparser_get_line(parser.get(), LineFeed::Next)) {
        // libical has read one line ahead, to see whether the next one continues this one.
        long start = nextStart;
        nextStart = feed.line;
        if (feed.tooLong) {
            icalmemory_free_buffer(line);
            break;
        }
        // A blank line (RFC 5545 has none, some programs write them between components)
        // says nothing, and libical's state is still that of the line before it.
        if (line[std::strspn(line, " \t\r\n")] == '\0') {
            icalmemory_free_buffer(line);
            continue;
        }
        icalcomponent* done = nullptr;
        icalparser_state state = addLine(parser.get(), line, done);
        if (brokenLine(state, line))
            fail(start,
                 "line " + std::to_string(start) + " is no iCalendar line: " + quoteLine(line));
        else if (state == ICALPARSER_BEGIN_COMP)
            components.Begin(line, start);
        else if ((state == ICALPARSER_END_COMP || state == ICALPARSER_SUCCESS) &&
                 !components.End(line, start))
            fail(components.begins[components.open.back().number],
                 components.Unclosed() + " (line " + std::to_string(start) + " ends a " +
                     Components::kindOf(line) + ")");
        icalmemory_free_buffer(line);
        if (done) calendars.push_back(done);
        if (failed) break;
    }
    if (!failed && feed.tooLong)
        fail(feed.line, "line " + std::to_string(feed.line) + " is longer than " +
                            std::to_string(MAX_LINE / (1 << 20)) + " MB");
    // What is still open when the text ends; the parser frees it.
    if (icalparser_clean(parser.get()) && !failed && !components.open.empty())
        fail(components.begins[components.open.back().number], components.Unclosed());
    if (!failed && calendars.empty()) fail(1, "no calendar (BEGIN:VCALENDAR) found from line 1 on");
    std::size_t number = 0;
    for (icalcomponent* calendar : calendars) {
        Fault fault;
        if (!failed) RestoreEmptyValues(calendar);
        if (!failed && !readCalendar(calendar, number, parsed, fault)) {
            if (fault.component < components.begins.size()) {
                long line = faultyLine(data, size, components.begins[fault.component],
                                       components.ends[fault.component]);
                fail(line, "line " + std::to_string(line) + ": " + fault.error);
            } else {
                fail(0, fault.error); // not reached: every component was begun by a line
            }
        }
        number += componentCount(calendar);
        icalcomponent_free(calendar);
    }
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, errorState);
    // A repeat the file asks for but no calendar can follow is kept as it came; the item
    // shows once, and the user is told, by the line the item begins at.
    for (const ParsedItem& item : parsed.items) {
        if (failed) break;
        std::string where = "line " + std::to_string(components.begins[item.component]) + ": \"" +
                            EscapeControls(item.summary, TextEncoding::Utf8) + "\" ";
        if (std::string fault = RuleFault(item.schedule.rule); !fault.empty())
            result.notes.push_back(where + "repeats by " + item.schedule.rule + ", " + fault +
                                   "; it shows once, on its first day");
        // A zone nobody defines: its times float, as the file's digits say them.
        if (!item.unknownTzid.empty())
            result.notes.push_back(where + "has times in the zone \"" +
                                   EscapeControls(item.unknownTzid, TextEncoding::Utf8) +
                                   "\", which neither the time-zone database nor the file "
                                   "defines; they are kept as floating times");
    }
    return !failed;
}

// Whether the text is longer than a text of the document can be.
bool tooLong(VCollection& c, const std::string& utf8) {
    return utf8.size() > (std::size_t)QFile::MAX_STRING &&
           c.EnteredUtf8(utf8).size() > (std::size_t)QFile::MAX_STRING;
}

// The text as the document stores it; a character its encoding lacks turns the document
// into UTF-8 first, so nothing is lost. One too long is cut after its last whole
// character that fits (the whole text goes into the item's extension fields).
qstring documentText(VCollection& c, const std::string& utf8) {
    std::string text = c.EnteredUtf8(utf8);
    if (text.size() > (std::size_t)QFile::MAX_STRING) {
        std::size_t end = QFile::MAX_STRING;
        if (c.textEncoding == TextEncoding::Utf8)
            while (end > 0 && ((unsigned char)text[end] & 0xC0) == 0x80)
                --end; // text[end] begins the first character left out
        text.resize(end);
    }
    return qstring(text.c_str());
}

VNode* importFolder(VCollection& c, const qstring& name) {
    for (VNode* node = c.root->next; node; node = node->next)
        if (node->parent == c.root && node->IsFolderKind() && !CompareText(node->name, name))
            return node;
    auto* folder = new VGroup(&c);
    folder->name = name;
    return c.Add(folder, c.root);
}

void setDone(VNode* node, bool done) {
    if (done)
        node->flags |= DONE;
    else
        node->flags &= ~DONE;
}

void applyTo(VNode* node, const ParsedItem& item) {
    if (auto* task = dynamic_cast<VTask*>(node)) {
        task->what = documentText(*node->collection, item.summary);
        // An action given only a due time takes it as its day.
        long first = item.dated ? item.firstDay : item.due ? item.due->day : 0;
        long last = item.dated ? item.lastDay : first;
        if (item.dated || item.due) {
            task->startDate = DayText(first).c_str();
            task->duration = (std::int32_t)(last - first + 1);
            task->flags &= ~NO_DATE;
        }
        task->priority = VantryPriority(item.priority);
        if (item.percent >= 0) task->completion = std::min(item.percent, 100);
    } else if (auto* todo = dynamic_cast<VTodo*>(node)) {
        todo->what = documentText(*node->collection, item.summary);
        todo->extra = documentText(*node->collection, item.description);
        todo->priority = VantryPriority(item.priority);
    } else if (auto* comm = dynamic_cast<VCommItem*>(node)) {
        SetCommListText(*comm, documentText(*node->collection, item.summary).Text());
        comm->priority = VantryPriority(item.priority);
    }
    setDone(node, item.done);
}

// The item's times, repeat and reminder; what the file does not tell (the day the last
// occurrence was done, the reminders shown) stays.
void applySchedule(VCollection& c, VNode* node, const ParsedItem& item) {
    VSchedule s = ScheduleOf(c, node);
    s.rule = item.schedule.rule;
    s.zone = item.zone;
    s.exceptions = item.exceptions;
    s.additions = item.additions;
    s.repeatFrom = item.schedule.repeatFrom;
    s.reminderMinutes = item.schedule.reminderMinutes;
    s.startMinute = item.dated ? item.startMinute : item.due ? item.due->minute : std::nullopt;
    s.endMinute = item.endMinute;
    // An item that cannot hold days of an action is due at the end of them.
    std::optional<VWhen> due = item.dated ? VWhen{item.lastDay, item.endMinute} : item.due;
    s.dueDay = due ? std::optional<long>(due->day) : std::nullopt;
    s.dueMinute = due ? due->minute : std::nullopt;
    SetSchedule(c, node, s); // keeps what the node's kind can carry
}

VExtensionFields extensionFields(VNode* node, const ParsedItem& item) {
    VExtensionFields fields;
    VCollection& c = *node->collection;
    fields[VExtensions::UID] = item.uid;
    fields[VExtensions::ICAL_KEPT] = item.kept;
    fields[VExtensions::ICAL_STATUS] = item.status;
    // A to-do holds its description itself.
    bool todo = dynamic_cast<VTodo*>(node) != nullptr;
    if (!todo) fields[VExtensions::ICAL_DESCRIPTION] = item.description;
    if ((todo || dynamic_cast<VTask*>(node)) && tooLong(c, item.summary))
        fields[ICAL_WHOLE_SUMMARY] = item.summary;
    if (todo && tooLong(c, item.description)) fields[ICAL_WHOLE_DESCRIPTION] = item.description;
    return fields;
}

} // namespace

// The item's fields, times and state as the file gives them.
void applyItem(VCollection& collection, VNode* node, const ParsedItem& item) {
    applyTo(node, item);
    VExtensionFields fields = extensionFields(node, item);
    // Fields of other features stay as they were.
    if (const VExtensionFields* old = collection.extensions.Find(node))
        for (const auto& [name, value] : *old)
            if (name != VExtensions::UID && name.compare(0, 5, "ical.") != 0)
                fields.emplace(name, value);
    collection.extensions.SetFields(node, std::move(fields));
    applySchedule(collection, node, item);
    // A done item the file does not say the moment of keeps the one it had.
    if (!item.done || item.completedAt) SetDoneAt(collection, node, item.completedAt);
}

VNode* newItem(VCollection& collection, const ParsedItem& item, VNode* folder) {
    VNode* node = item.dated ? (VNode*)new VTask(&collection) : (VNode*)new VTodo(&collection);
    collection.Add(node, folder);
    applyItem(collection, node, item);
    return node;
}

// One occurrence of the series changed by the calendar: moved to the instance's own time
// (in the series' zone), or cancelled; its component is kept to be written back. The
// same occurrence given again replaces what was known of it.
void addOverride(VCollection& collection, VNode* series, const ParsedOverride& o) {
    VSchedule s = ScheduleOf(collection, series);
    const ParsedItem& instance = o.instance;
    std::optional<VWhen> at =
        instance.dated ? VWhen{instance.firstDay, instance.startMinute} : instance.due;
    VMoved moved{WallBetween(o.of, o.ofZone, s.zone), std::nullopt};
    if (at && instance.status != "CANCELLED") moved.to = WallBetween(*at, instance.zone, s.zone);
    std::erase_if(s.moved, [&](const VMoved& m) { return m.from == moved.from; });
    s.moved.push_back(moved);
    SetSchedule(collection, series, s);
    std::string texts = collection.extensions.Field(series, VExtensions::ICAL_OVERRIDES);
    if (texts.find(o.text) == std::string::npos)
        collection.extensions.SetField(series, VExtensions::ICAL_OVERRIDES, texts + o.text);
}

IcsImport ImportICalendar(VCollection& collection, const std::string& bytes) {
    IcsImport result;
    Parsed parsed;
    if (!parse(bytes, parsed, result)) return result;

    std::unordered_map<std::string, VNode*> byUid;
    if (!collection.extensions.Empty())
        for (VNode* node = collection.root->next; node; node = node->next) {
            std::string uid = collection.extensions.Field(node, VExtensions::UID);
            if (!uid.empty()) byUid.emplace(uid, node);
        }
    qstring folderName = parsed.calendarName.empty()
                             ? qstring("Imported")
                             : documentText(collection, parsed.calendarName);
    for (const ParsedItem& item : parsed.items) {
        VNode*& node = byUid[item.uid];
        if (node) {
            ++result.updated;
            applyItem(collection, node, item);
        } else {
            if (!result.folder) result.folder = importFolder(collection, folderName);
            node = newItem(collection, item, result.folder);
            ++result.added;
        }
    }
    std::unordered_set<const VNode*> counted; // the series counted as added or updated
    for (const ParsedItem& item : parsed.items)
        counted.insert(byUid[item.uid]);
    for (const ParsedOverride& o : parsed.overrides) {
        VNode*& series = byUid[o.instance.uid];
        if (series) {
            addOverride(collection, series, o);
            if (counted.insert(series).second) ++result.updated;
            continue;
        }
        // An instance whose series the document does not hold becomes an item (its
        // RECURRENCE-ID kept with it), and the next of its series go with that one.
        if (!result.folder) result.folder = importFolder(collection, folderName);
        series = newItem(collection, o.instance, result.folder);
        counted.insert(series);
        ++result.added;
    }
    result.ok = true;
    return result;
}
