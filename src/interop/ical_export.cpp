#include "interop/ical_export.h"

#include "foundation/text_encoding.h"
#include "interop/ical_bounds.h"
#include "interop/ical_content_lines.h"
#include "interop/ical_fields.h"
#include "interop/ical_schedule.h"
#include "interop/ical_uid.h"
#include "interop/ical_zones.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vdays.h"
#include "model/vrecurrence.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "model/vzone.h"

#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

// A libical string result, freed after copying.
std::string take(char* text) {
    std::string s = text ? text : "";
    if (text) icalmemory_free_buffer(text);
    return s;
}

// A text of the node's document as UTF-8, whichever encoding the document keeps.
std::string utf8(const VNode& owner, const qstring& text) {
    return TextToUtf8(text.Text(), owner.collection->textEncoding);
}

void addLine(std::string& to, const char* label, const std::string& value) {
    if (value.empty()) return;
    if (!to.empty()) to += "\n";
    to += label;
    to += value;
}

// The item's other fields, one labelled line each.
std::string actionDescription(const VTask& task) {
    std::string text, assignees;
    for (const VContact* contact : task.assignees) {
        if (!contact) continue;
        if (!assignees.empty()) assignees += ", ";
        assignees += utf8(*contact, contact->firstName);
        if (!contact->lastName.IsEmpty()) assignees += " " + utf8(*contact, contact->lastName);
    }
    addLine(text, "Assigned to: ", assignees);
    if (task.hoursOfWork) addLine(text, "Hours of work: ", std::to_string(task.hoursOfWork));
    return text;
}

std::string commDescription(const VCommItem& item, const char* detailLabel) {
    std::string text;
    addLine(text, "Who: ", utf8(item, item.who));
    addLine(text, "Reason: ", utf8(item, item.reason));
    addLine(text, detailLabel, utf8(item, item.detail));
    if (auto* pay = dynamic_cast<const VPay*>(&item))
        addLine(text, "Account: ", utf8(*pay, pay->account));
    return text;
}

icaltimetype dateValue(long day) {
    icaltimetype t = icaltime_null_date();
    CalendarDay(day, t.year, t.month, t.day);
    return t;
}

// The lines of one property as libical writes them (folded, CR LF ended), none for no
// property; the property is freed.
std::string lines(icalproperty* property) {
    if (!property) return {};
    std::string text = PropertyLines(property);
    icalproperty_free(property);
    return text;
}

// What an exported item's VTODO says before its times: none for a kind that is not
// exported.
struct ItemFields {
    bool exported = false;
    std::string summary, description;
    int priority = 1;
    const VTask* task = nullptr;
};

// The whole text an import kept beside the item's cut one, while the item's text is still
// the start of it; else the item's text.
std::string wholeText(const VNode& node, const char* field, const std::string& own) {
    std::string whole = node.collection->extensions.Field(&node, field);
    return whole.size() > own.size() && whole.compare(0, own.size(), own) == 0 ? whole : own;
}

ItemFields itemFields(const VNode& node) {
    ItemFields f;
    f.exported = true;
    if ((f.task = dynamic_cast<const VTask*>(&node))) {
        f.summary = wholeText(node, ICAL_WHOLE_SUMMARY, utf8(node, f.task->what));
        f.description = actionDescription(*f.task);
        f.priority = f.task->priority;
    } else if (auto* todo = dynamic_cast<const VTodo*>(&node)) {
        f.summary = wholeText(node, ICAL_WHOLE_SUMMARY, utf8(node, todo->what));
        f.description = wholeText(node, ICAL_WHOLE_DESCRIPTION, utf8(node, todo->extra));
        f.priority = todo->priority;
    } else if (auto* comm = dynamic_cast<const VCommItem*>(&node)) {
        qstring listText;
        comm->Describe(listText, false);
        f.summary = utf8(node, listText);
        f.description = commDescription(*comm, dynamic_cast<const VPay*>(comm)    ? "Amount: "
                                               : dynamic_cast<const VMail*>(comm) ? "Address: "
                                                                                  : "Phone: ");
        f.priority = comm->priority;
    } else {
        f.exported = false;
    }
    if (f.exported && f.description.empty())
        f.description = node.collection->extensions.Field(&node, VExtensions::ICAL_DESCRIPTION);
    return f;
}

