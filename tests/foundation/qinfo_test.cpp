#include <filesystem>
#include "foundation/qinfo.h"

#include "foundation/qexpr.h"
#include "support/log_capture.h"

#include <atomic>
#include <gmock/gmock.h>
#include <string>
#include <thread>
#include <vector>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class QInfoTest : public LogTest {
  protected:
    // Reads the text as a settings file named "t.ini" in the test's folder.
    std::unique_ptr<QInfo> Read(const std::string& text) {
        WriteWholeFile("t.ini", text);
        return std::make_unique<QInfo>("t.ini");
    }
    static std::string Get(QInfo& info, const char* path) {
        qstring out;
        info.GetString(path, out, "<default>");
        return out.Text();
    }
};

const char* const EXAMPLE =
    "global\n{\n  view_type=1\n  dateformat=0\n  gantt\n  {\n    days_in_view=56\n  }\n}\n";

TEST_F(QInfoTest, ReadsTheExampleFile) {
    auto info = Read(EXAMPLE);
    EXPECT_TRUE(info->WasOpened());
    EXPECT_STREQ(info->ClassName(), "QInfo");
    EXPECT_EQ(info->GetInt("global.gantt.days_in_view", 0), 56);
    EXPECT_EQ(info->GetInt("global.view_type", 7), 1);
    EXPECT_EQ(info->GetInt("global.missing", 7), 7);
    qstring out;
    EXPECT_FALSE(info->GetString("global.gantt", out, "dflt")) << "a tree without value";
    EXPECT_STREQ(out.Text(), "dflt");
    EXPECT_FALSE(info->GetString("global.gantt.days_in_view.deeper", out));
    EXPECT_STREQ(out.Text(), "");
    EXPECT_EQ(Get(*info, "..global..dateformat."), "0") << "empty components are skipped";
    EXPECT_EQ(Get(*info, "Global.dateformat"), "<default>") << "names are case-sensitive";
    EXPECT_EQ(Log(), "");
}

TEST_F(QInfoTest, ValuesAreTheRestOfTheLine) {
    auto info = Read("a = 5\nbare\nc=  spaced out  \r\n; a comment\nd=x;y{z}\ne\t=tab\n");
    EXPECT_EQ(Get(*info, "a"), " 5");
    EXPECT_EQ(info->GetInt("a", 0), 5);
    EXPECT_EQ(Get(*info, "bare"), "?");
    EXPECT_EQ(info->GetInt("bare", 9), 0);
    EXPECT_FALSE(info->GetBool("bare", true));
    EXPECT_EQ(Get(*info, "c"), "  spaced out  ");
    EXPECT_EQ(Get(*info, "d"), "x;y{z}");
    EXPECT_EQ(Get(*info, "e\t"), "tab") << "a tab belongs to the word";
    EXPECT_EQ(Get(*info, ";"), "<default>") << "comments are no values";
}

TEST_F(QInfoTest, EvaluatesIntegerExpressions) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"0x1F", 31},
        {"010", 8},
        {"$ff", 255},
        {"#101", 5},
        {"3x4", 12},
        {"7/0", 0},
        {"7%0", 0},
        {"-2+3", -5},
        {"3-2", 1},
        {"true", 0},
        {"", 0},
        {"12 34", 12},
        {"12abc", 12},
        {"2+3*4", 14},
        {"(2+3)*4", 20},
        {"1|6&3", 3},
        {"6^3", 5},
        {"~0", -1},
        {"+7", 7},
        {" 640 x 480 ", 307200},
        {"0", 0},
        {"0X10", 16},
        {"-7/2", -3},
        {"7%3", 1},
        {"2*-1+5", -12},
        {"2147483647+1", -2147483647 - 1},
        {"-2147483648/-1", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QEvaluate(c.text), c.value) << c.text;

    std::string tokens41 = "1";
    for (int i = 0; i < 20; ++i)
        tokens41 += "+1";
    EXPECT_EQ(QEvaluate(tokens41.c_str()), 21) << "41 numbers and operators";
    EXPECT_EQ(QEvaluate((tokens41 + "+1").c_str()), 0) << "43 are too many";
    EXPECT_EQ(QEvaluate((std::string(30, '(') + "1").c_str()), 1);
    EXPECT_EQ(QEvaluate((std::string(45, '(') + "1").c_str()), 0) << "deeper than the stack";
    EXPECT_EQ(QEvaluate((std::string(100000, '-') + "1").c_str()), 0);
    EXPECT_EQ(QEvaluate(nullptr), 0);
}

