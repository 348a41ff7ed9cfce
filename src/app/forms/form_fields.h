// Field helpers the item dialogs share: dates over stored date texts and typed dates,
// integer texts, and the list of contacts an action can be assigned to.
#pragma once

#include "foundation/date.h"
#include "foundation/qstring.h"

#include <string>
#include <vector>

class VCollection;
class VContact;

// Whether the text is a stored date ("YYYY-MM-DD") of a real calendar day from 1900 on.
bool IsCalendarDate(const char* text);

// What a date picker shows for a stored date text: that day, or today when the text is
// empty or no calendar date (the text is rewritten only when the dialog ends with OK).
QDate PickerDate(const char* stored);

// The stored text of a picker's date: "%04d-%02d-%02d".
qstring PickerText(const QDate& date);

// Dates are typed and shown in the document's date format (VCollection::dateFormat):
// 0 "25-Jun-10", 1 "25-06-2010", 2 "06-25-2010".
qstring DateFieldText(const QDate& date, int dateFormat);
// How the format asks for a date, for messages: "DD-MM-YYYY".
const char* DateFieldPattern(int dateFormat);
// The calendar day a typed text names in the format (blanks around it, '-', '/' or '.'
// between the parts, a year of two or four digits) or as YYYY-MM-DD in any format; false for a text that names no day
// from 1900 on, such as 31-02-2026.
bool ParseDateField(const char* typed, int dateFormat, QDate& date);
// A typed date: a text that names no day is refused with a message (the date stays as
// it was, the dialog stays open).
bool TakeDateField(const char* typed, int dateFormat, QDate& date);

// The integer a text starts with (after blanks, with an optional sign), 0 when it does
// not start with one; limited to the range of a 32-bit integer.
int LeadingInteger(const char* text);

// A whole text that is one integer (blanks around it allowed); false for anything else.
bool ParseInteger(const char* text, int& value);

// Multi-line texts are edited with LF line ends; a text that was stored with CR LF gets
// CR LF back when it is written.
std::string LinesForEditing(const char* stored);
qstring LinesFromEditing(const std::string& edited, const char* stored);

// The drop-down lists of contacts: "<no-one>" at position 0, then the collection's
// contacts sorted by first and last name (at most 1000), each as "first last".
class ContactChoices {
  public:
    static constexpr int MAX_CONTACTS = 1000;

    explicit ContactChoices(const VCollection& collection);
    const std::vector<std::string>& Labels() const { return labels; }
    // The position of a contact, 0 for none or one not in the list.
    int PositionOf(const VContact* contact) const;
    // The contact at a position, null for 0 or a position out of the list.
    VContact* At(int position) const;

  private:
    std::vector<VContact*> contacts;
    std::vector<std::string> labels;
};