bool isExported(const VNode* node) {
    return dynamic_cast<const VTask*>(node) || dynamic_cast<const VTodo*>(node) ||
           dynamic_cast<const VCommItem*>(node);
}

// An exported item without a UID, named for DeriveUids: the document (its file's name),
// the folder's name, the kind and the list text; then the rest of what its VTODO shows
// (the extension fields but the UID and the completion time an export stamps).
UidCandidate uidCandidate(const VCollection& c, const std::string& document, const VNode* node) {
    ItemFields f = itemFields(*node);
    UidCandidate candidate{node, document, f.description};
    for (const std::string& part :
         {std::string(node->parent ? node->parent->name.Text() : ""),
          std::string(node->TypeName()), f.summary})
        candidate.name += '\0' + part;
    candidate.details += '\0' + std::to_string(f.priority) + '/' + std::to_string(node->flags);
    if (f.task)
        candidate.details += '/' + std::string(f.task->startDate.Text()) + '/' +
                             std::to_string(f.task->duration) + '/' +
                             std::to_string(f.task->completion);
    if (const VExtensionFields* fields = c.extensions.Find(node))
        for (const auto& [name, value] : *fields)
            if (name != VExtensions::UID && name != VExtensions::ICAL_COMPLETED)
                candidate.details += '\0' + name + '=' + value;
    return candidate;
}

// Writes the VTODOs. Every line comes from libical; lines that repeat across items (the
// time stamp, priorities, states, days, folders) are written by it once per export.
class Exporter {
  public:
    Exporter(VCollection& c, IcsExport& r) : collection(c), result(r) {
        icaltimetype now =
            icaltime_from_timet_with_zone(std::time(nullptr), 0, icaltimezone_get_utc_timezone());
        stampLine = lines(icalproperty_new_dtstamp(now));
        icalcomponent* empty = icalcomponent_new(ICAL_VTODO_COMPONENT);
        std::string frame = take(icalcomponent_as_ical_string_r(empty));
        icalcomponent_free(empty);
        std::size_t split = frame.find("\r\n") + 2; // "BEGIN:VTODO\r\n" | "END:VTODO\r\n"
        begin = frame.substr(0, split);
        end = frame.substr(split);
    }

    void Item(VNode* node, bool newUid) {
        ItemFields fields = itemFields(*node);
        if (!fields.exported) return; // folders, contacts, reference items
        const std::string& summary = fields.summary;
        const std::string& description = fields.description;
        const VTask* task = fields.task;
        const int priority = fields.priority;
        const VExtensions& ext = collection.extensions;

        std::string& out = result.text;
        out += begin;
        bool assigned = newUid;
        out += lines(icalproperty_new_uid(ext.Field(node, VExtensions::UID).c_str()));
        out += stampLine;
        // An untitled item has an empty SUMMARY, which the import reads back as such.
        out += lines(icalproperty_new_summary(summary.c_str()));
        if (!description.empty()) out += lines(icalproperty_new_description(description.c_str()));
        VSchedule schedule = ScheduleOf(collection, node);
        long first = 0;
        if (task && !(task->flags & NO_DATE) && ParseDayText(task->startDate.Text(), first)) {
            long days = task->duration > 0 ? task->duration : 1;
            if (schedule.startMinute || schedule.endMinute) {
                out += timedSpan(first, days, schedule);
                useZone(schedule.zone);
            } else {
                out += cached(dayLines, first,
                              [&] { return icalproperty_new_dtstart(dateValue(first)); });
                // The day after the last: DUE is later than DTSTART, as an all-day end is.
                out += cached(dueLines, first + days,
                              [&] { return icalproperty_new_due(dateValue(first + days)); });
            }
        } else if (schedule.dueDay) {
            VWhen due{*schedule.dueDay, schedule.dueMinute};
            // A repeat counts from DTSTART (RFC 5545 wants one with RRULE): the first
            // occurrence, due when it starts; the import reads the pair back as a due day.
            if (RuleReadable(schedule.rule))
                out += lines(ZonedProperty(ICAL_DTSTART_PROPERTY, due, schedule.zone));
            out += lines(ZonedProperty(ICAL_DUE_PROPERTY, due, schedule.zone));
            if (due.minute) useZone(schedule.zone);
        }
        if (task && task->completion)
            out += cached(percentLines, task->completion,
                          [&] { return icalproperty_new_percentcomplete(task->completion); });
        int level = IcalPriority(priority);
        out += cached(priorityLines, level, [&] { return icalproperty_new_priority(level); });
        if (node->flags & DONE) {
            out += cached(textLines, "S:COMPLETED",
                          [] { return icalproperty_new_status(ICAL_STATUS_COMPLETED); });
            if (std::optional<std::time_t> when = completedAt(node, schedule))
                out += cached(completedLines, *when,
                              [&] { return icalproperty_new_completed(UtcValue(*when)); });
        } else {
            std::string status = ext.Field(node, VExtensions::ICAL_STATUS);
            out += cached(textLines, "S:" + status, [&] {
                return icalproperty_new_status(status.empty()
                                                   ? ICAL_STATUS_NEEDSACTION
                                                   : icalproperty_string_to_status(status.c_str()));
            });
        }
        out += ScheduleLines(schedule, !task, summary);
        for (const VWhen& when : schedule.exceptions)
            out += lines(ZonedProperty(ICAL_EXDATE_PROPERTY, when, exceptionZone(when, schedule)));
        for (const VWhen& when : schedule.additions)
            out += lines(ZonedProperty(ICAL_RDATE_PROPERTY, when, exceptionZone(when, schedule)));
        bool keptCategories = addKept(ext.Field(node, VExtensions::ICAL_KEPT), schedule);
        // The item's own folder, by its name: the whole path would make every item's
        // line as long as its folder is deep, and 20,000 nested folders minutes and a
        // gigabyte of text. A folder without a name gives no CATEGORIES.
        if (!keptCategories && node->parent && node->parent != collection.root)
            out += cached(folderLines, (const VNode*)node->parent, [&] {
                std::string text = utf8(*node, node->parent->name);
                return text.empty() ? nullptr : icalproperty_new_categories(text.c_str());
            });
        out += end;
        addOverrides(ext.Field(node, VExtensions::ICAL_OVERRIDES), schedule);
        ++result.items;
        if (assigned) ++result.newIdentities;
    }