TEST_F(QInfoTest, SetStringBuildsTreesAndWritesThemIndented) {
    {
        ::testing::internal::CaptureStderr();
        QInfo info("new.ini");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "")
            << "a settings file not made yet is nothing the user must act on";
        EXPECT_FALSE(info.WasOpened());
        EXPECT_THAT(Log(), HasSubstr("(INFO ): [-] QInfo: can't open 'new.ini' [qinfo_read:"));
        EXPECT_TRUE(info.SetString("a.b.c", "1"));
        EXPECT_TRUE(info.IsModified());
        EXPECT_EQ(Get(info, "a.b.c"), "1");
    }
    EXPECT_EQ(ReadWholeFile("new.ini"), "a\n{\n  b\n  {\n    c=1\n  }\n}\n");
}

TEST_F(QInfoTest, UnchangedValuesLeaveTheFileAlone) {
    {
        auto info = Read("k=5\n");
        EXPECT_TRUE(info->SetString("k", "5"));
        EXPECT_TRUE(info->SetInt("k", 5));
        EXPECT_FALSE(info->IsModified());
        WriteWholeFile("t.ini", "changed behind our back\n");
    }
    EXPECT_EQ(ReadWholeFile("t.ini"), "changed behind our back\n");
    {
        auto info = Read("k=5\n");
        EXPECT_TRUE(info->SetInt("k", -6));
        EXPECT_TRUE(info->Write());
        EXPECT_FALSE(info->IsModified());
    }
    EXPECT_EQ(ReadWholeFile("t.ini"), "k=-6\n");
}

TEST_F(QInfoTest, SetStringRefusesPathsThatCannotHoldAValue) {
    auto info = Read("key=1\ntree\n{\n  x=2\n}\n");
    EXPECT_FALSE(info->SetString("", "v"));
    EXPECT_FALSE(info->SetString("...", "v"));
    EXPECT_FALSE(info->SetString("key.sub", "v")) << "runs through a key";
    EXPECT_FALSE(info->SetString("tree", "v")) << "ends at a tree";
    EXPECT_FALSE(info->IsModified());
    EXPECT_TRUE(info->SetString("tree.y", "line one\nline two"));
    EXPECT_EQ(Get(*info, "tree.y"), "line one line two") << "a value stays on one line";
}

TEST_F(QInfoTest, WritesCommentsReferencesAndTreeValues) {
    std::string text =
        ";top comment\nbase\n{\n  k=from base\n}\nt\n~base\nv=tree value\n{\n  own=1\n}\n";
    auto info = Read(text);
    EXPECT_EQ(Get(*info, "t.k"), "from base") << "inherited through the reference";
    EXPECT_EQ(Get(*info, "v"), "tree value") << "a tree may carry a value";
    EXPECT_EQ(Get(*info, "v.own"), "1");
    ASSERT_TRUE(info->Write("out.ini"));
    EXPECT_EQ(
        ReadWholeFile("out.ini"),
        ";top comment\nbase\n{\n  k=from base\n}\nt~base\n{\n}\nv=tree value\n{\n  own=1\n}\n");
    QInfo again("out.ini");
    EXPECT_EQ(Get(again, "t.k"), "from base");
    EXPECT_EQ(Log().find("(WARN"), std::string::npos) << Log();
}

TEST_F(QInfoTest, ReportsProblemsWithTheirLineAndReadsOn) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"a\n}\n}\nb=1\n",
         "(ERR  ): [-] QInfo(t.ini); more '}' brackets than '{' near line 2 [qinfo_read:"},
        {"b=1\na\n{\n c=1\n",
         "QInfo(t.ini); brackets don't match; still 1 closing bracket(s) expected at end of file."},
        {"x.y=1\nb=1\n", "QInfo(t.ini): key with '.' found (x.y) - won't work; use { } to define "
                         "subtrees (line 1)"},
        {"=1\nb=1\n", "QInfo: assign without symbol in line 1"},
        {"{\n}\nb=1\n", "QInfo: { without groupname"},
        {"~nothing\nb=1\n", "QInfo: reference without symbol in line 1"},
        {"t\n~nothing\nb=1\n", "QInfo(t.ini): reference (~) to unknown tree 'nothing' in line 2"},
        {"leaf=1\nt\n~leaf\nb=1\n", "QInfo(t.ini): ref to tree 'leaf' without child in line 2"},
    };
    for (const Case& c : cases) {
        auto info = Read(c.text);
        EXPECT_THAT(Log(), HasSubstr(c.message)) << c.text;
        EXPECT_THAT(Log(), HasSubstr("/ QInfo::Read]"));
        EXPECT_EQ(info->GetInt("b", 0), 1) << "reading goes on: " << c.text;
    }
}

