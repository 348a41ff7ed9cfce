#include "interop/ical_reading.h"

#include <libical/ical.h>

namespace {

std::string take(char* text) {
    std::string s = text ? text : "";
    if (text) icalmemory_free_buffer(text);
    return s;
}

std::string name(icalproperty* p) {
    const char* x = icalproperty_isa(p) == ICAL_X_PROPERTY ? icalproperty_get_x_name(p) : nullptr;
    return x ? x : icalproperty_kind_to_string(icalproperty_isa(p));
}

void add(std::map<std::string, std::string>& values, const std::string& key,
         const std::string& value) {
    auto [it, fresh] = values.emplace(key, value);
    if (!fresh) it->second += "|" + value;
}

} // namespace

const ReadTodo* ReadCalendar::BySummary(const std::string& summary) const {
    for (const ReadTodo& t : todos)
        if (t.Get("SUMMARY") == summary) return &t;
    return nullptr;
}

const ReadTodo* ReadCalendar::ByUid(const std::string& uid) const {
    for (const ReadTodo& t : todos)
        if (t.Get("UID") == uid) return &t;
    return nullptr;
}

ReadCalendar ReadICalendar(const std::string& text) {
    ReadCalendar calendar;
    icalcomponent* root = icalparser_parse_string(text.c_str());
    if (!root || icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
        if (root) icalcomponent_free(root);
        return calendar;
    }
    calendar.parsed = true;
    for (icalproperty* p = icalcomponent_get_first_property(root, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(root, ICAL_ANY_PROPERTY))
        add(calendar.values, name(p), take(icalproperty_get_value_as_string_r(p)));
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VTODO_COMPONENT)) {
        ReadTodo todo;
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
            std::string value = take(icalproperty_get_value_as_string_r(p));
            add(todo.values, name(p), value);
            for (icalparameter* a = icalproperty_get_first_parameter(p, ICAL_ANY_PARAMETER); a;
                 a = icalproperty_get_next_parameter(p, ICAL_ANY_PARAMETER))
                add(todo.parameters, name(p) + ";" + take(icalparameter_as_ical_string_r(a)),
                    value);
        }
        for (icalcomponent* inner = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); inner;
             inner = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            todo.components.push_back(icalcomponent_kind_to_string(icalcomponent_isa(inner)));
        todo.text = take(icalcomponent_as_ical_string_r(c));
        calendar.todos.push_back(std::move(todo));
    }
    icalcomponent_free(root);
    return calendar;
}

std::multiset<std::string> TodoTexts(const std::string& text) {
    std::multiset<std::string> todos;
    const std::string begin = "BEGIN:VTODO\r\n", end = "END:VTODO\r\n";
    for (size_t at = text.find(begin); at != std::string::npos; at = text.find(begin, at)) {
        size_t stop = text.find(end, at);
        if (stop == std::string::npos) break;
        std::string todo;
        for (size_t line = at; line < stop + end.size();) {
            size_t next = text.find("\r\n", line) + 2;
            // A folded line goes on after CR LF and a space.
            while (next < text.size() && text[next] == ' ')
                next = text.find("\r\n", next) + 2;
            if (text.compare(line, 8, "DTSTAMP:") != 0) todo.append(text, line, next - line);
            line = next;
        }
        todos.insert(todo);
        at = stop;
    }
    return todos;
}
