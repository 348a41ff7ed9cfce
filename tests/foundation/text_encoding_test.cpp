// Document texts in either encoding read as characters: conversion, order, upper case
// and the filter's search.
#include "foundation/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr auto CP1252 = TextEncoding::Windows1252;
constexpr auto UTF8 = TextEncoding::Utf8;

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(TextEncodingTest, EveryWindows1252TextBecomesUtf8AndComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += (char)b;
    std::string utf8 = ConvertText(all, CP1252, UTF8);
    EXPECT_EQ(DecodeText(utf8, UTF8), DecodeText(all, CP1252));
    int lost = -1;
    EXPECT_EQ(ConvertText(utf8, UTF8, CP1252, &lost), all);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(ConvertText("Caf\xE9 \x80", CP1252, UTF8), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(TextEncodingTest, CharactersWindows1252CannotHoldAreCountedAndOnlyThere) {
    const std::u32string text = U"\u0141ukasz \u0416\u0443\u043A \u65E5\u672C \u2713 caf\u00E9";
    EXPECT_FALSE(CanHold(text, CP1252));
    EXPECT_TRUE(CanHold(text, UTF8));
    EXPECT_TRUE(CanHold(U"caf\u00E9 \u20AC \u0178", CP1252));
    int lost = 0;
    EXPECT_EQ(EncodeText(text, CP1252, &lost), "?ukasz ??? ?? ? caf\xE9");
    EXPECT_EQ(lost, 7);
    EXPECT_EQ(EncodeText(text, UTF8, &lost),
              "\xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA \xE6\x97\xA5\xE6\x9C\xAC \xE2\x9C\x93 "
              "caf\xC3\xA9");
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(DecodeText(EncodeText(text, UTF8), UTF8), text);
}

TEST(TextEncodingTest, BrokenUtf8ReadsAsReplacementCharacters) {
    struct Case {
        const char* bytes;
        std::u32string characters;
    } cases[] = {
        {"a\xFF"
         "b",
         U"a\uFFFDb"},
        {"caf\xE9", U"caf\uFFFD"},               // Windows-1252 bytes in a UTF-8 text
        {"\xE2\x82", U"\uFFFD"},                 // cut off: one broken sequence
        {"\xC0\xAF", U"\uFFFD\uFFFD"},           // overlong
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"}, // a surrogate
        {"ok \xE2\x9C\x93", U"ok \u2713"},       // sound
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes, UTF8), c.characters) << c.bytes;
        EXPECT_EQ(DecodeText(TextToUtf8(c.bytes, UTF8), UTF8), c.characters) << c.bytes;
    }
    EXPECT_EQ(TextToUtf8("a\xFF", UTF8), "a\xEF\xBF\xBD");
    EXPECT_EQ(TextToUtf8("a\xFF", CP1252), "a\xC3\xBF");
}

TEST(TextEncodingTest, EncodingNames) {
    TextEncoding e = CP1252;
    EXPECT_TRUE(TextEncodingNamed("utf-8", e));
    EXPECT_EQ(e, UTF8);
    EXPECT_TRUE(TextEncodingNamed(TextEncodingName(CP1252), e));
    EXPECT_EQ(e, CP1252);
    EXPECT_FALSE(TextEncodingNamed("latin-2", e));
    EXPECT_FALSE(TextEncodingNamed("UTF-8 ", e));
    EXPECT_STREQ(TextEncodingName(UTF8), "UTF-8");
}

TEST(TextEncodingTest, Windows1252KeepsTheByteOrderAndUtf8KeepsItAfterTheChange) {
    // Every pair of two-byte texts: a Windows-1252 document orders exactly as strcmp,
    // and the same texts converted to UTF-8 order the same way.
    std::vector<std::string> texts;
    for (int a = 1; a < 256; a += 3)
        for (int b : {0, (int)'a', 0x80, 0xC9, 0xFF})
            texts.push_back(b ? std::string{(char)a, (char)b} : std::string{(char)a});
    for (const std::string& x : texts)
        for (const std::string& y : texts) {
            int bytes = Sign(std::strcmp(x.c_str(), y.c_str()));
            ASSERT_EQ(Sign(CompareTexts(x.c_str(), y.c_str(), CP1252)), bytes) << x << " " << y;
            std::string ux = ConvertText(x, CP1252, UTF8), uy = ConvertText(y, CP1252, UTF8);
            ASSERT_EQ(Sign(CompareTexts(ux.c_str(), uy.c_str(), UTF8)), bytes) << x << " " << y;
        }
}

