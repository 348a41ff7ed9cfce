// Control characters of a document text made visible, so that printing the text on a
// terminal can neither start a line of its own nor send the terminal a command (a new
// title, a cleared screen): one printed line stays one item.
#pragma once

#include "foundation/text_encoding.h"

#include <string>
#include <string_view>

// The text (in the document's encoding) with every control character written out in
// ASCII: the C0 controls (U+0000 to U+001F), DEL (U+007F) and the C1 controls (U+0080
// to U+009F: in UTF-8 the two bytes C2 80 to C2 9F; in Windows-1252 the five bytes the
// code page leaves unassigned, the others being printable characters there). A line
// feed, carriage return and tab become \n, \r and \t; any other control \x and its
// code point in two lower-case hexadecimal digits (ESC \x1b, DEL \x7f, NEL \x85).
// Every other character, non-ASCII ones included, stays as it is, bytes that are no
// UTF-8 too.
//
// A backslash stays single unless what follows it would make it read as one of these
// escapes: it is doubled before another backslash, before n, r, t or x, and before an
// escaped control. So a Windows path prints as it is ("C:\Users\ann"), and the output
// still reads back to exactly one text: "\\" is a backslash, "\n", "\r", "\t" and
// "\xHH" are controls, and a backslash before anything else is itself.
std::string EscapeControls(std::string_view text, TextEncoding encoding);
