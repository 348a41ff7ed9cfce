#include "interop/ical_content_lines.h"

#include <cstring>
#include <optional>
#include <strings.h>

namespace {

// The parameter that marks a stand-in for an empty value, and the stand-in.
constexpr const char* EMPTY_MARK = "X-VANTRY-EMPTY";
constexpr const char* STAND_IN = ";X-VANTRY-EMPTY=TRUE:-";

std::string take(char* text) {
    std::string s = text ? text : "";
    if (text) icalmemory_free_buffer(text);
    return s;
}

// A content line's name, its parameters (each after its ';') and its value: the value
// begins after the first ':' outside a quoted parameter value.
struct Parts {
    std::string_view name, parameters, value;
};

std::optional<Parts> split(std::string_view line) {
    size_t nameEnd = line.find_first_of(";:");
    if (nameEnd == std::string_view::npos) return std::nullopt;
    bool quoted = false;
    for (size_t i = nameEnd; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return Parts{line.substr(0, nameEnd), line.substr(nameEnd, i - nameEnd),
                         line.substr(i + 1)};
    }
    return std::nullopt;
}

bool named(std::string_view name, const char* wanted) {
    return name.size() == std::strlen(wanted) && !strncasecmp(name.data(), wanted, name.size());
}

// Whether the property's value is text, for which an empty value is valid (names this
// libical does not know, and X- names, hold text too).
bool textValued(std::string_view name) {
    if (named(name, "BEGIN") || named(name, "END")) return false;
    icalproperty_kind kind = icalproperty_string_to_kind(std::string(name).c_str());
    if (kind == ICAL_NO_PROPERTY || kind == ICAL_X_PROPERTY) return true;
    icalvalue_kind value = icalproperty_kind_to_value_kind(kind);
    return value == ICAL_TEXT_VALUE || value == ICAL_X_VALUE;
}

std::string lineOf(const Parts& parts, std::string_view value) {
    std::string line(parts.name);
    line += parts.parameters;
    if (value.empty() && textValued(parts.name)) return line + STAND_IN;
    line += ':';
    line += value;
    return line;
}

// A list value's items: split at each comma that no backslash escapes.
std::vector<std::string_view> listItems(std::string_view value) {
    std::vector<std::string_view> items;
    size_t start = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\')
            ++i; // the escaped character, a comma or a backslash among them
        else if (value[i] == ',') {
            items.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    items.push_back(value.substr(start));
    return items;
}

} // namespace

bool MayNeedRewrite(std::string_view line) {
    return (!line.empty() && line.back() == ':') ||
           (line.size() > 10 && !strncasecmp(line.data(), "CATEGORIES", 10) &&
            (line[10] == ';' || line[10] == ':') && line.find(',') != std::string_view::npos);
}

std::vector<std::string> ReadableLines(std::string_view line) {
    std::optional<Parts> parts = split(line);
    if (!parts) return {std::string(line)};
    if (!named(parts->name, "CATEGORIES")) return {lineOf(*parts, parts->value)};
    std::vector<std::string> lines;
    for (std::string_view item : listItems(parts->value))
        lines.push_back(lineOf(*parts, item));
    return lines;
}

void RestoreEmptyValues(icalcomponent* component) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        if (!icalproperty_get_parameter_as_string(p, EMPTY_MARK)) continue;
        icalproperty_remove_parameter_by_name(p, EMPTY_MARK);
        icalvalue* value = icalproperty_get_value(p);
        icalproperty_set_value(p, value && icalvalue_isa(value) == ICAL_TEXT_VALUE
                                      ? icalvalue_new_text("")
                                      : icalvalue_new_x(""));
    }
    for (icalcomponent* c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        RestoreEmptyValues(c);
}

icalcomponent* ParseICalendarText(const std::string& text) {
    struct Source {
        const std::string& text;
        size_t position = 0;
        static char* Next(char* out, size_t room, void* self) {
            auto* source = (Source*)self;
            if (source->position >= source->text.size() || room < 2) return nullptr;
            size_t newline = source->text.find('\n', source->position);
            size_t end = newline == std::string::npos ? source->text.size() : newline + 1;
            size_t count = std::min(end - source->position, room - 1);
            std::memcpy(out, source->text.data() + source->position, count);
            out[count] = '\0';
            source->position += count;
            return out;
        }
    } source{text};
    icalerrorstate state = icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR);
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
    icalparser* parser = icalparser_new();
    icalparser_set_gen_data(parser, &source);
    icalcomponent* root = nullptr;
    while (char* line = icalparser_get_line(parser, Source::Next)) {
        icalcomponent* done = nullptr;
        if (MayNeedRewrite(line)) {
            for (std::string& readable : ReadableLines(line))
                if (icalcomponent* c = icalparser_add_line(parser, readable.data())) done = c;
        } else {
            done = icalparser_add_line(parser, line);
        }
        icalmemory_free_buffer(line);
        if (done && !root)
            root = done;
        else if (done)
            icalcomponent_free(done); // one component only, as icalparser_parse_string
    }
    if (icalcomponent* open = icalparser_clean(parser)) {
        if (!root)
            root = open;
        else
            icalcomponent_free(open);
    }
    icalparser_free(parser);
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, state);
    if (root) RestoreEmptyValues(root);
    return root;
}

std::string PropertyLines(icalproperty* property) {
    if (icalproperty_isa(property) != ICAL_CATEGORIES_PROPERTY)
        return take(icalproperty_as_ical_string_r(property));
    // libical escapes the commas of every other text; RELATED-TO is text and its name as
    // long as CATEGORIES, so libical folds its line just where it would fold this one.
    const char* value = icalproperty_get_categories(property);
    icalproperty* text = icalproperty_new_relatedto(value ? value : "");
    for (icalparameter* p = icalproperty_get_first_parameter(property, ICAL_ANY_PARAMETER); p;
         p = icalproperty_get_next_parameter(property, ICAL_ANY_PARAMETER))
        icalproperty_add_parameter(text, icalparameter_new_clone(p));
    std::string lines = take(icalproperty_as_ical_string_r(text));
    icalproperty_free(text);
    return lines.replace(0, std::strlen("CATEGORIES"), "CATEGORIES");
}
