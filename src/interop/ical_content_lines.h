// Content lines (RFC 5545, section 3.1) that libical 3 refuses or misreads as they stand,
// handed to it in a form it reads right; and the one property it writes wrongly, written
// right. libical still reads every name, parameter and value and writes every line.
//
// - An empty text value ("SUMMARY:", "DESCRIPTION:") is valid, but libical drops the
//   property and reports an error: it gets a marked stand-in, and RestoreEmptyValues
//   gives the property its empty value back.
// - Its splitter of CATEGORIES misreads an escaped comma three characters before a
//   separating one ("a\,b,c" comes back as one category "a,b,c"): it gets one line per
//   category.
// - It writes a CATEGORIES value with its commas unescaped, so a category holding a comma
//   ("Bills, taxes") would come back as two: PropertyLines escapes it.
#pragma once

#include <libical/ical.h>

#include <string>
#include <string_view>
#include <vector>

// Whether the line (unfolded, without its line end) may need another form for libical;
// cheap, so that every line can be asked.
bool MayNeedRewrite(std::string_view line);
// The lines that say the same to libical: the line itself, or for the cases above their
// other forms.
std::vector<std::string> ReadableLines(std::string_view line);
// Gives every property marked by ReadableLines, in the component and those inside it,
// its empty value back.
void RestoreEmptyValues(icalcomponent* component);
// Parses a text as icalparser_parse_string does, through ReadableLines.
icalcomponent* ParseICalendarText(const std::string& text);

// The property as libical writes it (folded, CR LF ended); a CATEGORIES property's value
// is one category, its commas escaped.
std::string PropertyLines(icalproperty* property);
