// The agenda: every occurrence of the items due in a span of days, each once, in due
// order, grouped relative to today. The window's Agenda view and `vantry --agenda` show
// this list.
#pragma once

#include "model/vschedule.h"

#include <string>
#include <vector>

class VCollection;
class VNode;

enum class AgendaGroup { Overdue, Today, Tomorrow, ThisWeek, Later };
// "Overdue", "Today", "Tomorrow", "This week", "Later".
const char* AgendaGroupTitle(AgendaGroup group);

struct AgendaEntry {
    VNode* node = nullptr;
    VWhen when;       // the occurrence (an action: its first day and start time)
    long lastDay = 0; // its last day (an action's span; else the same day)
    AgendaGroup group = AgendaGroup::Later;
    std::string text;   // the item's list text (short form), in the document's encoding
    std::string folder; // its folder path ("Home / Bills"), in the document's encoding
};

// An item whose occurrences in the span are not all listed: a repeat too frequent to list
// in full (MAX_LISTED_OCCURRENCES), or one whose rule takes more than the budget to
// expand (vrecurrence.h). Its occurrences after `after` are left out.
struct AgendaCut {
    VNode* node = nullptr;
    VWhen after;
};

struct Agenda {
    std::vector<AgendaEntry> entries;
    std::vector<AgendaCut> cut; // in list order
};

// Occurrences from `from` to `to` (days, both included) of every active item that is not
// done and has a due occurrence (actions with dates, items with a due day), and before
// them the items whose due occurrence lies before both `from` and `today` (Overdue).
// Ordered by day and time (a day without a time first), then by the items' list order.
// Groups by the occurrence's days: Overdue (its last day before today), Today (today
// among its days), Tomorrow, This week (up to Sunday; weeks start on Monday), Later.
Agenda BuildAgenda(const VCollection& collection, long from, long to, long today);
