// Texts for single-line fields.
#pragma once

#include "foundation/qstring.h"

// Line breaks (pasted ones) become blanks: a CR LF pair, a CR or a LF one blank each.
qstring SingleLine(const char* text);
