// The calendar objects a CalDAV collection holds (one VCALENDAR per item), read and changed
// through libical.
#pragma once

#include <string>
#include <vector>

// The UID of the object's first to-do or event; empty when the text is no calendar or it
// holds none.
std::string ObjectUid(const std::string& ics);
// Its SUMMARY (UTF-8); empty without one.
std::string ObjectSummary(const std::string& ics);
// The object with another UID and the mark appended to its SUMMARY: a conflict's copy.
std::string MarkedCopy(const std::string& ics, const std::string& uid, const std::string& mark);
// One VCALENDAR holding the components of all the objects (named by X-WR-CALNAME when the
// name is not empty), for one import.
std::string CombinedCalendar(const std::vector<const std::string*>& objects,
                             const std::string& name);
