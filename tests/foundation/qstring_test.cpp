#include "foundation/qstring.h"
#include "foundation/single_line.h"

#include "support/log_capture.h"

#include <functional>
#include <string>

namespace {

class QStringTest : public LogTest {};

const qchar16 WIDE_ABC[] = {'a', 'b', 'c', 0};

TEST_F(QStringTest, EmptyConstructorHoldsNoBufferAndReadsAsEmpty) {
    qstring s(100);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s.Text(), "");
    EXPECT_EQ(s[0], 0);
    EXPECT_TRUE(s == nullptr);
    EXPECT_TRUE(s == "");
    EXPECT_EQ(Log(), "") << "index 0 of an empty string is no error";
}

TEST_F(QStringTest, IndexOutsideTheTextIsReportedAndAnsweredWithATerminator) {
    qstring s("abc");
    EXPECT_EQ(s[2], 'c');
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(s[4], 0);
    EXPECT_EQ(s[-1], 0);
    const qstring& constant = s;
    EXPECT_EQ(constant[7], 0);
    EXPECT_TRUE(LogContains("qstring(abc): ([]) index 4 out of range (0..3) [qstring:"));
    EXPECT_TRUE(LogContains("qstring(abc): ([]) index -1 out of range (0..3)"));
    EXPECT_TRUE(LogContains("qstring(abc): (const[]) index 7 out of range (0..3)"));
    EXPECT_TRUE(LogContains("/ qstring::operator[]]"));

    // Writing through an out-of-range index cannot unterminate the text.
    s[3] = 'x';
    s[99] = 'y';
    EXPECT_STREQ(s.Text(), "abc");
    s[1] = 'B';
    EXPECT_STREQ(s.Text(), "aBc");
}

TEST_F(QStringTest, CapacityFollowsTheExactGrowthRules) {
    qstring built("abc");
    EXPECT_EQ(built.Capacity(), 3 + 32);
    qstring copy(built);
    EXPECT_EQ(copy.Capacity(), 3 + 33);
    EXPECT_EQ(qstring(nullptr).Capacity(), 32);
    EXPECT_EQ(qstring(qstring()).Capacity(), 0) << "a copy of a string without buffer has none";

    qstring grown("");
    grown += std::string(40, 'x').c_str();
    EXPECT_EQ(grown.Capacity(), 41) << "appends past the slack grow to the exact size";
    grown += "yz";
    EXPECT_EQ(grown.Capacity(), 43);
    grown = "short";
    EXPECT_EQ(grown.Capacity(), 43) << "capacity never shrinks";
    grown.Free();
    EXPECT_EQ(grown.Capacity(), 0);

    qstring resized;
    resized.Resize(10);
    EXPECT_EQ(resized.Capacity(), 10);
    EXPECT_TRUE(resized.IsEmpty());
}

TEST_F(QStringTest, SubstringConstructorTakesTheRangeInEitherOrder) {
    struct Case {
        const char* text;
        int from, to;
        const char* expected;
    } cases[] = {
        {"hello", 1, 3, "el"},    {"hello", 3, 1, "el"},  {"hello", 2, 0, "llo"},
        {"hello", 1, 99, "ello"}, {"hello", 9, 2, "llo"}, {nullptr, 0, 4, ""},
    };
    for (const Case& c : cases) {
        qstring s(c.text, c.from, c.to);
        EXPECT_STREQ(s.Text(), c.expected) << c.from << ".." << c.to;
        EXPECT_EQ(s.Capacity(), (int)std::string(c.expected).size() + 1);
    }
}

TEST_F(QStringTest, AssignmentsSwitchFormAndHandleSelfAndNull) {
    qstring s("abc");
    s = s;
    EXPECT_STREQ(s.Text(), "abc");
    s = s.Text() + 1; // overlapping source
    EXPECT_STREQ(s.Text(), "bc");
    s = (const char*)nullptr;
    EXPECT_TRUE(s.IsEmpty());
    s = -42;
    EXPECT_STREQ(s.Text(), "-42");

    s = WIDE_ABC;
    EXPECT_TRUE(s.IsUnicode());
    EXPECT_EQ(s.Length(), 3);
    EXPECT_STREQ(s.Text(), "<unicodestr-nyi>");
    EXPECT_TRUE(s == "abc");
    EXPECT_FALSE(s == "ab");
    qstring wideCopy(s);
    EXPECT_TRUE(wideCopy.IsUnicode());
    EXPECT_TRUE(wideCopy == "abc");

    s = "back";
    EXPECT_FALSE(s.IsUnicode());
    EXPECT_STREQ(s.Text(), "back");
    s = WIDE_ABC;
    s = 7;
    EXPECT_FALSE(s.IsUnicode());
    EXPECT_STREQ(s.Text(), "7");
}

