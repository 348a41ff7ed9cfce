// Reading iCalendar text back in tests, through libical: each VTODO's properties by name.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct ReadTodo {
    // Property name to its value as iCalendar writes it ("20100625" for a date);
    // a property given more than once has its values joined with "|".
    std::map<std::string, std::string> values;
    // Parameters, as "NAME;PARAM=VALUE" to the value.
    std::map<std::string, std::string> parameters;
    std::vector<std::string> components; // kinds of the components inside
    std::string text;                    // the VTODO as libical writes it
    std::string Get(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? "" : it->second;
    }
};

struct ReadCalendar {
    bool parsed = false;
    std::map<std::string, std::string> values; // the calendar's own properties
    std::vector<ReadTodo> todos;
    const ReadTodo* BySummary(const std::string& summary) const;
    const ReadTodo* ByUid(const std::string& uid) const;
};

ReadCalendar ReadICalendar(const std::string& text);

// The VTODOs of a calendar's text, each as the lines it has there but DTSTAMP (which
// every export writes anew), in any order: two exports of the same items compare equal.
std::multiset<std::string> TodoTexts(const std::string& text);
