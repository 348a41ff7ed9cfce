#include "foundation/qstring.h"

#include "foundation/qmessage.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const UNICODE_TEXT = "<unicodestr-nyi>";

int wideLength(const qchar16* w) {
    int n = 0;
    if (w)
        while (w[n])
            ++n;
    return n;
}

// Answer for indexes that have no character of their own: always reads as a terminator.
char& terminatorSlot() {
    thread_local char slot;
    slot = 0;
    return slot;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// Holds a private copy when a text points into the string that is about to change.
struct SafeText {
    const char* text;
    char* copy = nullptr;
    SafeText(const char* t, const char* buffer, int capacity) : text(t) {
        if (t && buffer && t >= buffer && t < buffer + capacity) {
            copy = strdup(t);
            text = copy;
        }
    }
    ~SafeText() { std::free(copy); }
    SafeText(const SafeText&) = delete;
    SafeText& operator=(const SafeText&) = delete;
};

} // namespace

qstring::qstring(int) {}

qstring::qstring(const char* t) {
    int length = t ? (int)std::strlen(t) : 0;
    text = (char*)std::calloc(length + 32, 1);
    if (!text) qfatal("qstring:Resize realloc failed");
    size = length + 32;
    if (t) std::memcpy(text, t, length);
}

qstring::qstring(const qstring& other) : flags(other.flags & ~UNOWNED) {
    if (other.IsUnicode() && other.wtext) {
        int length = wideLength(other.wtext);
        wtext = (qchar16*)std::calloc(length + 33, sizeof(qchar16));
        if (!wtext) qfatal("qstring:Resize realloc failed");
        std::memcpy(wtext, other.wtext, (length + 1) * sizeof(qchar16));
        size = length + 33;
    } else if (!other.IsUnicode() && other.text) {
        int length = (int)std::strlen(other.text);
        text = (char*)std::calloc(length + 33, 1);
        if (!text) qfatal("qstring:Resize realloc failed");
        std::memcpy(text, other.text, length + 1);
        size = length + 33;
    }
}

qstring::qstring(qstring&& other) noexcept
    : flags(other.flags), size(other.size), text(other.text) {
    if (flags & UNOWNED) {
        // Borrowed bytes stay with their owner: this string gets a copy of its own.
        flags = 0;
        text = nullptr;
        size = 0;
        setText8(other.text, (int)std::strlen(other.text));
        return;
    }
    other.flags = 0;
    other.text = nullptr;
    other.size = 0;
}

qstring::qstring(const char* t, int from, int to) {
    int length = t ? (int)std::strlen(t) : 0;
    if (from < 0) from = 0;
    if (to < 0) to = 0;
    if (to == 0 || to > length) to = length;
    if (from > length) from = length;
    int lo = from < to ? from : to;
    int hi = from < to ? to : from;
    text = (char*)std::calloc(hi - lo + 1, 1);
    if (!text) qfatal("qstring:Resize realloc failed");
    size = hi - lo + 1;
    if (hi > lo) std::memcpy(text, t + lo, hi - lo);
}

qstring::~qstring() {
    Free();
}

void qstring::Free() {
    if (!(flags & UNOWNED)) std::free(text); // either form: one buffer
    flags &= ~UNOWNED;
    text = nullptr;
    size = 0;
}

void qstring::Resize(int n) {
    if (size >= n) return;
    if (IsUnicode()) {
        auto* grown = (qchar16*)std::realloc(wtext, n * sizeof(qchar16));
        if (!grown) qfatal("qstring:Resize realloc failed");
        // Clear the added units too, so a fresh buffer always reads as terminated.
        std::memset(grown + size, 0, (n - size) * sizeof(qchar16));
        wtext = grown;
    } else if (flags & UNOWNED) {
        char* own = (char*)std::malloc(n);
        if (!own) qfatal("qstring:Resize realloc failed");
        std::memcpy(own, text, size);
        std::memset(own + size, 0, n - size);
        text = own;
        flags &= ~UNOWNED;
    } else if (text) {
        char* grown = (char*)std::realloc(text, n);
        if (!grown) qfatal("qstring:Resize realloc failed");
        std::memset(grown + size, 0, n - size);
        text = grown;
    } else {
        text = (char*)std::calloc(n, 1);
        if (!text) qfatal("qstring:Resize realloc failed");
    }
    size = n;
}

void qstring::Assign(const char* bytes, int length) {
    if (IsUnicode()) releaseAndSetForm(false);
    if (length <= 0) {
        if (text) text[0] = 0;
        return;
    }
    setText8(bytes, length);
}