TEST_F(QStringTest, AppendingTextCharactersAndNumbers) {
    qstring s;
    s += "a";
    s += (const char*)nullptr;
    s += "";
    s += 'b';
    s += '\0';
    s += 12;
    s += 1.5;
    EXPECT_STREQ(s.Text(), "ab121.500000");
    s += s;
    EXPECT_STREQ(s.Text(), "ab121.500000ab121.500000");

    qstring wide;
    wide = WIDE_ABC;
    qstring narrow("x");
    narrow += wide;
    EXPECT_STREQ(narrow.Text(), "x<unicodestr-nyi>");
}

TEST_F(QStringTest, SearchingAndComparing) {
    qstring s("banana");
    EXPECT_EQ(s.Find('n'), 2);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.Find('\0'), -1);
    EXPECT_EQ(s.Find("nan"), 2);
    EXPECT_EQ(s.Find(""), -1);
    EXPECT_EQ(s.Find((const char*)nullptr), -1);
    EXPECT_EQ(qstring().Find("a"), -1);
    EXPECT_EQ(s.FindLast('a'), 5);
    EXPECT_EQ(qstring("").FindLast('a'), -1);
    EXPECT_TRUE(s.Contains("ana"));
    EXPECT_FALSE(s.Contains("Ana"));
    EXPECT_FALSE(s.Contains(""));
    EXPECT_TRUE(s.BeginsWith("ban"));
    EXPECT_TRUE(s.BeginsWith(""));
    EXPECT_FALSE(s.BeginsWith((const char*)nullptr));
    EXPECT_FALSE(qstring().BeginsWith(""));
    EXPECT_TRUE(s.EndsWith("nana"));
    EXPECT_FALSE(s.EndsWith("xbanana"));
    EXPECT_FALSE(s.EndsWith((const char*)nullptr));
    EXPECT_TRUE(s == "banana");
    EXPECT_FALSE(s == "Banana");
    EXPECT_EQ(Log(), "");
}

