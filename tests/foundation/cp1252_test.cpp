// Document bytes as Windows-1252 characters and back.
#include "foundation/cp1252.h"

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

} // namespace
