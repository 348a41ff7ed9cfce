// The item view's flag word and how the state filter and the filter bits follow it.
#pragma once

#include <cstdint>

enum ViewFlag : std::uint32_t {
    VIEW_DONE = 0x002,        // completed items are shown
    VIEW_UNDONE = 0x010,      // uncompleted items are shown
    VIEW_GANTT = 0x020,       // the Gantt chart beside the list
    VIEW_DAYS = 0x040,        // the Gantt header's day band
    VIEW_PROGRESS = 0x080,    // Gantt bars show progress
    VIEW_WAITING = 0x100,     // waiting-for items are shown
    VIEW_INACTIVE = 0x200,    // inactive items are shown
    VIEW_HIDE_OTHERS = 0x400, // only the highlighted contact's items
};

constexpr int STATE_FILTER_ENTRIES = 6;

// The entries of the state filter, in order ("all active items (default)" ...).
const char* StateFilterEntry(int index);

// The view bits the state filter clears, in the order it clears them, and those an
// entry sets, in the order it sets them; false for an index that is no entry.
int StateFilterClearedBits(const std::uint32_t** bits);
bool StateFilterSetBits(int index, const std::uint32_t** bits, int* count);

// The filter bits that follow the view bits (0x10 -> 1, 0x2 -> 2, 0x100 -> 4, 0x200 -> 8,
// 0x400 -> 16), the other filter bits as they were.
std::uint32_t FilterFlagsFor(std::uint32_t viewFlags, std::uint32_t filterFlags);

// The view flags after choosing a state filter entry all at once (the document makes the
// same changes one bit at a time); unchanged for an index that is no entry.
std::uint32_t ApplyStateFilter(std::uint32_t viewFlags, int index);
