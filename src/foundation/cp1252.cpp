#include "foundation/cp1252.h"

namespace {

// 0x80 to 0x9F, where the code page differs from Latin-1.
constexpr char32_t HIGH_CONTROLS[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? HIGH_CONTROLS[byte - 0x80] : (char32_t)byte;
}

bool UnicodeToCp1252(char32_t character, unsigned char& byte) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        byte = (unsigned char)character;
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (HIGH_CONTROLS[i] == character) {
            byte = (unsigned char)(0x80 + i);
            return true;
        }
    return false;
}

std::u32string Cp1252ToUnicode(const std::string& bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text += Cp1252ToUnicode((unsigned char)c);
    return text;
}

std::string UnicodeToCp1252(const std::u32string& text, int* lost) {
    std::string bytes;
    bytes.reserve(text.size());
    int missing = 0;
    for (char32_t c : text) {
        unsigned char byte = 0;
        if (c == 0 || !UnicodeToCp1252(c, byte)) {
            byte = '?';
            ++missing;
        }
        bytes += (char)byte;
    }
    if (lost) *lost = missing;
    return bytes;
}

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | (c >> 6));
        out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += (char)(0xE0 | (c >> 12));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xF0 | (c >> 18));
        out += (char)(0x80 | ((c >> 12) & 0x3F));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

// The character at `at` and its length in bytes; length 0 for a sequence that is no
// UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
char32_t decodeUtf8(const unsigned char* s, std::size_t size, std::size_t at, int& length) {
    unsigned char b = s[at];
    length = 0;
    if (b < 0x80) {
        length = 1;
        return b;
    }
    int count = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (count == 0 || b > 0xF4 || at + (std::size_t)count > size) return 0;
    char32_t c = b & (0x7F >> count);
    for (int i = 1; i < count; ++i) {
        if ((s[at + i] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (s[at + i] & 0x3F);
    }
    if ((count == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
        (count == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return 0;
    length = count;
    return c;
}

} // namespace

std::string Cp1252ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        if ((unsigned char)c < 0x80)
            out += c;
        else
            appendUtf8(out, Cp1252ToUnicode((unsigned char)c));
    }
    return out;
}

std::string Utf8ToCp1252(const std::string& utf8, int* lost) {
    std::string out;
    out.reserve(utf8.size());
    int missing = 0;
    auto* s = (const unsigned char*)utf8.data();
    for (std::size_t at = 0; at < utf8.size();) {
        int length = 0;
        char32_t c = decodeUtf8(s, utf8.size(), at, length);
        unsigned char byte = '?';
        if (length == 0 || c == 0 || !UnicodeToCp1252(c, byte)) {
            byte = '?';
            ++missing;
        }
        out += (char)byte;
        at += length ? (std::size_t)length : 1;
    }
    if (lost) *lost = missing;
    return out;
}

bool IsUtf8(const char* bytes, std::size_t size, std::size_t* badAt) {
    auto* s = (const unsigned char*)bytes;
    for (std::size_t at = 0; at < size;) {
        if (s[at] < 0x80) {
            ++at;
            continue;
        }
        int length = 0;
        decodeUtf8(s, size, at, length);
        if (length == 0) {
            if (badAt) *badAt = at;
            return false;
        }
        at += (std::size_t)length;
    }
    return true;
}