    // The VTIMEZONE of each zone the items' times were written in, in the order of use.
    std::string ZoneDefinitions() const {
        std::string text;
        for (const VZone& zone : zones)
            text += ZoneDefinitionText(zone);
        return text;
    }

  private:
    void useZone(const VZone& zone) {
        if (!zone.Floating() && std::find(zones.begin(), zones.end(), zone) == zones.end())
            zones.push_back(zone);
    }

    // An exception or addition is written in the series' zone (a day alone in none).
    VZone exceptionZone(const VWhen& when, const VSchedule& schedule) {
        if (!when.minute) return VZone();
        useZone(schedule.zone);
        return schedule.zone;
    }

    template <class Key, class Make>
    const std::string& cached(std::unordered_map<Key, std::string>& cache, const Key& key,
                              Make make) {
        auto [it, fresh] = cache.try_emplace(key);
        if (fresh) it->second = lines(make());
        return it->second;
    }
    template <class Make>
    const std::string& cached(std::unordered_map<std::string, std::string>& cache, const char* key,
                              Make make) {
        return cached(cache, std::string(key), make);
    }

    // When a done item was done. An item ticked done keeps the moment; one from an
    // earlier export or import has it as iCalendar text. One done before either has none
    // and gets a moment its own days give, the day its last repeat was done or else its
    // due day at 00:00 UTC, so that every export writes the same; with neither there is
    // nothing to tell, and no COMPLETED (its STATUS says it is done).
    std::optional<std::time_t> completedAt(const VNode* node, const VSchedule& schedule) const {
        if (std::optional<std::time_t> at = DoneAt(collection, node)) return at;
        std::string kept = collection.extensions.Field(node, VExtensions::ICAL_COMPLETED);
        icaltimetype value = icaltime_from_string(kept.c_str());
        if (!kept.empty() && !icaltime_is_null_time(value) && icaltime_is_valid_time(value))
            return MomentOf(value, VZone());
        std::optional<long> day = schedule.doneDay;
        if (!day)
            if (std::optional<VWhen> due = DueOf(node, schedule)) day = due->day;
        if (!day) return std::nullopt;
        return MomentOf(IcalWhen({*day, 0}), VZone()); // a floating midnight, taken as UTC
    }

