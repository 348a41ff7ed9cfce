// The document's Windows-1252 text and the locale's: converted under UTF-8, untouched
// under any other character set.
#include "foundation/locale_text.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(LocaleText, UnderUtf8DocumentTextIsConvertedBothWays) {
    LocaleText utf8(true);
    struct Case {
        std::string document, terminal;
    } cases[] = {
        {"plain", "plain"},
        {"Zo\xEB M\xFCller", "Zo\xC3\xAB M\xC3\xBC"
                             "ller"},
        {"\x80 5", "\xE2\x82\xAC 5"}, // the euro sign of the code page
        {"T\xE2"
         "ches",
         "T\xC3\xA2"
         "ches"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8.ToTerminal(c.document), c.terminal) << c.document;
        EXPECT_EQ(utf8.FromTerminal(c.terminal), c.document) << c.terminal;
    }
    // An unassigned byte survives as its control (which the terminal is shown written
    // out: control_escape_test).
    EXPECT_EQ(utf8.FromTerminal("\xC2\x81"), "\x81");
    EXPECT_EQ(utf8.FromTerminal("\xF0\x9F\x98\x80!"), "?!") << "no such character in the document";
    EXPECT_EQ(utf8.FromTerminal("zo\xEB"), "zo\xEB") << "not UTF-8: taken as typed";
    EXPECT_EQ(utf8.FromTerminal("\xC3"), "\xC3") << "cut short";
    EXPECT_EQ(utf8.FromTerminal("\xC0\xAF"), "\xC0\xAF") << "overlong";
}

TEST(LocaleText, OtherCharacterSetsKeepTheBytes) {
    LocaleText bytes(false);
    for (const std::string& text : {std::string("Zo\xEB"), std::string("\xC3\xA2")}) {
        EXPECT_EQ(bytes.ToTerminal(text), text);
        EXPECT_EQ(bytes.FromTerminal(text), text);
    }
}

TEST(LocaleText, TheEnvironmentNamesTheCharacterSet) {
    struct Case {
        const char *lcAll, *lang;
        bool utf8;
    } cases[] = {
        {"", "C.UTF-8", true},           {"C", "C.UTF-8", false}, {"", "C", false}, {"", "", false},
        {"", "xx_YY.UTF-8", true}, // not installed: by its name
        {"", "xx_YY.ISO-8859-1", false},
    };
    const char* savedAll = std::getenv("LC_ALL");
    const char* savedLang = std::getenv("LANG");
    std::string keptAll = savedAll ? savedAll : "", keptLang = savedLang ? savedLang : "";
    unsetenv("LC_CTYPE");
    for (const Case& c : cases) {
        setenv("LC_ALL", c.lcAll, 1);
        setenv("LANG", c.lang, 1);
        EXPECT_EQ(LocaleText::FromEnvironment().IsUtf8(), c.utf8) << c.lcAll << "/" << c.lang;
    }
    savedAll ? setenv("LC_ALL", keptAll.c_str(), 1) : unsetenv("LC_ALL");
    savedLang ? setenv("LANG", keptLang.c_str(), 1) : unsetenv("LANG");
}

} // namespace