TEST(TextEncodingTest, Utf8TextsOrderByCharacters) {
    // Each text comes before the next one.
    const char* ordered[] = {
        "",
        "Anna",
        "Zo\xC3\xAB", // Zoë
        "\xE2\x82\xAC"
        "uro", // €uro: Windows-1252 0x80
        "\xC3\x89"
        "mile",                     // Émile: 0xC9
        "\xC3\xA9t\xC3\xA9",        // été: 0xE9
        "\xC3\xBF",                 // ÿ: 0xFF, the last Windows-1252 character
        "\xC5\x81ukasz",            // Łukasz: past Windows-1252, by code point
        "\xCE\xA9mega",             // Ωmega
        "\xD0\x96\xD1\x83\xD0\xBA", // Жук
        "\xE6\x97\xA5\xE6\x9C\xAC", // 日本
        "\xF0\x9F\x99\x82",         // 🙂
        "\xFF",                     // broken bytes after every character
    };
    const size_t count = sizeof ordered / sizeof ordered[0];
    for (size_t i = 0; i < count; ++i)
        for (size_t j = 0; j < count; ++j)
            EXPECT_EQ(Sign(CompareTexts(ordered[i], ordered[j], UTF8)), i < j ? -1 : i > j)
                << i << " " << j;
}

TEST(TextEncodingTest, TheUtf8OrderIsATotalOrderEvenOnBrokenBytes) {
    // Random texts from a few lead, continuation and plain bytes: sorting must find a
    // consistent order (std::sort's contract), equal only for equal bytes.
    std::mt19937 random(7);
    const unsigned char pieces[] = {'a', 'Z', 0x80, 0xBF, 0xC3, 0xA9, 0xC5, 0xE2, 0x82, 0xF0, 0xFF};
    std::vector<std::string> texts;
    for (int n = 0; n < 400; ++n) {
        std::string t;
        for (int k = (int)(random() % 6); k > 0; --k)
            t += (char)pieces[random() % sizeof pieces];
        texts.push_back(t);
    }
    for (const std::string& x : texts)
        for (const std::string& y : texts) {
            int xy = CompareTexts(x.c_str(), y.c_str(), UTF8);
            ASSERT_EQ(Sign(xy), -Sign(CompareTexts(y.c_str(), x.c_str(), UTF8)));
            ASSERT_EQ(xy == 0, x == y);
        }
    auto less = [](const std::string& x, const std::string& y) {
        return CompareTexts(x.c_str(), y.c_str(), UTF8) < 0;
    };
    std::sort(texts.begin(), texts.end(), less);
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); j += 7)
            ASSERT_FALSE(less(texts[j], texts[i])) << "sorted order is transitive";
}

TEST(TextEncodingTest, UpperCaseByCharacters) {
    struct Case {
        TextEncoding encoding;
        const char* text;
        const char* upper;
    } cases[] = {
        {CP1252, "caf\xE9 \x9E \xFF", "CAF\xC9 \x8E \x9F"}, // café ž ÿ
        {CP1252, "\xB5 \xDF x", "\xB5 \xDF X"},             // µ and ß have no capital here
        {UTF8, "caf\xC3\xA9 \xC5\xBE", "CAF\xC3\x89 \xC5\xBD"},
        {UTF8, "\xD0\xB6\xD1\x83\xD0\xBA \xCF\x82", "\xD0\x96\xD0\xA3\xD0\x9A \xCE\xA3"}, // жук ς
        {UTF8,
         "\xE6\x97\xA5 a\xFF"
         "b",
         "\xE6\x97\xA5 A\xFF"
         "B"}, // no case; broken bytes stay
    };
    for (const Case& c : cases)
        EXPECT_EQ(UpperText(c.text, c.encoding), c.upper) << c.text;
}

TEST(TextEncodingTest, TheFilterFindsCharactersWhateverTheirCase) {
    struct Case {
        TextEncoding encoding;
        const char* text;
        const char* needle; // UTF-8, any case: upper-cased here as the filter does
        bool found;
    } cases[] = {
        {CP1252, "Report", "REP", true},
        {CP1252, "Report", "port", true},
        {CP1252, "Report", "reports", false},
        {CP1252, "\x8E\xE1k", "\xC5\xBE\xC3\xA1", true}, // Žák found by "žá"
        {CP1252, "Caf\xC9", "caf\xC3\xA9", true},        // CAFÉ by "café"
        {CP1252, "Cafe", "caf\xC3\xA9", false},
        {CP1252, "\x80 5", "\xE2\x82\xAC", true},                     // €
        {UTF8, "\xC5\xBD\xC3\xA1k", "\xC5\xBE", true},                // Žák by "ž"
        {UTF8, "\xD0\x96\xD1\x83\xD0\xBA", "\xD0\xB6\xD1\x83", true}, // Жук by "жу"
        {UTF8, "\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", "\xCF\x83\xCE\xBF\xCF\x86", true},
        {UTF8, "Call \xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x9C\xAC", true}, // 本
        {UTF8, "\xE6\x97\xA5", "\xE6\x9C\xAC", false},
        {UTF8,
         "a\xFF"
         "bc",
         "BC", true}, // past broken bytes
        {UTF8, "", "A", false},
        {UTF8, "abc", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContainsUpper(c.text, c.encoding, UpperText(c.needle, UTF8)), c.found)
            << c.text << " / " << c.needle;
}

} // namespace
