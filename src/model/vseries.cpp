#include "model/vseries.h"

#include "model/vrecurrence_rule.h"
#include "model/vzone.h"

#include <algorithm>

namespace {

bool sameOccurrence(const VWhen& taken, const VWhen& when) {
    return taken.day == when.day && (!taken.minute || taken.minute == when.minute);
}

// An EXDATE of a day alone takes out that day's occurrences; one with a time, that one.
// An occurrence a calendar moved or cancelled is out where the rule puts it.
bool excepted(const VSchedule& s, const VWhen& when) {
    return std::any_of(s.exceptions.begin(), s.exceptions.end(),
                       [&](const VWhen& e) { return sameOccurrence(e, when); }) ||
           std::any_of(s.moved.begin(), s.moved.end(),
                       [&](const VMoved& m) { return sameOccurrence(m.from, when); });
}

// The additions that are not taken out, and the moved occurrences where they went (each
// an occurrence of its own, even at the time it was moved from).
std::vector<VWhen> added(const VSchedule& s) {
    std::vector<VWhen> all;
    for (const VWhen& one : s.additions)
        if (!excepted(s, one)) all.push_back(one);
    for (const VMoved& m : s.moved)
        if (m.to) all.push_back(*m.to);
    return all;
}

// The rule as it reads in the zone's wall time: an UNTIL given in UTC (as RFC 5545 wants
// it with a zoned start) becomes the zone's wall time of that moment, so the last
// occurrence is compared as the moment it is.
std::string ruleInZone(const VSchedule& s) {
    if (s.zone.Floating() || s.rule.find("UNTIL=") == std::string::npos) return s.rule;
    std::optional<icalrecurrencetype> r = ReadRule(s.rule);
    if (!r || r->until.is_date || !icaltime_is_utc(r->until)) return s.rule;
    std::optional<VWhen> wall =
        ZonedWall(icaltime_as_timet_with_zone(r->until, icaltimezone_get_utc_timezone()), s.zone);
    if (!wall) return s.rule;
    icaltimetype until = IcalTime(*wall);
    until.second = r->until.second;
    r->until = until;
    char* text = icalrecurrencetype_as_string_r(&*r);
    std::string result = text ? text : s.rule;
    icalmemory_free_buffer(text);
    return result;
}

// Wall-time occurrences on the zone's days `from` to `to`.
// Wall-time occurrences from the moment `from` to the moment `to` in the zone.
OccurrenceList wallOccurrences(const VSchedule& s, const std::string& rule, const VWhen& first,
                               const VWhen& from, const VWhen& to) {
    OccurrenceList list = OccurrencesBetween(rule, first, from, to);
    std::erase_if(list.found, [&](const VWhen& w) { return excepted(s, w); });
    for (const VWhen& one : added(s))
        if (!(one < from) && !(to < one) && !(list.cutAfter && *list.cutAfter < one))
            list.found.push_back(one);
    std::sort(list.found.begin(), list.found.end());
    list.found.erase(std::unique(list.found.begin(), list.found.end()), list.found.end());
    return list;
}

std::optional<VWhen> earlier(const std::optional<VWhen>& a, const std::optional<VWhen>& b) {
    if (!a) return b;
    if (!b) return a;
    return *b < *a ? b : a;
}

std::optional<VWhen> later(const std::optional<VWhen>& a, const std::optional<VWhen>& b) {
    if (!a) return b;
    if (!b) return a;
    return *a < *b ? b : a;
}

std::optional<VWhen> latestInZone(const VSchedule& s, const std::string& rule, const VWhen& first,
                                  const VWhen& at) {
    std::optional<VWhen> latest = LatestOccurrence(rule, first, at);
    // Each exception passed over costs one look further back; there are few.
    for (std::size_t passed = 0;
         latest && excepted(s, *latest) && passed <= s.exceptions.size() + s.moved.size();
         ++passed) {
        VWhen before = FloatingWhen(FloatingSeconds(*latest) - 60, !latest->minute);
        latest = before < first ? std::nullopt : LatestOccurrence(rule, first, before);
    }
    if (latest && excepted(s, *latest)) latest.reset();
    for (const VWhen& one : added(s))
        if (!(at < one)) latest = later(latest, one);
    return latest;
}

std::optional<VWhen> nextInZone(const VSchedule& s, const std::string& rule, const VWhen& first,
                                const VWhen& after) {
    std::optional<VWhen> next = NextOccurrence(rule, first, after);
    for (std::size_t passed = 0;
         next && excepted(s, *next) && passed <= s.exceptions.size() + s.moved.size(); ++passed)
        next = NextOccurrence(rule, first, *next);
    if (next && excepted(s, *next)) next.reset();
    for (const VWhen& one : added(s))
        if (after < one) next = earlier(next, one);
    return next;
}

} // namespace

OccurrenceList SeriesOccurrences(const VSchedule& s, const VWhen& first, long from, long to) {
    std::string rule = ruleInZone(s);
    VWhen dayStart{from, std::nullopt}, dayEnd{to, 24 * 60 - 1};
    if (s.zone.Floating() || !first.minute)
        return wallOccurrences(s, rule, first, dayStart, dayEnd);
    // The span's first and last minute here, as the zone's wall times: no more of the
    // series is walked than the span holds (a frequent rule's budget goes to the span).
    OccurrenceList wall =
        wallOccurrences(s, rule, first, FromLocal({from, 0}, s.zone), FromLocal(dayEnd, s.zone));
    OccurrenceList local;
    for (const VWhen& w : wall.found) {
        VWhen here = ToLocal(w, s.zone);
        if (here.day >= from && here.day <= to) local.found.push_back(here);
    }
    if (wall.cutAfter) local.cutAfter = ToLocal(*wall.cutAfter, s.zone);
    // A change of offset can turn two wall times into one local minute, or reorder them.
    std::sort(local.found.begin(), local.found.end());
    local.found.erase(std::unique(local.found.begin(), local.found.end()), local.found.end());
    return local;
}

std::optional<VWhen> SeriesNext(const VSchedule& s, const VWhen& first, const VWhen& after) {
    std::string rule = ruleInZone(s);
    VWhen from = FromLocal(after, s.zone);
    // Wall times that round back to `after` here (a repeated hour) are passed over.
    for (int tries = 0; tries < 4; ++tries) {
        std::optional<VWhen> next = nextInZone(s, rule, first, from);
        if (!next) return std::nullopt;
        VWhen here = ToLocal(*next, s.zone);
        if (after < here) return here;
        from = *next;
    }
    return std::nullopt;
}

std::optional<VWhen> SeriesLatest(const VSchedule& s, const VWhen& first, const VWhen& at) {
    std::optional<VWhen> latest = latestInZone(s, ruleInZone(s), first, FromLocal(at, s.zone));
    if (!latest) return std::nullopt;
    return ToLocal(*latest, s.zone);
}

std::optional<VWhen> NextInZone(const VSchedule& s, const VWhen& first, const VWhen& after) {
    return nextInZone(s, ruleInZone(s), first, after);
}

bool OccursInZone(const VSchedule& s, const VWhen& first, const VWhen& wall) {
    if (wall == first) return !excepted(s, first);
    VWhen before = FloatingWhen(FloatingSeconds(wall) - 60, !wall.minute);
    std::optional<VWhen> found = nextInZone(s, ruleInZone(s), first, before);
    return found && *found == wall;
}

std::optional<VWhen> LocalDueOf(const VNode* node, const VSchedule& schedule) {
    std::optional<VWhen> due = DueOf(node, schedule);
    if (due) due = ToLocal(*due, schedule.zone);
    return due;
}
