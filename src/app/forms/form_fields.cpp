#include "app/forms/form_fields.h"

#include "app/forms/item_form.h"
#include "model/vcollection.h"
#include "model/vcontact.h"
#include "model/vdates.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

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

// The three date formats: the month as a name or a number, and whether it comes first.
struct DateFieldFormat {
    int kind; // of QDate::Format
    const char* pattern;
    bool monthName;
    bool monthFirst;
};
const DateFieldFormat DATE_FIELD_FORMATS[] = {
    {6, "DD-MMM-YY", true, false},
    {3, "DD-MM-YYYY", false, false},
    {7, "MM-DD-YYYY", false, true},
};

// An unknown format shows as the first one, as the document's dates do.
const DateFieldFormat& dateFieldFormat(int dateFormat) {
    return DATE_FIELD_FORMATS[dateFormat >= 1 && dateFormat <= 2 ? dateFormat : 0];
}

bool sameLetters(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
    return true;
}

// A month's name as the document shows it (the locale's short name) or in English; 0 for none.
int monthOfName(const std::string& name) {
    static const char* const ENGLISH[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 1; month <= 12; ++month) {
        std::tm tm{};
        tm.tm_mon = month - 1;
        tm.tm_mday = 1;
        tm.tm_year = 100;
        char local[64];
        if (std::strftime(local, sizeof local, "%b", &tm) && sameLetters(name, local)) return month;
        if (sameLetters(name, ENGLISH[month - 1])) return month;
    }
    return 0;
}

// The number a part of digits gives, -1 for anything else.
int numberOf(const std::string& part) {
    if (part.empty() || part.size() > 4) return -1;
    for (char ch : part)
        if (!std::isdigit((unsigned char)ch)) return -1;
    return std::atoi(part.c_str());
}

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

qstring DateFieldText(const QDate& date, int dateFormat) {
    return qstring(date.Format(dateFieldFormat(dateFormat).kind));
}

const char* DateFieldPattern(int dateFormat) {
    return dateFieldFormat(dateFormat).pattern;
}

bool ParseDateField(const char* typed, int dateFormat, QDate& date) {
    const DateFieldFormat& format = dateFieldFormat(dateFormat);
    std::string text = typed ? typed : "";
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return false;
    text = text.substr(first, last - first + 1);
    std::string parts[3];
    int count = 0;
    for (char ch : text) {
        if (ch == '-' || ch == '/' || ch == '.') {
            if (++count > 2) return false;
        } else {
            parts[count] += ch;
        }
    }
    if (count != 2) return false;
    for (std::string& part : parts) {
        part.erase(0, part.find_first_not_of(" \t"));
        part.erase(part.find_last_not_of(" \t") + 1);
    }
    // Four digits first are a year, as ISO 8601 writes a date (2026-12-12), whatever the
    // format: no format begins with the year, so the text can mean no other day.
    const bool iso = parts[0].size() == 4;
    std::string& yearPart = parts[iso ? 0 : 2];
    std::string& dayPart = parts[iso ? 2 : format.monthFirst ? 1 : 0];
    std::string& monthPart = parts[iso ? 1 : format.monthFirst ? 0 : 1];
    int day = numberOf(dayPart);
    int month = !iso && format.monthName && numberOf(monthPart) < 0 ? monthOfName(monthPart)
                                                                    : numberOf(monthPart);
    int year = numberOf(yearPart);
    // Two digits stand for a year from 1970 to 2069, as "%y" shows them.
    if (yearPart.size() == 2)
        year += year < 70 ? 2000 : 1900;
    else if (yearPart.size() != 4)
        return false;
    if (day < 1 || month < 1 || month > 12) return false;
    char stored[32];
    std::snprintf(stored, sizeof stored, "%04d-%02d-%02d", year, month, day);
    if (!IsCalendarDate(stored)) return false;
    return ParseDate(stored, date);
}

bool TakeDateField(const char* typed, int dateFormat, QDate& date) {
    if (ParseDateField(typed, dateFormat, date)) return true;
    std::string message = std::string("\"") + (typed ? typed : "") +
                          "\" is not a date. Please type the date as " +
                          DateFieldPattern(dateFormat) + ".";
    ShowMessage(message.c_str(), "Error", MsgButtons::OK, MsgIcon::Error);
    return false;
}

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