void qstring::SetUnowned(char* bytes, int length) {
    Free();
    flags = (flags & ~WIDE_FORM) | UNOWNED;
    text = bytes;
    size = length + 1;
}

int qstring::Length() const {
    if (IsUnicode()) return wideLength(wtext);
    return text ? (int)std::strlen(text) : 0;
}

bool qstring::IsEmpty() const {
    if (IsUnicode()) return !wtext || !wtext[0];
    return !text || !text[0];
}

void qstring::Clear() {
    if (IsUnicode()) {
        if (wtext) wtext[0] = 0;
    } else if (text) {
        text[0] = 0;
    }
}

const char* qstring::Text() const {
    if (IsUnicode()) return UNICODE_TEXT;
    return text ? text : "";
}

void qstring::releaseAndSetForm(bool unicode) {
    Free();
    flags = unicode ? (flags | WIDE_FORM) : (flags & ~WIDE_FORM);
}

void qstring::setText8(const char* t, int length) {
    Resize(length + 1);
    std::memmove(text, t, length);
    text[length] = 0;
}

qstring& qstring::operator=(const char* t) {
    if (IsUnicode()) releaseAndSetForm(false);
    SafeText safe(t, text, size);
    if (safe.text)
        setText8(safe.text, (int)std::strlen(safe.text));
    else
        setText8("", 0);
    return *this;
}

qstring& qstring::operator=(const qstring& other) {
    if (this == &other) return *this;
    if (other.IsUnicode()) return *this = other.wtext;
    return *this = other.text;
}

qstring& qstring::operator=(qstring&& other) noexcept {
    if (this == &other) return *this;
    if (other.flags & UNOWNED) return *this = other.text; // borrowed bytes stay with their owner
    Free();
    flags = other.flags;
    text = other.text;
    size = other.size;
    other.flags = 0;
    other.text = nullptr;
    other.size = 0;
    return *this;
}

qstring& qstring::operator=(const qchar16* w) {
    int length = wideLength(w);
    qchar16* copy = (qchar16*)std::malloc((length + 1) * sizeof(qchar16));
    if (!copy) qfatal("qstring:Resize realloc failed");
    if (w) std::memcpy(copy, w, length * sizeof(qchar16));
    copy[length] = 0;
    releaseAndSetForm(true);
    Resize(length + 1);
    std::memcpy(wtext, copy, (length + 1) * sizeof(qchar16));
    std::free(copy);
    return *this;
}

qstring& qstring::operator=(int value) {
    if (IsUnicode()) releaseAndSetForm(false);
    Resize(32);
    std::snprintf(text, size, "%d", value);
    return *this;
}

void qstring::appendBytes(const char* bytes, int count) {
    int length = Length();
    Resize(length + count + 1);
    std::memmove(text + length, bytes, count);
    text[length + count] = 0;
}

qstring& qstring::operator+=(const char* t) {
    if (!t || !t[0]) return *this;
    if (IsUnicode()) {
        qerr(QLOC("qstring::operator+="), "qstring:operator+=(const char*) nyi for unicode");
        return *this;
    }
    SafeText safe(t, text, size);
    appendBytes(safe.text, (int)std::strlen(safe.text));
    return *this;
}

qstring& qstring::operator+=(const qstring& other) {
    if (this == &other && !IsUnicode()) {
        qstring copy(other);
        return *this += copy.Text();
    }
    return *this += other.Text();
}

qstring& qstring::operator+=(char c) {
    if (!c) return *this;
    char one[2] = {c, 0};
    return *this += one;
}

qstring& qstring::operator+=(int value) {
    char number[32];
    std::snprintf(number, sizeof number, "%d", value);
    return *this += number;
}

qstring& qstring::operator+=(double value) {
    char number[400];
    std::snprintf(number, sizeof number, "%f", value);
    return *this += number;
}

char* qstring::slotAt(int i, const char* form) const {
    if (IsUnicode()) {
        qerr(QLOC("qstring::operator[]"), "qstring:operator[] NYI for Unicode");
        return nullptr;
    }
    int length = Length();
    if (i < 0 || i > length)
        qwarn(QLOC("qstring::operator[]"), "qstring(%s): (%s) index %d out of range (0..%d)",
              Text(), form, i, length);
    // The terminator itself is handed out as a detached slot, so writing through it
    // can never unterminate the buffer.
    return i >= 0 && i < length ? text + i : nullptr;
}

char& qstring::operator[](int i) {
    char* slot = slotAt(i, "[]");
    return slot ? *slot : terminatorSlot();
}

