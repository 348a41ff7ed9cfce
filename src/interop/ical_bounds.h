// How deeply an iCalendar text nests its components and how many it holds, counted before
// libical reads it. libical builds components on a stack of its own but prints, checks and
// frees them recursively, so a text nested deeply enough (a hostile file, or what a server
// sends) would overflow the program's stack there. This counts the BEGIN and END lines
// only; libical still does the parsing.
#pragma once

#include <string>
#include <string_view>

struct IcsLimits {
    // The deepest standard nesting is four levels (VCALENDAR, VEVENT, PARTICIPANT,
    // VLOCATION); VALARM and the time zones' STANDARD and DAYLIGHT sit at three. 32 leaves
    // room for any extension's components, and libical's recursion through 32 levels takes
    // a few kilobytes of stack (100,000 levels overflow it).
    int depth = 32;
    // A calendar of decades of a busy shared agenda holds some 10^5 components (items with
    // their alarms and changed occurrences). A million is ten times that: 24 MB of text at
    // the least, whose import (a million empty to-dos) took 10 s and 630 MB; past it a text
    // is no calendar.
    long components = 1000000;
};

// False when a component begins deeper than the limit or past the count: then `line` is
// the number of the line that begins it (1 = first) and `error` says so, starting "line N ".
// Lines are unfolded as libical unfolds them, and ended as either of its readers ends them
// (the import's, at LF; libical's string reader's, also at CR alone after the last LF).
bool WithinIcsBounds(std::string_view text, long& line, std::string& error,
                     const IcsLimits& limits = {});
