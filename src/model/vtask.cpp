#include "model/vtask.h"

#include "foundation/qfile.h"
#include "model/vcollection.h"
#include "model/vcontact.h"
#include "model/vdates.h"

#include <cstdint>
#include <cstring>

namespace {
const char* const DAY_NAMES[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
}

VTask::VTask(VCollection* collection) : VNode(collection) {
    name = "Task";
    tempFlags |= HAS_CHECKBOX | CAN_WAIT;
}

bool VTask::HasContact(const VContact* contact) const {
    for (const VContact* assignee : assignees)
        if (assignee == contact) return true;
    return false;
}

void VTask::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(what);
    for (std::int32_t& assigneeId : assigneeIds)
        file.Read32(assigneeId);
    file.Read32(priority);
    file.Read32(hoursOfWork);
    file.Read32(completion);
    file.ReadString(startDate);
    file.Read32(duration);
    file.Read32(reserved);
}

void VTask::PostLoad() {
    VNode::PostLoad();
    for (int i = 0; i < MAX_ASSIGNEES; ++i) {
        VNode* found = assigneeIds[i] ? collection->FindById(assigneeIds[i]) : nullptr;
        assignees[i] = found && !std::strcmp(found->TypeName(), "contact")
                           ? static_cast<VContact*>(found)
                           : nullptr;
    }
}

void VTask::Save(QFile& file) {
    for (int i = 0; i < MAX_ASSIGNEES; ++i)
        assigneeIds[i] = assignees[i] ? assignees[i]->id : 0;
    long at = BeginRecord(file, "TASK");
    file.WriteString(what);
    for (std::int32_t assigneeId : assigneeIds)
        file.Write32(assigneeId);
    file.Write32(priority);
    file.Write32(hoursOfWork);
    file.Write32(completion);
    file.WriteString(startDate);
    file.Write32(duration);
    file.Write32(reserved);
    EndRecord(file, at);
}

bool VTask::Matches(const qstring& upperText) const {
    return AnyContains(upperText, {&name, &what});
}

void VTask::ShiftDates(int days) {
    // An action without a readable date keeps its text rather than gaining a made-up one.
    QDate start;
    if (!ParseDate(startDate, start)) return;
    start.AddDays(days);
    startDate = DateText(start);
}

void VTask::ChangeDuration(int days) {
    long long changed = (long long)duration + days; // a stored duration can be anything
    if (changed > INT32_MAX) changed = INT32_MAX;
    duration = changed <= 0 ? 1 : (std::int32_t)changed;
}

bool VTask::Span(QDate& start, QDate& end) const {
    if (!ParseDate(startDate, start)) return false;
    end = start;
    end.AddDays(duration);
    return true;
}

void VTask::Describe(qstring& out, bool shortForm) const {
    out = what;
    if (!shortForm) {
        QDate start, end;
        if (flags & NO_DATE) {
            out += " [no date yet]";
        } else if (Span(start, end)) {
            out += " (";
            out += DAY_NAMES[start.DayOfWeek() >= 0 ? start.DayOfWeek() : 0];
            out += " ";
            out += collection->FormatDate(start);
            if (duration > 1) {
                end.AddDays(-1);
                out += " upto ";
                out += collection->FormatDate(end);
            }
            out += ")";
        }
    }
    if (!assignees[0]) return;
    out += " (";
    for (int i = 0; i < MAX_ASSIGNEES; ++i) {
        if (!assignees[i]) continue;
        if (i > 0) out += ", ";
        assignees[i]->AppendNamePart(out, shortForm);
    }
    out += ")";
}

bool VTask::ComesBefore(const VNode* other) const {
    if (int byContact = ContactSortOrder(other)) return byContact > 0;
    if (!std::strcmp(other->TypeName(), "task")) {
        auto* task = static_cast<const VTask*>(other);
        if (priority != task->priority) return priority > task->priority;
        int order = CompareText(startDate, task->startDate);
        if (order != 0) return order < 0;
        if (duration != task->duration) return duration < task->duration;
    }
    return NameBefore(other);
}

void VTask::ForgetContact(const VNode* contact) {
    int slot = 0;
    while (slot < MAX_ASSIGNEES && assignees[slot] != contact)
        ++slot;
    if (slot == MAX_ASSIGNEES) return;
    for (; slot + 1 < MAX_ASSIGNEES; ++slot)
        assignees[slot] = assignees[slot + 1];
    assignees[MAX_ASSIGNEES - 1] = nullptr;
}
