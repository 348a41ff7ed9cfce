// Extension records: data a node's own record has no field for (an exchange UID, the
// properties another calendar program gave an item, ...), kept as named fields in a
// record of its own tag written right after the node's record. Readers that know only
// the node kinds skip it by its length; a document that holds no such data writes none.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

class QFile;
class VNode;

// The fields of one node's record: name to value, both byte strings.
using VExtensionFields = std::map<std::string, std::string>;

// The extension fields of every node of one collection, by the node's serial number.
class VExtensions {
  public:
    // The record's tag. Its body: the number of the node it belongs to (the node's id
    // in the same file), then fields up to the record's end, each a name (16-bit count
    // and bytes) and a value (32-bit count and bytes), in name order.
    static constexpr char TAG[5] = "VEXT";

    // Names of the fields in use, so that every feature keeps to its own.
    static constexpr const char* UID = "uid"; // iCalendar UID
    // What an iCalendar import brought that the item's own fields cannot hold: the
    // properties and components this program does not show (as iCalendar text), a
    // description and a status other than done or to do. ical.completed is read only:
    // the completion time an earlier export or import kept before done.at did.
    static constexpr const char* ICAL_KEPT = "ical.kept";
    static constexpr const char* ICAL_DESCRIPTION = "ical.description";
    static constexpr const char* ICAL_COMPLETED = "ical.completed";
    static constexpr const char* ICAL_STATUS = "ical.status";
    // The components a calendar gave for single occurrences of the item (RECURRENCE-ID),
    // as iCalendar text, written back beside it.
    static constexpr const char* ICAL_OVERRIDES = "ical.overrides";
    // The schedule (model/vschedule.h): days "YYYY-MM-DD", times "HH:MM", minutes as
    // decimal text.
    static constexpr const char* DUE_DAY = "due.day";
    static constexpr const char* DUE_TIME = "due.time";
    static constexpr const char* START_TIME = "start.time"; // an action's first day
    static constexpr const char* END_TIME = "end.time";     // and its last
    static constexpr const char* REPEAT_RULE = "repeat.rule";
    static constexpr const char* REPEAT_FROM = "repeat.from"; // "done"; none: the due date
    // The zone of the times: a TZID ("UTC", "Europe/Berlin"); none: floating. With the
    // calendar's own VTIMEZONE text when the database does not hold it so.
    static constexpr const char* ZONE = "zone";
    static constexpr const char* ZONE_DEFINITION = "zone.definition";
    // Occurrences taken out of the series and added to it: "YYYY-MM-DD[THH:MM]" each,
    // separated by commas.
    static constexpr const char* REPEAT_EXCEPT = "repeat.except";
    static constexpr const char* REPEAT_ADD = "repeat.add";
    // Occurrences moved elsewhere or cancelled by a calendar: "FROM>TO" or "FROM>", each
    // a day or a day and time as above, separated by commas.
    static constexpr const char* REPEAT_MOVED = "repeat.moved";
    static constexpr const char* REMIND_BEFORE = "remind.before";
    static constexpr const char* DONE_DAY = "done.day";
    // The moment the item was ticked done, in UTC: "YYYY-MM-DDTHH:MM:SSZ".
    static constexpr const char* DONE_AT = "done.at";
    static constexpr const char* REMINDER_SHOWN = "remind.shown"; // "YYYY-MM-DD[THH:MM]"

    bool Empty() const { return byNode.empty(); }
    // The node's fields; null when it has none.
    const VExtensionFields* Find(const VNode* node) const;
    // One field's value; empty when the node does not have it.
    std::string Field(const VNode* node, const char* name) const;
    // Sets a field; an empty value removes it (and a node without fields has no record).
    void SetField(const VNode* node, const char* name, const std::string& value);
    void SetFields(const VNode* node, VExtensionFields fields);
    void Forget(const VNode* node);
    void Clear() { byNode.clear(); }

    // Writes the node's record (numbered `number`) when it has fields.
    void Write(QFile& file, const VNode* node, std::int32_t number) const {
        if (!byNode.empty()) writeRecord(file, node, number);
    }
    // Reads the body of one record, up to the file's read end: the node's number and
    // its fields. False for a body too short to name a node.
    static bool ReadBody(QFile& file, std::int32_t& number, VExtensionFields& fields);

  private:
    void writeRecord(QFile& file, const VNode* node, std::int32_t number) const;
    std::unordered_map<std::uint32_t, VExtensionFields> byNode;
};