TEST_F(QStringTest, GetSubstringIsInclusiveAndClamped) {
    struct Case {
        const char* text;
        int from, to;
        const char* expected;
    } cases[] = {
        {"hello", 0, -1, "hello"}, {"hello", 1, 2, "el"}, {"hello", 3, 1, ""},
        {"hello", -5, 0, "h"},     {"hello", 9, -1, "o"}, {"hello", 2, 99, "llo"},
        {"", 0, -1, ""},           {"", 2, 5, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(qstring(c.text).GetSubstring(c.from, c.to).Text(), c.expected)
            << c.text << " " << c.from << ".." << c.to;
    EXPECT_STREQ(qstring().GetSubstring(0, 3).Text(), "");
}

TEST_F(QStringTest, EditingInPlace) {
    qstring s("Mixed Case  ");
    s.CutTrailingSpaces();
    EXPECT_STREQ(s.Text(), "Mixed Case");
    s.ToUpper();
    EXPECT_STREQ(s.Text(), "MIXED CASE");
    s.ToLower();
    EXPECT_STREQ(s.Text(), "mixed case");
    s.CutLastChar();
    EXPECT_STREQ(s.Text(), "mixed cas");
    s.ReplaceAll('s', 'z');
    EXPECT_STREQ(s.Text(), "mixed caz");

    qstring empty;
    empty.CutLastChar();
    empty.CutTrailingSpaces();
    empty.Clear();
    EXPECT_TRUE(empty.IsEmpty());
}

TEST_F(QStringTest, ReplaceFirstAndReplaceAll) {
    qstring s("a\r\nb\r\n");
    s.ReplaceAll("\r\n", " ");
    EXPECT_STREQ(s.Text(), "a b ");

    qstring tab("x\ty\t");
    tab.ReplaceAll("\t", " ");
    EXPECT_STREQ(tab.Text(), "x y ");

    qstring first("one two one");
    EXPECT_TRUE(first.ReplaceFirst("one", "1"));
    EXPECT_STREQ(first.Text(), "1 two one");
    EXPECT_FALSE(first.ReplaceFirst("one", "one"));
    EXPECT_FALSE(first.ReplaceFirst("zzz", "y"));
    EXPECT_FALSE(first.ReplaceFirst("", "y"));
    EXPECT_FALSE(qstring("").ReplaceFirst("a", "b"));
    EXPECT_TRUE(first.ReplaceFirst("two", "a much longer text"));
    EXPECT_STREQ(first.Text(), "1 a much longer text one");

    // Each pass starts again at the beginning, so replacements can meet again.
    qstring rescanned("aab");
    rescanned.ReplaceAll("ab", "b");
    EXPECT_STREQ(rescanned.Text(), "b");

    // A replacement holding the searched text ends instead of growing for ever.
    qstring growing("aba");
    growing.ReplaceAll("a", "aa");
    EXPECT_STREQ(growing.Text(), "aabaa");
}

TEST_F(QStringTest, CutFileAndCutPath) {
    struct Case {
        const char* text;
        bool isFileCut;
        bool answer;
        const char* expected;
    } cases[] = {
        {"C:\\dir\\file.txt", true, true, "C:\\dir"},
        {"C:\\dir\\file.txt", false, true, "file.txt"},
        {"/home/me/a.vnt", true, true, "/home/me"},
        {"/home/me/a.vnt", false, true, "a.vnt"},
        {"mixed\\dir/file", false, true, "file"},
        {"file.txt", true, false, "file.txt"},
        {"file.txt", false, false, "file.txt"},
    };
    for (const Case& c : cases) {
        qstring s(c.text);
        EXPECT_EQ(c.isFileCut ? s.CutFile() : s.CutPath(), c.answer) << c.text;
        EXPECT_STREQ(s.Text(), c.expected) << c.text;
    }
}

TEST_F(QStringTest, WebConversions) {
    qstring html("\"&\"");
    html.ConvertToHTML();
    EXPECT_STREQ(html.Text(), "&quot;&amp;&quot;");
    qstring tags("<b>'x'</b>");
    tags.ConvertToHTML();
    EXPECT_STREQ(tags.Text(), "&lt;b&gt;'x'&lt;/b&gt;");

    qstring menu("Salt & Pepper &&");
    menu.DoubleAmpersands();
    EXPECT_STREQ(menu.Text(), "Salt && Pepper &&&&");

    struct Case {
        const char* text;
        const char* expected;
    } decodes[] = {
        {"a+b%41%6a", "a bAj"}, {"50%", "50%"},     {"x%4", "x%4"}, {"%zz", ""},
        {"%2Fa%2f", "/a/"},     {"plain", "plain"},
    };
    for (const Case& c : decodes) {
        qstring s(c.text);
        s.URLDecode();
        EXPECT_STREQ(s.Text(), c.expected) << c.text;
    }
}

TEST_F(QStringTest, WrongFormIsReportedAndAnsweredNeutrally) {
    struct Case {
        const char* message;
        std::function<bool(qstring&)> neutral;
    } cases[] = {
        {"(ERR  ): [-] qstring:Find() nyi for unicode [qstring:",
         [](qstring& s) { return s.Find("a") == -1; }},
        {"qstring:Find() nyi for unicode [qstring:",
         [](qstring& s) { return s.FindLast('a') == -1; }},
        {"(WARN ): [-] qstring:Contains(const char*) NYI for UC",
         [](qstring& s) { return !s.Contains("a"); }},
        {"qstring:BeginsWith() use unicode version of BeginsWith().",
         [](qstring& s) { return !s.BeginsWith("a"); }},
        {"qstring:EndsWith() NYI for Unicode", [](qstring& s) { return !s.EndsWith("c"); }},
        {"qstring:GetSubstring() NYI for Unicode",
         [](qstring& s) { return s.GetSubstring(0, 1) == "abc"; }},
        {"qstring:CutTrailingSpaces() NYI for Unicode",
         [](qstring& s) { return s.CutTrailingSpaces(), s == "abc"; }},
        {"qstring:ReplaceAll(from,to) NYI for Unicode",
         [](qstring& s) { return s.ReplaceAll('a', 'b'), s == "abc"; }},
        {"qstring:CutFile() NYI for Unicode", [](qstring& s) { return !s.CutFile(); }},
        {"qstring:CutPath() NYI for Unicode", [](qstring& s) { return !s.CutPath(); }},
        {"qstring:operator+=(const char*) nyi for unicode",
         [](qstring& s) { return (s += "x") == "abc"; }},
        {"qstring::ASCII2UC(); string is already unicode",
         [](qstring& s) { return s.ASCII2UC(), s == "abc"; }},
    };
    for (const Case& c : cases) {
        qstring s;
        s = WIDE_ABC;
        EXPECT_TRUE(c.neutral(s)) << c.message;
        EXPECT_TRUE(s.IsUnicode());
        EXPECT_TRUE(LogContains(c.message)) << c.message;
    }

    qstring narrow("abc");
    EXPECT_FALSE(narrow.BeginsWith(WIDE_ABC));
    EXPECT_TRUE(LogContains("qstring:BeginsWith() NYI for ASCII"));
}

TEST_F(QStringTest, WideFormOperationsThatWork) {
    qstring s("abc");
    s.ASCII2UC();
    EXPECT_TRUE(s.IsUnicode());
    EXPECT_TRUE(s == "abc");
    EXPECT_EQ(s.Find('c'), 2);
    const qchar16 ab[] = {'a', 'b', 0};
    EXPECT_TRUE(s.BeginsWith(ab));
    s.CutLastChar();
    EXPECT_TRUE(s == "ab");
    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(Log(), "");
}

TEST_F(QStringTest, SingleLineTextsTakeLineBreaksAsBlanks) {
    struct Case {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"a\nb\nc", "a b c"},
        {"a\r\nb", "a b"},
        {"a\rb", "a b"},
        {"\n\n", "  "},
        {"plain", "plain"},
        {"", ""},
        {"tab\tstays", "tab\tstays"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(SingleLine(c.typed).Text(), c.kept) << c.typed;
}

} // namespace
