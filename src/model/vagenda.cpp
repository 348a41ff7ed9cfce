#include "model/vagenda.h"

#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vseries.h"
#include "model/vzone.h"
#include "model/vtask.h"

#include <algorithm>

namespace {

AgendaGroup groupOf(long day, long lastDay, long today) {
    if (lastDay < today) return AgendaGroup::Overdue;
    if (day <= today) return AgendaGroup::Today;
    if (day == today + 1) return AgendaGroup::Tomorrow;
    long sunday = today + (7 - WeekdayOf(today)) % 7;
    return day <= sunday ? AgendaGroup::ThisWeek : AgendaGroup::Later;
}

// How many days an occurrence lasts: an action's duration, else one.
long daysOf(const VNode* node) {
    if (ScheduleKindOf(node) != ScheduleKind::Action) return 1;
    return std::max<long>(1, static_cast<const VTask*>(node)->duration);
}

} // namespace

const char* AgendaGroupTitle(AgendaGroup group) {
    static const char* const titles[] = {"Overdue", "Today", "Tomorrow", "This week", "Later"};
    return titles[(int)group];
}

Agenda BuildAgenda(const VCollection& collection, long from, long to, long today) {
    Agenda agenda;
    std::vector<AgendaEntry>& entries = agenda.entries;
    for (VNode* node = collection.root ? collection.root->next : nullptr; node; node = node->next) {
        if ((node->flags & DONE) || ScheduleKindOf(node) == ScheduleKind::None) continue;
        VSchedule schedule = ScheduleOf(collection, node);
        std::optional<VWhen> due = DueOf(node, schedule);
        if (!due || !node->IsActive()) continue;
        VWhen dueHere = ToLocal(*due, schedule.zone);
        long length = daysOf(node);
        std::vector<VWhen> found;
        // Each occurrence once: the due one before the span when it is overdue, then
        // those whose days meet the span.
        if (dueHere.day + length - 1 < std::min(from, today)) found.push_back(dueHere);
        OccurrenceList inSpan = SeriesOccurrences(schedule, *due, from - (length - 1), to);
        found.insert(found.end(), inSpan.found.begin(), inSpan.found.end());
        if (inSpan.cutAfter) agenda.cut.push_back({node, *inSpan.cutAfter});
        if (found.empty()) continue;

        qstring text, folder;
        node->Describe(text, true);
        if (node->parent) node->parent->FolderPath(folder);
        for (const VWhen& when : found) {
            long lastDay = when.day + length - 1;
            entries.push_back({node, when, lastDay, groupOf(when.day, lastDay, today), text.Text(),
                               folder.Text()});
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const AgendaEntry& a, const AgendaEntry& b) { return a.when < b.when; });
    return agenda;
}
