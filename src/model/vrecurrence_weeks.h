// The weeks a repeat rule's BYWEEKNO lists, numbered as RFC 5545 numbers them: weeks begin
// on the rule's WKST, and week 1 is the first with four or more days in the year. libical 3
// also gives days of week 53 in years that have only 52 (the days of the next year's week
// 1); those are no occurrences.
#pragma once

#include <libical/ical.h>

#include <vector>

class ListedWeeks {
  public:
    explicit ListedWeeks(const icalrecurrencetype& rule);
    // Whether the day lies in a listed week; every day does when the rule lists none.
    bool Holds(long day) const;

  private:
    std::vector<int> weeks; // as the rule lists them: 1..53, or -1 for the last, and on
    int weekStart = 1;      // 0 Sunday .. 6 Saturday
};