    // An action's days with times of day: from the start time (or midnight) on the first
    // day to the end time on the last (or the midnight after it). An end at the start (an
    // event of no length, a to-do due as it starts) stays there, but for a repeating item,
    // whose DUE equal to DTSTART the import reads as a to-do due when it starts.
    static std::string timedSpan(long first, long days, const VSchedule& s) {
        VWhen start{first, s.startMinute.value_or(0)};
        VWhen due{first + days - 1, s.endMinute};
        if (!s.endMinute || due < start || (due == start && RuleReadable(s.rule)))
            due = {first + days, 0};
        return lines(ZonedProperty(ICAL_DTSTART_PROPERTY, start, s.zone)) +
               lines(ZonedProperty(ICAL_DUE_PROPERTY, due, s.zone));
    }

    // Puts back what an earlier import kept of the item: properties and components this
    // program does not show, as libical writes them, but no repeat rule where the item's
    // own schedule has one (two would repeat it twice over; other alarms beside its
    // reminder are fine). Answers whether CATEGORIES was among them.
    bool addKept(const std::string& kept, const VSchedule& schedule) {
        long line = 0;
        std::string error;
        // The document file may come from anyone: nested too deep, libical would overflow
        // the stack on it.
        if (kept.empty() || !WithinIcsBounds(kept, line, error)) return false;
        icalcomponent* holder = ParseICalendarText(kept);
        if (!holder) return false;
        if (!schedule.rule.empty()) removeAll(holder, ICAL_RRULE_PROPERTY);
        bool categories = icalcomponent_get_first_property(holder, ICAL_CATEGORIES_PROPERTY);
        // Property by property, as libical writes a component, so that categories are
        // written as they are.
        for (icalproperty* p = icalcomponent_get_first_property(holder, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(holder, ICAL_ANY_PROPERTY))
            result.text += PropertyLines(p);
        for (icalcomponent* c = icalcomponent_get_first_component(holder, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(holder, ICAL_ANY_COMPONENT))
            result.text += take(icalcomponent_as_ical_string_r(c));
        icalcomponent_free(holder);
        return categories;
    }

    // Puts back the components a calendar gave for single occurrences of the item, as
    // to-dos like the item itself (RFC 5545 wants one kind per UID): an event's DTEND
    // becomes DUE. Their zones' VTIMEZONEs go with the calendar.
    void addOverrides(const std::string& texts, const VSchedule& schedule) {
        long line = 0;
        std::string error;
        std::string calendarText = "BEGIN:VCALENDAR\r\n" + texts + "END:VCALENDAR\r\n";
        if (texts.empty() || !WithinIcsBounds(calendarText, line, error)) return;
        icalcomponent* calendar = ParseICalendarText(calendarText); // empty values kept
        if (!calendar) return;
        for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            std::string& out = result.text;
            out += begin;
            if (!icalcomponent_get_first_property(c, ICAL_DTSTAMP_PROPERTY)) out += stampLine;
            for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
                 p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
                useZoneOf(p, schedule);
                if (icalproperty_isa(p) == ICAL_XLICERROR_PROPERTY) continue;
                if (icalproperty_isa(p) != ICAL_DTEND_PROPERTY) {
                    out += PropertyLines(p);
                    continue;
                }
                icalproperty* due = icalproperty_new_due(icalproperty_get_dtend(p));
                if (icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER))
                    icalproperty_add_parameter(due, icalparameter_new_clone(tzid));
                out += lines(due);
            }
            for (icalcomponent* inner = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT);
                 inner; inner = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
                out += take(icalcomponent_as_ical_string_r(inner));
            out += end;
        }
        icalcomponent_free(calendar);
    }

    // The zone a property's TZID names, when it is the item's or one of the database.
    void useZoneOf(icalproperty* p, const VSchedule& schedule) {
        icalparameter* parameter = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
        const char* tzid = parameter ? icalparameter_get_tzid(parameter) : nullptr;
        if (!tzid) return;
        if (schedule.zone.tzid == tzid)
            useZone(schedule.zone);
        else if (DatabaseZoneName(tzid) == tzid)
            useZone({tzid, ""});
    }

    static void removeAll(icalcomponent* holder, icalproperty_kind kind) {
        while (icalproperty* p = icalcomponent_get_first_property(holder, kind)) {
            icalcomponent_remove_property(holder, p);
            icalproperty_free(p);
        }
    }

    VCollection& collection;
    IcsExport& result;
    std::string stampLine, begin, end;
    std::unordered_map<long, std::string> dayLines, dueLines;
    std::unordered_map<int, std::string> percentLines, priorityLines;
    std::unordered_map<std::time_t, std::string> completedLines;
    std::unordered_map<std::string, std::string> textLines;
    std::unordered_map<const VNode*, std::string> folderLines;
    std::vector<VZone> zones;
};

} // namespace

