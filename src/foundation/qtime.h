// The current local date and time as text, for page headers.
#pragma once

// Formats now with the strftime format, "%d-%m-%Y" when none is given. The text lives
// in a per-thread buffer overwritten by the next call.
const char* QCurrentDateText(const char* format = nullptr);
