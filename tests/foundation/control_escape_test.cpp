// Control characters of document texts on their way to the terminal: written out, so that
// a text can neither forge a line nor command the terminal, and read back to one text.
#include "foundation/control_escape.h"

#include "foundation/locale_text.h"

#include <gtest/gtest.h>

namespace {

constexpr auto CP1252 = TextEncoding::Windows1252;
constexpr auto UTF8 = TextEncoding::Utf8;

struct Case {
    std::string document;
    TextEncoding encoding;
    std::string terminal; // under a UTF-8 locale
};

const Case CASES[] = {
    {"Buy milk\n2026-12-01\t09:00\tFAKE", CP1252, "Buy milk\\n2026-12-01\\t09:00\\tFAKE"},
    {"line\r\nnext", UTF8, "line\\r\\nnext"},
    {"\x1b]0;owned\x07title", CP1252, "\\x1b]0;owned\\x07title"}, // the window's title
    {"\x1b[2J\x1b[H", UTF8, "\\x1b[2J\\x1b[H"},                   // a cleared screen
    {"\x01\x1f", CP1252, "\\x01\\x1f"},
    {"del\x7f", UTF8, "del\\x7f"},
    // C1 controls: in UTF-8 the characters U+0080 to U+009F (CSI, NEL)...
    {"\xC2\x9b"
     "2J \xC2\x85",
     UTF8, "\\x9b2J \\x85"},
    // ...in Windows-1252 only the unassigned bytes: the others are printable there.
    {"\x81\x8D\x8F\x90\x9D", CP1252, "\\x81\\x8d\\x8f\\x90\\x9d"},
    {"\x9b \x85 \x80", CP1252, "\xE2\x80\xBA \xE2\x80\xA6 \xE2\x82\xAC"}, // › … €
    // Plain non-ASCII text stays, continuation bytes of 0x80 to 0x9F included.
    {"Caf\xC3\xA9 \xE2\x82\xAC \xC4\x9B \xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA", UTF8,
     "Caf\xC3\xA9 \xE2\x82\xAC \xC4\x9B \xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA"},
    {"Zo\xEB M\xFCller", CP1252, "Zo\xC3\xAB M\xC3\xBCller"},
    // A backslash is doubled only where it would read as an escape.
    {"C:\\Users\\ann\\a.txt", CP1252, "C:\\Users\\ann\\a.txt"},
    {"C:\\new\\tmp\\x", CP1252, "C:\\\\new\\\\tmp\\\\x"},
    {"a\\\\b\\", UTF8, "a\\\\\\b\\"},
    {"end\\\n", UTF8, "end\\\\\\n"},
    {"\\\xC2\x85", UTF8, "\\\\\\x85"},
    {"\\\x81", CP1252, "\\\\\\x81"},
};

// Reads printed text back by the rules EscapeControls gives: "\\" a backslash, "\n",
// "\r", "\t" and "\xHH" the controls (as UTF-8), a backslash before anything else itself.
std::string ReadBack(const std::string& printed) {
    std::string text;
    for (std::size_t i = 0; i < printed.size(); ++i) {
        char next = i + 1 < printed.size() ? printed[i + 1] : '\0';
        bool escape = printed[i] == '\\' && next != '\0' &&
                      std::string_view("\\nrtx").find(next) != std::string_view::npos;
        if (!escape) {
            text += printed[i];
            continue;
        }
        ++i;
        if (next == 'x') {
            text += EncodeText(std::u32string(1, (char32_t)std::stoul(printed.substr(i + 1, 2),
                                                                      nullptr, 16)),
                               UTF8);
            i += 2;
        } else {
            text += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\';
        }
    }
    return text;
}

TEST(ControlEscape, ControlsAreWrittenOutAndEverythingElseStays) {
    LocaleText utf8(true);
    for (const Case& c : CASES) {
        std::string printed = utf8.ToTerminal(c.document, c.encoding);
        EXPECT_EQ(printed, c.terminal) << c.document;
        EXPECT_EQ(printed.find_first_of(std::string("\n\r\t\x1b\x7f", 5)), std::string::npos);
        EXPECT_EQ(ReadBack(printed), TextToUtf8(c.document, c.encoding))
            << "reads back to the one text: " << printed;
    }
}

// Under a locale that is not UTF-8 the bytes go out as the document has them, but
// controls are written out all the same.
TEST(ControlEscape, OtherCharacterSetsGetTheSameEscapes) {
    LocaleText bytes(false);
    EXPECT_EQ(bytes.ToTerminal("Zo\xEB\n\x1b[2J\x81", CP1252), "Zo\xEB\\n\\x1b[2J\\x81");
    EXPECT_EQ(bytes.ToTerminal("\xC3\xA9\t\xC2\x9b", UTF8), "\xC3\xA9\\t\\x9b");
    for (const Case& c : CASES)
        EXPECT_EQ(EscapeControls(c.document, c.encoding), bytes.ToTerminal(c.document, c.encoding))
            << c.document;
}

} // namespace
