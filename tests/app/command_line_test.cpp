#include "app/command_line.h"

#include "foundation/qtime.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/bytes.h"
#include "support/command_line_run.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "test_paths.h"
#include "views/view_flags.h"

#include <cstdio>
#include <filesystem>
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

class CommandLineTest : public CommandLineRunTest {
  protected:
    void SetUp() override {
        CommandLineRunTest::SetUp();
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
        // Work / Sub / "Write <report>" (an action for Anna), Work / "Buy milk" (done),
        // Home / "Water plants" (waiting), and the contact Anna Zee at the top.
        VCollection c;
        auto* work = AddNode<VGroup>(c);
        work->name = "Work";
        auto* sub = AddNode<VGroup>(c, work);
        sub->name = "Sub";
        auto* anna = AddNode<VContact>(c);
        anna->firstName = "Anna";
        anna->lastName = "Zee";
        anna->initials = "AZ";
        auto* task = AddNode<VTask>(c, sub);
        task->what = "Write <report>";
        task->flags = 0;
        task->startDate = "2010-06-25";
        task->duration = 3;
        task->assignees[0] = anna;
        auto* milk = AddNode<VTodo>(c, work);
        milk->what = "Buy milk";
        milk->flags = DONE;
        auto* home = AddNode<VGroup>(c);
        home->name = "Home";
        auto* plants = AddNode<VTodo>(c, home);
        plants->what = "Water plants";
        plants->flags = WAITING;
        ASSERT_TRUE(c.Save("doc.vnt"));
        WriteWholeFile("vantry.ini", "global\n{\n  dateformat=0\n}\n");
    }
};