TEST_F(QInfoTest, LineNumbersCountOnlyTheLineEndsBetweenTokens) {
    // With LF alone the line end after a value is eaten with it and not counted.
    auto lf = Read("a=1\nb=2\nc\n}\n");
    EXPECT_THAT(Log(), HasSubstr("near line 2"));
    auto crlf = Read("a=1\r\nb=2\r\nc\r\n}\r\n");
    EXPECT_THAT(Log(), HasSubstr("near line 4"));
}

TEST_F(QInfoTest, TreesNestAtMostTenDeep) {
    std::string text;
    for (int i = 0; i < 11; ++i)
        text += "t" + std::to_string(i) + "\n{\n";
    text += "deep=1\n";
    for (int i = 0; i < 11; ++i)
        text += "}\n";
    text += "after=2\n";
    auto info = Read(text);
    EXPECT_THAT(Log(), HasSubstr("QInfo: 't.ini' nests too deep (max 10 levels)"));
    EXPECT_EQ(info->GetInt("t0.t1.t2.t3.t4.t5.t6.t7.t8.t9", 0), 0);
    EXPECT_EQ(info->GetInt("t0.t1.t2.t3.t4.t5.t6.t7.t8.t9.t10.deep", 0), 1)
        << "trees past the tenth take the place of the innermost on the stack";
    EXPECT_EQ(info->GetInt("after", 0), 2);
    EXPECT_THAT(Log(), HasSubstr("more '}' brackets than '{'")) << "two braces too many now";
}

TEST_F(QInfoTest, WordsAndValuesStopAt1023Characters) {
    std::string longValue(1500, 'v');
    auto info = Read("k=" + longValue + "\nafter=1\n" + std::string(1100, 'w') + "=2\nend");
    EXPECT_EQ(Get(*info, "k"), std::string(1023, 'v'));
    EXPECT_EQ(info->GetInt("after", 0), 1);
    EXPECT_EQ(Get(*info, std::string(1023, 'w').c_str()), "?");
    EXPECT_EQ(Get(*info, std::string(77, 'w').c_str()), "2")
        << "the rest of the word is the next token";
    EXPECT_EQ(Get(*info, "end"), "<default>") << "a word cut by the end of the file is dropped";
    char small[4];
    EXPECT_TRUE(info->GetString("k", small, sizeof small));
    EXPECT_STREQ(small, "vvv");
}

TEST_F(QInfoTest, ASettingsFileThatIsThereButUnreadableIsAWarning) {
    WriteWholeFile("plain", "a file where a folder should be");
    ::testing::internal::CaptureStderr();
    QInfo info("plain/x.ini");
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("QInfo: can't open"));
    EXPECT_THAT(Log(), HasSubstr("(WARN ): [-] QInfo: can't open 'plain/x.ini'"));
}

TEST_F(QInfoTest, WriteReportsAFileThatCannotBeWritten) {
    QInfo info("no/such/dir/x.ini");
    info.SetInt("a", 1);
    EXPECT_FALSE(info.Write());
    EXPECT_THAT(Log(), HasSubstr("(TRACE): [-] QInfo::Write no/such/dir/x.ini [qinfo:"));
    EXPECT_THAT(Log(), HasSubstr("QInfo:Write(); file (no/such/dir/x.ini) can't be written"));
    EXPECT_TRUE(info.IsModified()) << "the change is still to be written";
}

} // namespace

namespace {

TEST(QEvaluateThreads, EvaluationsMayOverlap) {
    // Each evaluation keeps its own state: threads evaluating at once all get the
    // results one thread gets.
    const char* texts[] = {"0x1F", "-2+3", "(1+2)*3|4", "640x480", "#1011^$f"};
    int expected[5];
    for (int i = 0; i < 5; ++i)
        expected[i] = QEvaluate(texts[i]);
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 2000; ++round)
                for (int i = 0; i < 5; ++i)
                    if (QEvaluate(texts[i]) != expected[i]) ++wrong;
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(expected[3], 307200);
}

} // namespace
