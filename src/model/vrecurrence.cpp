#include "model/vrecurrence.h"

#include "model/vrecurrence_rule.h"
#include "model/vrecurrence_walk.h"

#include <cstdlib>

bool RuleReadable(const std::string& rule) {
    return ReadRule(rule).has_value();
}

std::string RuleFault(const std::string& rule) {
    return rule.empty() ? "" : FaultOf(ParseRule(rule));
}

OccurrenceList Occurrences(const std::string& rule, const VWhen& first, long from, long to) {
    return OccurrencesBetween(rule, first, {from, std::nullopt}, VWhen{to, 24 * 60 - 1});
}

OccurrenceList OccurrencesBetween(const std::string& rule, const VWhen& first, const VWhen& from,
                                  const VWhen& to) {
    OccurrenceList list;
    SeriesWalk walk(rule, first, from, to);
    while (std::optional<VWhen> when = walk.Next()) {
        if (list.found.size() == MAX_LISTED_OCCURRENCES) {
            list.cutAfter = list.found.back();
            return list;
        }
        list.found.push_back(*when);
    }
    list.cutAfter = walk.CutAfter();
    return list;
}

std::optional<VWhen> NextOccurrence(const std::string& rule, const VWhen& first,
                                    const VWhen& after) {
    SeriesWalk walk(rule, first, after, std::nullopt);
    while (std::optional<VWhen> when = walk.Next())
        if (after < *when) return when;
    return std::nullopt;
}

std::optional<VWhen> LatestOccurrence(const std::string& rule, const VWhen& first,
                                      const VWhen& at) {
    if (at < first) return std::nullopt;
    // Spans back from `at` growing eightfold from an hour: a frequent rule is settled in a
    // short one (within the budget), a rare one in a few more; the last reaches the first
    // occurrence, which always counts.
    for (long long span = 3600;; span *= 8) {
        VWhen from = FloatingWhen(FloatingSeconds(at) - span, false);
        if (from < first) from = first;
        SeriesWalk walk(rule, first, from, at);
        std::optional<VWhen> latest;
        while (std::optional<VWhen> when = walk.Next())
            latest = when;
        if (latest || from == first) return latest;
    }
}

std::string RuleAfterOneOccurrence(const std::string& rule) {
    std::optional<icalrecurrencetype> r = ReadRule(rule);
    if (!r || r->count <= 1) return rule;
    --r->count;
    char* text = icalrecurrencetype_as_string_r(&*r);
    std::string result = text ? text : rule;
    icalmemory_free_buffer(text);
    return result;
}

std::optional<RuleParts> ReadRuleParts(const std::string& rule) {
    std::optional<icalrecurrencetype> read = ReadRule(rule);
    if (!read) return std::nullopt;
    RuleParts parts;
    char* text = icalrecurrencetype_as_string_r(&*read);
    parts.text = text ? text : "";
    std::free(text);
    parts.count = read->count;
    if (!icaltime_is_null_time(read->until)) {
        parts.untilDay = WhenOf(read->until).day;
        parts.untilTimed = !read->until.is_date;
    }
    return parts;
}
