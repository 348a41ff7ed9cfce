// The colours of item rows and the paint context that rows are drawn with.
#pragma once

#include "platform/canvas.h"

#include <string>

namespace RowColour {
constexpr Colour WHITE{255, 255, 255};
constexpr Colour LIGHT_GREEN{225, 255, 225};
constexpr Colour LIGHT_YELLOW{255, 255, 192};
constexpr Colour SELECTION_BLUE{10, 36, 106};
constexpr Colour CONTACT_GREEN{179, 213, 197};
constexpr Colour SEPARATOR_GREY{210, 210, 210};
constexpr Colour BLACK{0, 0, 0};
constexpr Colour URGENT_RED{192, 100, 100};
constexpr Colour DONE_GREY{128, 128, 128};
constexpr Colour INACTIVE_GREY{192, 192, 192};
constexpr Colour UNPLANNED_GREY{64, 64, 64};
} // namespace RowColour

// The colour of indentation level n (by n modulo 5; pure red for a negative remainder).
Colour LevelColour(int level);

// The contrast ratio of two colours by their relative luminance (1 to 21), as the
// accessibility guidelines measure legibility.
double ContrastRatio(Colour a, Colour b);
// Black or white, whichever stands out more on the background (at least 4.5:1 on every
// row colour).
Colour ReadableTextColour(Colour background);
constexpr double READABLE_CONTRAST = 4.5;
// The least contrast a text keeps its own colour at: the states' colours (red when overdue,
// the inactive grey that is meant to look faint) read at that on the row colours they were
// made for; on any other background the text is black or white instead.
constexpr double STATE_TEXT_CONTRAST = 1.5;
Colour TextColourOn(Colour wanted, Colour background);

// A font as the views make them: height (negative: character height), weight, face.
struct FontSpec {
    int height = 0;
    int weight = 0;
    std::string face;
};