const char& qstring::operator[](int i) const {
    char* slot = slotAt(i, "const[]");
    return slot ? *slot : terminatorSlot();
}

bool qstring::operator==(const char* other) const {
    if (!other) other = "";
    if (IsUnicode()) {
        int i = 0;
        static const qchar16 none[1] = {0};
        const qchar16* w = wtext ? wtext : none;
        for (; w[i] && other[i]; ++i)
            if (w[i] != (unsigned char)other[i]) return false;
        return !w[i] && !other[i];
    }
    return std::strcmp(text ? text : "", other) == 0;
}

int qstring::Find(char c) const {
    if (!c) return -1;
    if (IsUnicode()) {
        for (int i = 0; wtext && wtext[i]; ++i)
            if (wtext[i] == (unsigned char)c) return i;
        return -1;
    }
    if (!text) return -1;
    const char* p = std::strchr(text, c);
    return p ? (int)(p - text) : -1;
}

int qstring::Find(const char* t) const {
    if (IsUnicode()) {
        qerr(QLOC("qstring::Find"), "qstring:Find() nyi for unicode");
        return -1;
    }
    if (IsEmpty() || !t || !t[0]) return -1;
    const char* p = std::strstr(text, t);
    return p ? (int)(p - text) : -1;
}

int qstring::FindLast(char c) const {
    if (IsUnicode()) {
        qerr(QLOC("qstring::FindLast"), "qstring:Find() nyi for unicode");
        return -1;
    }
    if (!c || IsEmpty()) return -1;
    const char* p = std::strrchr(text, c);
    return p ? (int)(p - text) : -1;
}

bool qstring::Contains(const char* t) const {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::Contains"), "qstring:Contains(const char*) NYI for UC");
        return false;
    }
    if (IsEmpty() || !t || !t[0]) return false;
    return std::strstr(text, t) != nullptr;
}

bool qstring::BeginsWith(const char* t) const {
    if (IsUnicode()) {
        qerr(QLOC("qstring::BeginsWith"),
             "qstring:BeginsWith() use unicode version of BeginsWith().");
        return false;
    }
    if (!t || !text) return false;
    return std::strncmp(text, t, std::strlen(t)) == 0;
}

bool qstring::BeginsWith(const qchar16* t) const {
    if (!IsUnicode()) {
        qerr(QLOC("qstring::BeginsWith"), "qstring:BeginsWith() NYI for ASCII");
        return false;
    }
    if (!t || !wtext) return false;
    for (int i = 0; t[i]; ++i)
        if (wtext[i] != t[i]) return false; // also stops at our terminator
    return true;
}

bool qstring::EndsWith(const char* t) const {
    if (IsUnicode()) {
        qerr(QLOC("qstring::EndsWith"), "qstring:EndsWith() NYI for Unicode");
        return false;
    }
    if (!t || !text) return false;
    int length = Length();
    int tail = (int)std::strlen(t);
    if (tail > length) return false;
    return std::strcmp(text + length - tail, t) == 0;
}

qstring qstring::GetSubstring(int from, int to) const {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::GetSubstring"), "qstring:GetSubstring() NYI for Unicode");
        return *this;
    }
    int length = Length();
    if (length == 0) return qstring();
    if (from < 0) from = 0;
    if (from > length - 1) from = length - 1;
    if (to == -1 || to > length - 1) to = length - 1;
    int count = to - from + 1;
    if (count <= 0) return qstring();
    return qstring(text, from, from + count);
}

void qstring::ToUpper() {
    if (IsUnicode()) {
        for (int i = 0; wtext && wtext[i]; ++i)
            if (wtext[i] < 256) wtext[i] = (qchar16)std::toupper(wtext[i]);
        return;
    }
    for (int i = 0; text && text[i]; ++i)
        text[i] = (char)std::toupper((unsigned char)text[i]);
}

void qstring::ToLower() {
    if (IsUnicode()) {
        for (int i = 0; wtext && wtext[i]; ++i)
            if (wtext[i] < 256) wtext[i] = (qchar16)std::tolower(wtext[i]);
        return;
    }
    for (int i = 0; text && text[i]; ++i)
        text[i] = (char)std::tolower((unsigned char)text[i]);
}

void qstring::CutLastChar() {
    int length = Length();
    if (length == 0) return;
    if (IsUnicode())
        wtext[length - 1] = 0;
    else
        text[length - 1] = 0;
}

