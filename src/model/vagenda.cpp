#include "model/vagenda.h"

#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vseries.h"
#include "model/vtask.h"
#include "model/vzone.h"

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
    // Each item's occurrences are gathered first and the entries made after, all in one
    // allocation: a year of a large document has hundreds of thousands of them, and a
    // growing list would copy them over and over.
    struct ItemOccurrences {
        VNode* node;
        long length;
        std::vector<VWhen> found;
        qstring text, folder;
    };
    std::vector<ItemOccurrences> items;
    std::size_t total = 0;
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

        ItemOccurrences& item = items.emplace_back(
            ItemOccurrences{node, length, std::move(found), qstring(), qstring()});
        node->Describe(item.text, true);
        if (node->parent) node->parent->FolderPath(item.folder);
        total += item.found.size();
    }

    std::vector<AgendaEntry>& entries = agenda.entries;
    entries.reserve(total);
    for (const ItemOccurrences& item : items)
        for (const VWhen& when : item.found) {
            long lastDay = when.day + item.length - 1;
            entries.push_back({item.node, when, lastDay, groupOf(when.day, lastDay, today),
                               item.text.Text(), item.folder.Text()});
        }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const AgendaEntry& a, const AgendaEntry& b) { return a.when < b.when; });
    return agenda;
}