std::string CalendarName(const VCollection& collection, const VNode* folder) {
    if (folder && folder != collection.root) {
        qstring title;
        folder->FolderTitle(title);
        return TextToUtf8(title.Text(), collection.textEncoding);
    }
    std::string name = collection.fileName.Text();
    std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    // File names are bytes; one that is no UTF-8 reads as the document's code page.
    return IsUtf8(name) ? name : TextToUtf8(name, TextEncoding::Windows1252);
}

std::unordered_set<const VNode*> GiveItemUids(VCollection& collection,
                                             const std::vector<VNode*>& nodes) {
    std::unordered_set<const VNode*> given;
    VExtensions& ext = collection.extensions;
    auto lacksUid = [&](const VNode* node) {
        return isExported(node) && ext.Field(node, VExtensions::UID).empty();
    };
    if (std::none_of(nodes.begin(), nodes.end(), lacksUid)) return given;
    // Derived over the whole document, whatever part is exported, so that a folder's
    // export and the whole document's agree.
    std::string document = CalendarName(collection, collection.root);
    std::vector<UidCandidate> candidates;
    std::unordered_set<std::string> inUse;
    for (VNode* node = collection.root->next; node; node = node->next) {
        if (lacksUid(node))
            candidates.push_back(uidCandidate(collection, document, node));
        else if (std::string uid = ext.Field(node, VExtensions::UID); !uid.empty())
            inUse.insert(std::move(uid));
    }
    std::unordered_map<const VNode*, std::string> uids =
        DeriveUids(candidates, std::move(inUse));
    for (VNode* node : nodes) {
        auto it = uids.find(node);
        if (it == uids.end() || !ext.Field(node, VExtensions::UID).empty()) continue;
        ext.SetField(node, VExtensions::UID, it->second);
        given.insert(node);
    }
    return given;
}

std::vector<VNode*> AllNodes(const VCollection& collection) {
    std::vector<VNode*> nodes;
    for (VNode* node = collection.root->next; node; node = node->next)
        nodes.push_back(node);
    return nodes;
}

std::vector<VNode*> ShownNodes(const VNode* folder) {
    std::vector<VNode*> nodes;
    for (VNode* node = folder->nextShown; node; node = node->nextShown)
        nodes.push_back(node);
    return nodes;
}

IcsExport ExportICalendar(VCollection& collection, const std::vector<VNode*>& nodes,
                          const std::string& calendarName, const std::function<bool()>& abandon) {
    IcsExport result;
    icalcomponent* calendar = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(calendar, icalproperty_new_prodid(ICAL_PRODID));
    icalcomponent_add_property(calendar, icalproperty_new_version("2.0"));
    if (!calendarName.empty()) {
        icalproperty* name = icalproperty_new_x(calendarName.c_str());
        icalproperty_set_x_name(name, "X-WR-CALNAME");
        icalcomponent_add_property(calendar, name);
    }
    // libical writes the calendar's own lines; the items go in before its END, each
    // written once instead of the whole tree at the end.
    std::string frame = take(icalcomponent_as_ical_string_r(calendar));
    icalcomponent_free(calendar);
    const std::string end = "END:VCALENDAR\r\n";
    std::size_t endAt = frame.rfind(end);
    // Room for a typical item per node, asked once: pages not written never take memory,
    // while growing step by step would hold the old text and its copy at once.
    result.text.reserve(frame.size() + nodes.size() * 256);
    result.text.append(frame, 0, endAt);
    const std::size_t itemsAt = result.text.size();
    std::unordered_set<const VNode*> given = GiveItemUids(collection, nodes);
    Exporter exporter(collection, result);
    for (VNode* node : nodes) {
        if (abandon && abandon()) {
            result.abandoned = true;
            return result;
        }
        exporter.Item(node, given.count(node) > 0);
    }
    // The zones are known once the items are written, but go before them: readers that look
    // a TZID up as they meet it (python3-icalendar 4.0) would take its times as floating.
    result.text.insert(itemsAt, exporter.ZoneDefinitions());
    result.text += end;
    return result;
}