void qstring::CutTrailingSpaces() {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::CutTrailingSpaces"), "qstring:CutTrailingSpaces() NYI for Unicode");
        return;
    }
    int length = Length();
    while (length > 0 && text[length - 1] == ' ')
        text[--length] = 0;
}

void qstring::ReplaceAll(char from, char to) {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::ReplaceAll"), "qstring:ReplaceAll(from,to) NYI for Unicode");
        return;
    }
    if (!text || !from) return;
    for (char* p = text; *p; ++p)
        if (*p == from) *p = to;
}

bool qstring::ReplaceFirst(const char* from, const char* to) {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::ReplaceFirst"), "qstring:ReplaceFirst() NYI for Unicode");
        return false;
    }
    if (!to) to = "";
    if (IsEmpty() || !from || !from[0] || std::strcmp(from, to) == 0) return false;
    int at = Find(from);
    if (at < 0) return false;
    int length = Length();
    int fromLength = (int)std::strlen(from);
    int toLength = (int)std::strlen(to);
    int room = length + (fromLength > toLength ? fromLength : toLength) + 1;
    char* built = (char*)std::calloc(room, 1);
    if (!built) qfatal("qstring:Resize realloc failed");
    std::memcpy(built, text, at);
    std::memcpy(built + at, to, toLength);
    std::strcpy(built + at + toLength, text + at + fromLength);
    *this = built;
    std::free(built);
    return true;
}

void qstring::ReplaceAll(const char* from, const char* to) {
    if (!to) to = "";
    if (from && from[0] && std::strstr(to, from)) {
        // Rescanning from the start would find the replacement again for ever:
        // replace each occurrence of the original text once instead.
        if (IsUnicode() || IsEmpty()) return;
        qstring result("");
        int fromLength = (int)std::strlen(from);
        const char* rest = text;
        while (const char* hit = std::strstr(rest, from)) {
            result.appendBytes(rest, (int)(hit - rest));
            result += to;
            rest = hit + fromLength;
        }
        result += rest;
        *this = result;
        return;
    }
    while (ReplaceFirst(from, to)) {
    }
}

bool qstring::CutFile() {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::CutFile"), "qstring:CutFile() NYI for Unicode");
        return false;
    }
    if (!text) return false;
    char* slash = std::strrchr(text, '/');
    char* backslash = std::strrchr(text, '\\');
    char* cut = slash > backslash ? slash : backslash;
    if (!cut) return false;
    *cut = 0;
    return true;
}

bool qstring::CutPath() {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::CutPath"), "qstring:CutPath() NYI for Unicode");
        return false;
    }
    if (!text) return false;
    char* slash = std::strrchr(text, '/');
    char* backslash = std::strrchr(text, '\\');
    char* cut = slash > backslash ? slash : backslash;
    if (!cut) return false;
    std::memmove(text, cut + 1, std::strlen(cut + 1) + 1);
    return true;
}

void qstring::ConvertToHTML() {
    if (IsUnicode() || !text) return;
    // Collected in one growing buffer: appending byte by byte would reallocate each time.
    std::string out;
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += *p;
        }
    }
    *this = out.c_str();
}

void qstring::DoubleAmpersands() {
    if (IsUnicode() || !text || !std::strchr(text, '&')) return;
    qstring out("");
    for (const char* p = text; *p; ++p) {
        out.appendBytes(p, 1);
        if (*p == '&') out.appendBytes(p, 1);
    }
    *this = out;
}

void qstring::URLDecode() {
    if (IsUnicode() || !text) return;
    int length = Length();
    char* decoded = (char*)std::calloc(length + 1, 1);
    if (!decoded) qfatal("qstring:Resize realloc failed");
    int out = 0;
    for (int i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '+') {
            decoded[out++] = ' ';
        } else if (c == '%') {
            if (length - i - 1 < 2) {
                std::free(decoded); // a cut-off escape: leave the text as it was
                return;
            }
            decoded[out++] = (char)(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded[out++] = c;
        }
    }
    decoded[out] = 0;
    std::memcpy(text, decoded, out + 1);
    std::free(decoded);
}

void qstring::ASCII2UC() {
    if (IsUnicode()) {
        qwarn(QLOC("qstring::ASCII2UC"), "qstring::ASCII2UC(); string is already unicode");
        return;
    }
    int length = Length();
    qchar16* wide = (qchar16*)std::calloc(length + 1, sizeof(qchar16));
    if (!wide) qfatal("qstring:Resize realloc failed");
    for (int i = 0; i < length; ++i)
        wide[i] = (unsigned char)text[i];
    releaseAndSetForm(true);
    wtext = wide;
    size = length + 1;
}