TEST_F(CommandLineTest, ListsTheShownChainIndentedByLevel) {
    EXPECT_EQ(Run({"--list", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Anna Zee / AZ\n"
                   "Home\n"
                   "  Water plants\n"
                   "Work\n"
                   "  Sub\n"
                   "    Write <report> (Fri 25-Jun-10 upto 27-Jun-10) (Anna Zee)\n")
        << "the date format of the settings file, the done to-do hidden";
    EXPECT_EQ(err.find("vantry:"), std::string::npos);
}

TEST_F(CommandLineTest, OptionsChooseFolderFilterAndFormat) {
    EXPECT_EQ(Run({"--list", "--folder", "Work / Sub", "--date-format", "1", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Write <report> (Fri 25-06-2010 upto 27-06-2010) (Anna Zee)\n");

    EXPECT_EQ(Run({"--list", "--show", "3", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Work\n  Buy milk\n") << "only finished items";

    EXPECT_EQ(Run({"--list", "--filter", "plan", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Home\n  Water plants\n") << "the text filter ignores case";

    EXPECT_EQ(Run({"--list", "--folder", "All folders", "--show", "5", "--by-contact", "doc.vnt"}),
              0);
    EXPECT_THAT(out, HasSubstr("  Buy milk\n"));
}

TEST_F(CommandLineTest, OptionsComeBeforeOrAfterTheFile) {
    const std::string expected = "Write <report> (Fri 25-06-2010 upto 27-06-2010) (Anna Zee)\n";
    const std::vector<std::vector<std::string>> orders = {
        {"--list", "--folder", "Work / Sub", "--date-format", "1", "doc.vnt"},
        {"--list", "doc.vnt", "--folder", "Work / Sub", "--date-format", "1"},
        {"doc.vnt", "--date-format", "1", "--list", "--folder", "Work / Sub"},
        {"--folder", "Work / Sub", "doc.vnt", "--date-format", "1", "--list"},
    };
    for (const auto& args : orders) {
        EXPECT_EQ(Run(args), 0) << args[0];
        EXPECT_EQ(out, expected) << args[0];
    }
    EXPECT_EQ(Run({"--save-as", "copy.vnt", "doc.vnt"}), 0);
    EXPECT_EQ(Run({"doc.vnt", "--save-as", "copy2.vnt"}), 0);
    EXPECT_EQ(ReadWholeFile("copy2.vnt"), ReadWholeFile("copy.vnt"));
    // "--" ends the options: a file whose name starts with "--".
    WriteWholeFile("--odd.vnt", ReadWholeFile("doc.vnt"));
    EXPECT_EQ(Run({"--list", "--show", "3", "--", "--odd.vnt"}), 0);
    EXPECT_EQ(out, "Work\n  Buy milk\n");
}

TEST_F(CommandLineTest, ExportsTheFolderWithoutOpeningIt) {
    EXPECT_EQ(Run({"--export-html", "--folder", "Work", "doc.vnt"}), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(
        ReadWholeFile("export.htm"),
        std::string("<html><head><title>Work\n</title><body><font face=\"verdana\" size=\"-1\">"
                    "<b>Work - on ") +
            QCurrentDateText("%d-%m-%Y") +
            "</b><br /><br />\n<li><b>Sub</b></li>\n<ul>\n"
            "<li>Write &lt;report&gt; (Fri 25-Jun-10 upto 27-Jun-10) (Anna Zee)</li>\n</ul>\n"
            "</font></body></html>");
}

TEST_F(CommandLineTest, SaveAsWritesWhatTheFileHolds) {
    std::string damaged = ReadWholeFile("doc.vnt") + "TRUNCATED";
    WriteWholeFile("damaged.vnt", damaged);
    EXPECT_EQ(Run({"--save-as", "repaired.vnt", "damaged.vnt"}), 0);
    EXPECT_EQ(ReadWholeFile("repaired.vnt").size(), ReadWholeFile("doc.vnt").size());
    EXPECT_EQ(Run({"--list", "repaired.vnt"}), 0);
    EXPECT_THAT(out, HasSubstr("Water plants"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"--save-as", "no/such/dir/x.vnt", "doc.vnt"}), 1);
    EXPECT_THAT(::testing::internal::GetCapturedStderr(),
                HasSubstr("Error: Can't open file (no/such/dir/x.vnt) for writing. Nothing was "
                          "written.\n"))
        << "without a window the message box is a line on standard error";
}

// A link planted by another local user in a shared folder (the temporary folder) under
// the name a command writes to is not followed: the file it points at stays as it is.
TEST_F(CommandLineTest, NoCommandWritesThroughAnotherUsersLinkInASharedFolder) {
    constexpr uid_t OTHER = 65534;
    fs::create_directory("shared");
    ASSERT_EQ(chmod("shared", 01777), 0);
    const std::string refused = ") for writing: it is another user's link in a shared folder.";
    struct Case {
        std::vector<std::string> args;
        const char* link;   // the name the command writes to
        bool onErrorStream; // the reason: a message box (standard error) or the mode's own
        std::string reason;
    } cases[] = {
        {{"--save-as", "shared/out.vnt", "doc.vnt"},
         "shared/out.vnt",
         false,
         "Error: Can't open file (shared/out.vnt" + refused + " The file on disk is unchanged."},
        {{"--export-ics", "shared/out.ics", "doc.vnt"},
         "shared/out.ics",
         true,
         "vantry: Can't open file (shared/out.ics" + refused},
        // --export-html writes export.htm into the working folder.
        {{"--export-html", "../doc.vnt"},
         "shared/export.htm",
         true,
         "vantry: can't write export.htm in this folder"},
    };
    for (const Case& c : cases) {
        for (uid_t owner : {OTHER, geteuid()}) {
            WriteWholeFile("victim", "precious");
            const std::string doc = ReadWholeFile("doc.vnt");
            fs::remove(c.link);
            fs::create_symlink(dir.File("victim"), c.link);
            if (lchown(c.link, owner, owner) != 0) GTEST_SKIP() << "giving links away needs root";
            bool html = c.args[0] == "--export-html";
            if (html) fs::current_path("shared");
            ::testing::internal::CaptureStderr();
            int code = Run(c.args);
            std::string boxes = ::testing::internal::GetCapturedStderr();
            if (html) fs::current_path(dir.Path());
            if (owner == OTHER) {
                EXPECT_EQ(code, 1) << c.link;
                EXPECT_THAT(c.onErrorStream ? err : boxes, HasSubstr(c.reason)) << c.link;
                EXPECT_EQ(ReadWholeFile("victim"), "precious") << c.link;
                EXPECT_EQ(ReadWholeFile("doc.vnt"), doc) << c.link;
            } else {
                EXPECT_EQ(code, 0) << c.link << ": our own link is followed, as ever";
                EXPECT_NE(ReadWholeFile("victim"), "precious") << c.link;
            }
            EXPECT_TRUE(fs::is_symlink(c.link)) << c.link;
        }
    }
}

// A file a newer version wrote: its records of other tags and a second extension record
// of a node survive --save-as, so saving the copy once more gives the file back.
TEST_F(CommandLineTest, SaveAsKeepsWhatANewerVersionWrote) {
    const std::string newer = "ZNEW" + Int(4 + 5) + "newer";
    const std::string bytes =
        "VGZ1" + Int(1) + newer + NodeRecord("NGRP", "Work", 1, 0, Int(0) + Int(0)) + newer +
        NodeRecord("TODO", "", 2, 1, Text("Call") + Text("") + Int(1)) +
        ExtensionRecord(2, {{"uid", "first"}}) + ExtensionRecord(2, {{"uid", "second"}}) + newer;
    WriteWholeFile("newer.vnt", bytes);
    EXPECT_EQ(Run({"--save-as", "copy.vnt", "newer.vnt"}), 0);
    EXPECT_EQ(ReadWholeFile("copy.vnt").size(), bytes.size()) << "nothing dropped";
    EXPECT_EQ(Run({"--save-as", "copy2.vnt", "copy.vnt"}), 0);
    EXPECT_EQ(ReadWholeFile("copy2.vnt"), bytes);
}

// Items that sort alike (calls to one person, for different reasons) keep the order the
// list shows across saves and reopens. A file of the older record order lists as it always
// did: its records read from the last back.
TEST_F(CommandLineTest, ItemsThatSortAlikeKeepTheirOrderAcrossSaves) {
    auto call = [](int id, const char* reason) {
        return NodeRecord("CALL", "", id, 1,
                          Int(0) + Text("Ann") + Text(reason) + Text("") + Text("") + Int(0));
    };
    WriteWholeFile("older.vnt", "VGZ1" + Int(1) +
                                    NodeRecord("NGRP", "Ties", 1, 0, Int(0) + Int(0)) +
                                    call(2, "a") + call(3, "b") + call(4, "c"));
    VCollection c;
    auto* folder = AddNode<VGroup>(c);
    folder->name = "Ties";
    for (const char* reason : {"a", "b", "c", "d"}) {
        auto* item = AddNode<VCall>(c, folder);
        item->who = "Ann";
        item->reason = reason;
    }
    ASSERT_TRUE(c.Save("newer.vnt"));

    struct Case {
        const char* file;
        const char* listed;
    } cases[] = {{"older.vnt", "Call Ann (c)\nCall Ann (b)\nCall Ann (a)\n"},
                 {"newer.vnt", "Call Ann (d)\nCall Ann (c)\nCall Ann (b)\nCall Ann (a)\n"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.file);
        for (int round = 0; round < 10; ++round) {
            ASSERT_EQ(Run({"--list", "--folder", "Ties", k.file}), 0) << err;
            EXPECT_EQ(out, k.listed) << "after " << round << " saves";
            ASSERT_EQ(Run({"--save-as", k.file, k.file}), 0) << err;
        }
    }
}

// Item texts with line breaks, tabs or terminal commands in them print as one line each,
// the controls written out.
TEST_F(CommandLineTest, ListedTextsCannotForgeLinesOrCommandTheTerminal) {
    setenv("LC_ALL", "C.UTF-8", 1);
    VCollection c;
    auto* folder = AddNode<VGroup>(c);
    folder->name = "In\tbox\x1b]0;title\x07";
    AddNode<VTodo>(c, folder)->what = "Pay\r\n2026-12-01 09:00 FAKE\x1b[2J";
    ASSERT_TRUE(c.Save("forged.vnt"));
    EXPECT_EQ(Run({"--list", "forged.vnt"}), 0);
    EXPECT_EQ(out, "In\\tbox\\x1b]0;title\\x07\n"
                   "  Pay\\r\\n2026-12-01 09:00 FAKE\\x1b[2J\n");
}

TEST_F(CommandLineTest, BadInputEndsWithACodeAndAReason) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"--list"}, "vantry: --list needs a FILE"},
        {{"--list", "--show", "9", "doc.vnt"}, "vantry: Unknown filter '9'"},
        {{"--list", "--show", "x", "doc.vnt"}, "vantry: Unknown filter 'x'"},
        {{"--list", "--folder", "Nowhere", "doc.vnt"}, "vantry: no folder 'Nowhere' in doc.vnt"},
        {{"--list", "--colour", "red", "doc.vnt"},
         "vantry: unknown or incomplete option '--colour'"},
        {{"--save-as", "out.vnt"}, "vantry: --save-as needs OUT and FILE"},
        {{"--frobnicate"}, "vantry: unknown option '--frobnicate'"},
        {{"--list", "a.vnt", "b.vnt"}, "vantry: one FILE only ('a.vnt' and 'b.vnt')"},
        {{"--list", "--export-html", "doc.vnt"}, "can't go together"},
        {{"--folder", "Work", "doc.vnt"}, "these options need --list"},
        {{"doc.vnt", "--list", "--show"}, "unknown or incomplete option '--show'"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 1) << c.reason;
        EXPECT_THAT(err, HasSubstr(c.reason));
    }
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run({"--list", "missing.vnt"}), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: Can't open file (missing.vnt).\n");
    EXPECT_EQ(Run({"doc.vnt"}), -1) << "a document to open in the window";
    EXPECT_EQ(Run({"--", "--odd name.vnt"}), -1) << "a document whose name looks like an option";
    EXPECT_EQ(Run({}), -1);
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out, "Vantry v4.0.4\n");
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_THAT(out, HasSubstr("--export-html"));
}

// The real program, as a script would run it.
TEST_F(CommandLineTest, TheProgramItself) {
    auto run = [](const std::string& arguments, std::string& output) {
        std::FILE* pipe =
            popen((std::string(VANTRY_BINARY) + " " + arguments + " 2>&1").c_str(), "r");
        output.clear();
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, n);
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string output;
    EXPECT_EQ(run("--list --date-format 2 --folder 'Work / Sub' doc.vnt", output), 0);
    EXPECT_THAT(output, HasSubstr("Write <report> (Fri 06-25-2010 upto 06-27-2010) (Anna Zee)\n"));
    EXPECT_EQ(run("--list nothing-here.vnt", output), 1);
    EXPECT_EQ(output, "Error: Can't open file (nothing-here.vnt).\n");
    EXPECT_EQ(run("--export-html doc.vnt", output), 0);
    EXPECT_THAT(ReadWholeFile("export.htm"), HasSubstr("<b>All folders - on "));
}

TEST(ViewFlags, StateFilterEntriesAndFilterBits) {
    struct Case {
        int index;
        std::uint32_t viewBits;
        std::uint32_t filterBits;
    } cases[] = {
        {0, 0x110, 5}, {1, 0x310, 13}, {2, 0x200, 8}, {3, 0x002, 2}, {4, 0x100, 4}, {5, 0x312, 15},
    };
    for (const Case& c : cases) {
        std::uint32_t view = ApplyStateFilter(0x0E1 | 0x400, c.index);
        EXPECT_EQ(view & 0x312, c.viewBits) << c.index;
        EXPECT_EQ(view & ~0x312u, 0x0E1u | 0x400u) << "other view bits are kept";
        EXPECT_EQ(FilterFlagsFor(view, 0x20), c.filterBits | 16 | 0x20) << c.index;
    }
    EXPECT_EQ(ApplyStateFilter(0x12, 6), 0x12u) << "no entry: nothing changes";
    // "all items", then "only finished items": exactly bit 0x2 of the four is left.
    EXPECT_EQ(ApplyStateFilter(ApplyStateFilter(0x4E1, 5), 3), 0x4E3u);
    EXPECT_STREQ(StateFilterEntry(1), "active && inactive items");
    EXPECT_EQ(StateFilterEntry(6), nullptr);
}

} // namespace
