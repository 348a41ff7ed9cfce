// Document bytes as Windows-1252 characters and back.
#include "foundation/cp1252.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(Cp1252Test, EveryByteComesBackAsItWent) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += (char)b;
    int lost = -1;
    EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(all), &lost), all);
    EXPECT_EQ(lost, 0);
}

TEST(Cp1252Test, CharactersOfTheCodePage) {
    struct Case {
        unsigned char byte;
        char32_t character;
    } cases[] = {
        {'A', U'A'},       {0xE9, U'\u00E9'}, {0x80, U'\u20AC'}, {0x85, U'\u2026'},
        {0x93, U'\u201C'}, {0x9F, U'\u0178'}, {0xA0, U'\u00A0'}, {0xFF, U'\u00FF'},
        {0x81, U'\u0081'}, {0x9D, U'\u009D'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1252ToUnicode(c.byte), c.character) << (int)c.byte;
        unsigned char back = 0;
        EXPECT_TRUE(UnicodeToCp1252(c.character, back));
        EXPECT_EQ(back, c.byte);
    }
    EXPECT_EQ(Cp1252ToUnicode(std::string("Caf\xE9")), U"Caf\u00E9");
}

TEST(Cp1252Test, CharactersItCannotHoldBecomeQuestionMarks) {
    unsigned char byte = 'x';
    EXPECT_FALSE(UnicodeToCp1252(U'\u0142', byte)); // Polish l with stroke
    EXPECT_FALSE(UnicodeToCp1252(U'\u0080', byte)); // the control that 0x80 does not stand for
    int lost = 0;
    EXPECT_EQ(UnicodeToCp1252(U"\u0141\u00F3d\u017A \u20AC5 \U0001F600", &lost), "?\xF3"
                                                                                 "d? \x80"
                                                                                 "5 ?");
    EXPECT_EQ(lost, 3);
    EXPECT_EQ(UnicodeToCp1252(std::u32string(U"a\0b", 3), &lost), "a?b");
    EXPECT_EQ(lost, 1);
}

// Exchange formats carry UTF-8: every byte goes out and comes back; what the code page
// cannot hold, and sequences that are no UTF-8, become "?".
TEST(Cp1252Test, Utf8BothWays) {
    std::string every;
    for (int b = 1; b < 256; ++b)
        every += (char)b;
    std::string utf8 = Cp1252ToUtf8(every);
    EXPECT_TRUE(IsUtf8(utf8.data(), utf8.size()));
    EXPECT_EQ(Utf8ToCp1252(utf8), every);
    EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80"
                           "5"),
              "Caf\xC3\xA9 \xE2\x82\xAC"
              "5");

    struct Case {
        const char* utf8;
        const char* bytes;
        int lost;
        long badAt; // -1: well-formed
    } cases[] = {
        {"plain", "plain", 0, -1},
        {"\xE2\x98\x83 snow", "? snow", 1, -1}, // a character outside the code page
        {"\xF0\x9F\x98\x80", "?", 1, -1},       // four bytes
        {"a\xC3", "a?", 1, 1},                  // cut off
        {"\xC0\xAF", "??", 2, 0},               // overlong
        {"\xED\xA0\x80", "???", 3, 0},          // a surrogate
        {"ok\xFF", "ok?", 1, 2},                // no UTF-8 byte at all
    };
    for (const Case& c : cases) {
        int lost = -1;
        EXPECT_EQ(Utf8ToCp1252(c.utf8, &lost), c.bytes) << c.utf8;
        EXPECT_EQ(lost, c.lost) << c.utf8;
        std::size_t bad = 99;
        bool sound = IsUtf8(c.utf8, std::strlen(c.utf8), &bad);
        EXPECT_EQ(sound, c.badAt < 0) << c.utf8;
        if (!sound) {
            EXPECT_EQ((long)bad, c.badAt) << c.utf8;
        }
    }
}

} // namespace
