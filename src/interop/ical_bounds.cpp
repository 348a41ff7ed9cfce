#include "interop/ical_bounds.h"

#include <cctype>
#include <strings.h>

namespace {

enum class Marker { NONE, BEGIN, END };

// What libical makes of a content line: its name runs to the first ':' or ';' and loses
// the white space at its end; BEGIN and END, in any case, open and close a component.
Marker markerOf(std::string_view line) {
    std::size_t delimiter = line.find_first_of(":;");
    if (delimiter == std::string_view::npos) return Marker::NONE;
    std::string_view name = line.substr(0, delimiter);
    while (!name.empty() && std::isspace((unsigned char)name.back()))
        name.remove_suffix(1);
    if (name.size() == 5 && !strncasecmp(name.data(), "BEGIN", 5)) return Marker::BEGIN;
    if (name.size() == 3 && !strncasecmp(name.data(), "END", 3)) return Marker::END;
    return Marker::NONE;
}

// A line that begins with a space or a tab continues the content line before it, which
// loses its line end (CR LF or LF) and the continuation its first character; libical
// joins them only after a line that holds something before its LF.
bool continues(const std::string& logical, std::string_view physical) {
    return logical.size() >= 2 && logical.back() == '\n' &&
           (physical[0] == ' ' || physical[0] == '\t');
}

// Reads the text in content lines as libical does, counting BEGIN and END. Lines end at
// LF; libical's string reader also ends them at a CR alone once no LF follows (and turns
// it into an LF), which the import's own reader does not: `crEndsTail` chooses.
bool scan(std::string_view text, bool crEndsTail, long& line, std::string& error,
          const IcsLimits& limits) {
    std::string logical; // the content line being read, unfolded
    long logicalLine = 0, physicalLine = 0;
    int depth = 0;
    long components = 0;
    // Counts the content line just completed; false when it goes past a limit.
    auto count = [&]() {
        Marker marker = markerOf(logical);
        if (marker == Marker::END && depth > 0) --depth; // an END too many is libical's to report
        if (marker != Marker::BEGIN) return true;
        if (++depth > limits.depth)
            error = "begins a component nested more than " + std::to_string(limits.depth) + " deep";
        else if (++components > limits.components)
            error = "begins a component past the first " + std::to_string(limits.components);
        else
            return true;
        line = logicalLine;
        error = "line " + std::to_string(line) + " " + error;
        return false;
    };
    // Past the last LF, looking for the next would read the rest of the text each time.
    std::size_t lastLf = text.rfind('\n');
    for (std::size_t at = 0; at < text.size();) {
        bool pastLastLf = lastLf == std::string_view::npos || at > lastLf;
        std::size_t end = pastLastLf ? std::string_view::npos : text.find('\n', at);
        bool endsInCr = false;
        if (pastLastLf && crEndsTail) {
            end = text.find('\r', at);
            endsInCr = end != std::string_view::npos;
        }
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view physical = text.substr(at, end - at);
        at = end;
        ++physicalLine;
        if (continues(logical, physical)) {
            logical.pop_back();
            if (!logical.empty() && logical.back() == '\r') logical.pop_back();
            logical.append(physical.substr(1));
        } else {
            if (!count()) return false;
            logical.assign(physical);
            logicalLine = physicalLine;
        }
        if (endsInCr) logical.back() = '\n';
    }
    return count();
}

} // namespace

bool WithinIcsBounds(std::string_view text, long& line, std::string& error,
                     const IcsLimits& limits) {
    // libical's readers skip a byte order mark at the start.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (!scan(text, false, line, error, limits)) return false;
    // What follows the last LF reads differently when a CR alone ends lines there.
    std::size_t lastLf = text.rfind('\n');
    std::string_view tail = lastLf == std::string_view::npos ? text : text.substr(lastLf + 1);
    return tail.find('\r') == std::string_view::npos || scan(text, true, line, error, limits);
}
