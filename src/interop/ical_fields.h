// What export and import agree on: the program's PRODID and the priority scale.
#pragma once

constexpr const char* ICAL_PRODID = "-//Vantry//Vantry 4//EN";

// Extension fields of an item whose SUMMARY or DESCRIPTION was longer than a text of the
// document can be: the whole text, written back by the export while the item's own (cut)
// text is still the start of it.
constexpr const char* ICAL_WHOLE_SUMMARY = "ical.summary.whole";
constexpr const char* ICAL_WHOLE_DESCRIPTION = "ical.description.whole";

// Our priorities (0 Low, 1 Medium, 2 High, 3 Today) on iCalendar's 1 (highest) to 9.
inline int IcalPriority(int priority) {
    switch (priority) {
    case 0:
        return 9;
    case 2:
        return 3;
    case 3:
        return 1;
    default:
        return 5;
    }
}

// And back: 1 Today, 2-4 High, 5 (and none, 0) Medium, 6-9 Low.
inline int VantryPriority(int icalPriority) {
    if (icalPriority == 1) return 3;
    if (icalPriority >= 2 && icalPriority <= 4) return 2;
    if (icalPriority >= 6 && icalPriority <= 9) return 0;
    return 1;
}
