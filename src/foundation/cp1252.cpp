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
