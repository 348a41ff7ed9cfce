#include "app/forms/form_fields.h"

#include "model/vcollection.h"
#include "model/vcontact.h"
#include "model/vdates.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool IsCalendarDate(const char* text) {
    QDate date;
    if (!ParseDate(text, date) || std::atoi(text) < 1900) return false;
    // mktime rolls a day past the month's end into the next month: such a text is no date.
    return std::strcmp(PickerText(date).Text(), text) == 0;
}

QDate PickerDate(const char* stored) {
    QDate date;
    if (IsCalendarDate(stored))
        ParseDate(stored, date);
    else
        date.SetToday();
    return date;
}

qstring PickerText(const QDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year(), date.Month(), date.Day());
    return qstring(text);
}

namespace {

// Reads blanks, a sign and digits from text; the position after them (text when no digit).
const char* readInteger(const char* text, int& value) {
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!std::isdigit((unsigned char)*p)) {
        value = 0;
        return text;
    }
    long long n = 0;
    for (; std::isdigit((unsigned char)*p); ++p)
        if (n <= (long long)INT_MAX + 1) n = n * 10 + (*p - '0');
    if (negative) n = -n;
    value = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : (int)n;
    return p;
}

} // namespace

int LeadingInteger(const char* text) {
    int value = 0;
    readInteger(text ? text : "", value);
    return value;
}

bool ParseInteger(const char* text, int& value) {
    if (!text) return false;
    int read = 0;
    const char* end = readInteger(text, read);
    if (end == text) return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end) return false;
    value = read;
    return true;
}

std::string LinesForEditing(const char* stored) {
    std::string text;
    for (const char* p = stored; *p; ++p)
        if (!(p[0] == '\r' && p[1] == '\n')) text += *p;
    return text;
}

qstring LinesFromEditing(const std::string& edited, const char* stored) {
    if (!std::strstr(stored, "\r\n")) return qstring(edited.c_str());
    std::string text;
    for (size_t i = 0; i < edited.size(); ++i) {
        if (edited[i] == '\n' && (i == 0 || edited[i - 1] != '\r')) text += '\r';
        text += edited[i];
    }
    return qstring(text.c_str());
}

ContactChoices::ContactChoices(const VCollection& collection) {
    contacts.resize(MAX_CONTACTS);
    contacts.resize((size_t)collection.Contacts(contacts.data(), MAX_CONTACTS));
    labels.push_back("<no-one>");
    for (const VContact* c : contacts)
        labels.push_back(std::string(c->firstName.Text()) + " " + c->lastName.Text());
}

int ContactChoices::PositionOf(const VContact* contact) const {
    if (!contact) return 0;
    for (size_t i = 0; i < contacts.size(); ++i)
        if (contacts[i] == contact) return (int)i + 1;
    return 0;
}

VContact* ContactChoices::At(int position) const {
    return position >= 1 && position <= (int)contacts.size() ? contacts[(size_t)position - 1]
                                                             : nullptr;
}
