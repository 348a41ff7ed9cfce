#include "views/view_flags.h"

namespace {

const char* const ENTRIES[STATE_FILTER_ENTRIES] = {
    "all active items (default)", "active && inactive items", "only inactive items",
    "only finished items",        "only waiting-for items",   "all items",
};

const std::uint32_t CLEARED[] = {VIEW_DONE, VIEW_UNDONE, VIEW_INACTIVE, VIEW_WAITING};

struct EntryBits {
    std::uint32_t bits[4];
    int count;
};
const EntryBits SET[STATE_FILTER_ENTRIES] = {
    {{VIEW_UNDONE, VIEW_WAITING}, 2},
    {{VIEW_UNDONE, VIEW_INACTIVE, VIEW_WAITING}, 3},
    {{VIEW_INACTIVE}, 1},
    {{VIEW_DONE}, 1},
    {{VIEW_WAITING}, 1},
    {{VIEW_DONE, VIEW_UNDONE, VIEW_INACTIVE, VIEW_WAITING}, 4},
};

struct Copy {
    std::uint32_t view, filter;
};
const Copy COPIES[] = {{VIEW_UNDONE, 1},
                       {VIEW_DONE, 2},
                       {VIEW_WAITING, 4},
                       {VIEW_INACTIVE, 8},
                       {VIEW_HIDE_OTHERS, 16}};

} // namespace

const char* StateFilterEntry(int index) {
    return index >= 0 && index < STATE_FILTER_ENTRIES ? ENTRIES[index] : nullptr;
}

int StateFilterClearedBits(const std::uint32_t** bits) {
    *bits = CLEARED;
    return 4;
}

bool StateFilterSetBits(int index, const std::uint32_t** bits, int* count) {
    if (index < 0 || index >= STATE_FILTER_ENTRIES) return false;
    *bits = SET[index].bits;
    *count = SET[index].count;
    return true;
}

std::uint32_t FilterFlagsFor(std::uint32_t viewFlags, std::uint32_t filterFlags) {
    for (const Copy& copy : COPIES) {
        if (viewFlags & copy.view)
            filterFlags |= copy.filter;
        else
            filterFlags &= ~copy.filter;
    }
    return filterFlags;
}

std::uint32_t ApplyStateFilter(std::uint32_t viewFlags, int index) {
    const std::uint32_t* set;
    int count;
    if (!StateFilterSetBits(index, &set, &count)) return viewFlags;
    for (std::uint32_t bit : CLEARED)
        viewFlags &= ~bit;
    for (int i = 0; i < count; ++i)
        viewFlags |= set[i];
    return viewFlags;
}
