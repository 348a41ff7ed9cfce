// One series walked through libical's recurrence iterator within bounds: it starts near
// the span asked for (never at the series' first occurrence when it need not), libical is
// told to stop after the span, and no walk takes more than REPEAT_STEP_BUDGET steps of
// libical's iterator, whatever the rule.
#pragma once

#include "model/vrecurrence_weeks.h"
#include "model/vschedule.h"

#include <optional>
#include <string>

struct icalrecur_iterator_impl;

class SeriesWalk {
  public:
    // The occurrences of the series `rule` from `first` that lie from `from` to `until`
    // (both included; no `until`: as far as the budget reaches). The first occurrence
    // counts whether or not the rule matches it (as DTSTART does); an empty or unreadable
    // rule gives it alone.
    SeriesWalk(const std::string& rule, const VWhen& first, const VWhen& from,
               const std::optional<VWhen>& until);
    ~SeriesWalk();
    SeriesWalk(const SeriesWalk&) = delete;
    SeriesWalk& operator=(const SeriesWalk&) = delete;

    // The next occurrence, earliest first and each minute once (times are kept to the
    // minute, so a rule's seconds in one minute are one occurrence); none at the end.
    std::optional<VWhen> Next();
    // Set when the budget ended the walk: occurrences after this moment were not looked
    // for, though the series and the span go on.
    const std::optional<VWhen>& CutAfter() const { return cutAfter; }

  private:
    void stop(const std::optional<VWhen>& cut);

    VWhen first, from;
    std::optional<VWhen> until;
    icalrecur_iterator_impl* iterator = nullptr;
    int count = 0;                   // the rule's COUNT (0: none)
    int produced = 0;                // occurrences libical gave
    long steps = 0;                  // calls of libical's iterator
    bool firstPending = true;        // `first` not yet given
    std::optional<VWhen> last;       // the latest occurrence given
    std::optional<VWhen> reached;    // the latest moment libical gave
    std::optional<VWhen> budgetStop; // where libical stops to keep within the budget
    std::optional<VWhen> cutAfter;
    std::optional<ListedWeeks> weeks; // the rule's BYWEEKNO
};
