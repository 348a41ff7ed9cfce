// vantry --export-ics and --import-ics, as scripts run them.
#include "app/command_line.h"

#include "foundation/qregularfile.h"
#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/command_line_run.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <regex>
#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

class IcsCommandLineTest : public CommandLineRunTest {
  protected:
    void SetUp() override {
        CommandLineRunTest::SetUp();
        // Work / "Write report" (an action, 25-27 June 2010), Work / "Buy milk" (done),
        // Home / "Water plants".
        VCollection c;
        auto* work = AddNode<VGroup>(c);
        work->name = "Work";
        auto* task = AddNode<VTask>(c, work);
        task->what = "Write report";
        task->flags = 0;
        task->startDate = "2010-06-25";
        task->duration = 3;
        auto* milk = AddNode<VTodo>(c, work);
        milk->what = "Buy milk";
        milk->flags = DONE;
        auto* home = AddNode<VGroup>(c);
        home->name = "Home";
        auto* plants = AddNode<VTodo>(c, home);
        plants->what = "Water plants";
        ASSERT_TRUE(c.Save("doc.vnt"));
        WriteWholeFile("vantry.ini", "global\n{\n  dateformat=1\n}\n");
    }

    // The UID and SUMMARY lines of an export, in order.
    static std::vector<std::string> Lines(const std::string& text, const char* name) {
        std::vector<std::string> lines;
        std::regex line(std::string("\n") + name + ":([^\r]*)\r");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
             it != std::sregex_iterator(); ++it)
            lines.push_back((*it)[1]);
        return lines;
    }
};

TEST_F(IcsCommandLineTest, ExportWritesWhatTheListShowsWithUidsKeptInTheDocument) {
    std::string before = ReadWholeFile("doc.vnt");
    EXPECT_EQ(Run({"--export-ics", "all.ics", "--show", "5", "doc.vnt"}), 0) << err;
    EXPECT_EQ(out, "Exported 3 items to all.ics.\n");
    std::string first = ReadWholeFile("all.ics");
    EXPECT_THAT(Lines(first, "SUMMARY"),
                ::testing::UnorderedElementsAre("Write report", "Buy milk", "Water plants"));
    EXPECT_NE(ReadWholeFile("doc.vnt"), before) << "the document keeps the new UIDs";
    std::string withUids = ReadWholeFile("doc.vnt");

    EXPECT_EQ(Run({"doc.vnt", "--show", "5", "--export-ics", "again.ics"}), 0);
    EXPECT_EQ(Lines(ReadWholeFile("again.ics"), "UID"), Lines(first, "UID"));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), withUids) << "nothing new to keep: not saved again";

    EXPECT_EQ(Run({"--export-ics", "work.ics", "--folder", "Work", "doc.vnt"}), 0);
    EXPECT_EQ(Lines(ReadWholeFile("work.ics"), "SUMMARY"), std::vector<std::string>{"Write report"})
        << "one folder, the done to-do hidden as --list hides it";
    EXPECT_THAT(ReadWholeFile("work.ics"), HasSubstr("X-WR-CALNAME:Work\r\n"));
    EXPECT_EQ(Run({"--export-ics", "plants.ics", "--filter", "PLANTS", "doc.vnt"}), 0);
    EXPECT_EQ(Lines(ReadWholeFile("plants.ics"), "SUMMARY"),
              std::vector<std::string>{"Water plants"});
}

TEST_F(IcsCommandLineTest, AFailedExportLeavesTheDocumentAlone) {
    std::filesystem::create_directory("folder");
    const std::string before = ReadWholeFile("doc.vnt");
    struct Case {
        const char* target;
        const char* reason;
    } cases[] = {
        {"/dev/null", "vantry: Can't open file (/dev/null) for writing: it is not a regular file."},
        {"folder", "vantry: Can't open file (folder) for writing: it is not a regular file."},
        {"no/such/dir/out.ics", "vantry: Can't open file (no/such/dir/out.ics) for writing."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run({"--export-ics", c.target, "doc.vnt"}), 1) << c.target;
        EXPECT_THAT(err, HasSubstr(c.reason));
        EXPECT_EQ(out, "") << c.target;
        EXPECT_EQ(ReadWholeFile("doc.vnt"), before) << c.target << ": no UIDs kept for nothing";
    }
    EXPECT_TRUE(std::filesystem::is_directory("folder"));
}

// What changes nothing in the document writes nothing: the file is not even replaced by
// the same bytes.
TEST_F(IcsCommandLineTest, ACommandThatChangesNothingLeavesTheFileAsItIs) {
    auto calendar = [](const std::string& summary) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\nBEGIN:VTODO\r\nUID:t1\r\n"
               "SUMMARY:" +
               summary + "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    };
    WriteWholeFile("in.ics", calendar("Paint"));
    ASSERT_EQ(Run({"--import-ics", "in.ics", "doc.vnt"}), 0) << err;
    ASSERT_EQ(Run({"--export-ics", "all.ics", "--show", "5", "doc.vnt"}), 0) << err;
    auto identity = [] {
        struct stat info {};
        stat("doc.vnt", &info);
        return std::pair{info.st_ino, ReadWholeFile("doc.vnt")};
    };
    const auto before = identity();
    EXPECT_EQ(Run({"--import-ics", "in.ics", "doc.vnt"}), 0) << err;
    EXPECT_EQ(out, "Imported 0 new and 1 updated items from in.ics.\n");
    EXPECT_EQ(identity(), before) << "the same item imported again";
    EXPECT_EQ(Run({"--export-ics", "again.ics", "--show", "5", "doc.vnt"}), 0) << err;
    EXPECT_EQ(identity(), before) << "every item had its UID";

    // A real change is saved.
    WriteWholeFile("in.ics", calendar("Paint the door"));
    EXPECT_EQ(Run({"--import-ics", "in.ics", "doc.vnt"}), 0) << err;
    EXPECT_NE(identity().second, before.second);
    EXPECT_EQ(Run({"--list", "--folder", "Imported", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Paint the door\n");
}

TEST_F(IcsCommandLineTest, ImportAddsOnceAndSavesTheDocument) {
    WriteWholeFile("in.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\n"
                             "BEGIN:VEVENT\r\nUID:e1\r\nSUMMARY:Meeting\r\n"
                             "DTSTART;VALUE=DATE:20101201\r\nEND:VEVENT\r\n"
                             "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Paint\r\nEND:VTODO\r\n"
                             "END:VCALENDAR\r\n");
    EXPECT_EQ(Run({"--import-ics", "in.ics", "doc.vnt"}), 0) << err;
    EXPECT_EQ(out, "Imported 2 new and 0 updated items from in.ics.\n");
    EXPECT_EQ(Run({"--list", "--folder", "Imported", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Meeting (Wed 01-12-2010)\nPaint\n");

    EXPECT_EQ(Run({"--import-ics", "in.ics", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Imported 0 new and 2 updated items from in.ics.\n");
    EXPECT_EQ(Run({"--list", "--show", "5", "doc.vnt"}), 0);
    EXPECT_EQ(out, "Home\n  Water plants\nImported\n  Meeting (Wed 01-12-2010)\n  Paint\n"
                   "Work\n  Write report (Fri 25-06-2010 upto 27-06-2010)\n  Buy milk\n")
        << "nothing added twice, nothing taken away";
}

TEST_F(IcsCommandLineTest, ABrokenFileSaysWhereAndLeavesTheDocumentAlone) {
    WriteWholeFile("broken.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
                                 "BEGIN:VTODO\r\nSUMMARY:Fine\r\nEND:VTODO\r\n"
                                 "BEGIN:VTODO\r\nSUMMARY:Cut off\r\n");
    std::string before = ReadWholeFile("doc.vnt");
    EXPECT_EQ(Run({"--import-ics", "broken.ics", "doc.vnt"}), 1);
    EXPECT_EQ(err, "vantry: Can't import broken.ics: the VTODO that begins at line 6 has no END. "
                   "Nothing was imported.\n");
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
    EXPECT_EQ(Run({"--import-ics", "missing.ics", "doc.vnt"}), 1);
    EXPECT_THAT(err, HasSubstr("Can't open file (missing.ics): No such file or directory. "
                               "Nothing was imported."));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);

    struct Case {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"--export-ics"}, "vantry: --export-ics needs OUT and FILE"},
        {{"--export-ics", "out.ics"}, "vantry: --export-ics needs OUT and FILE"},
        {{"--import-ics", "in.ics"}, "vantry: --import-ics needs IN and FILE"},
        {{"--import-ics", "in.ics", "--export-ics", "out.ics", "doc.vnt"}, "can't go together"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 1) << c.reason;
        EXPECT_THAT(err, HasSubstr(c.reason));
    }
}

TEST_F(IcsCommandLineTest, ImportStartsADocumentThatDoesNotExistYet) {
    WriteWholeFile("in.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\n"
                             "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Paint\r\nEND:VTODO\r\n"
                             "END:VCALENDAR\r\n");
    EXPECT_EQ(Run({"--import-ics", "in.ics", "new.vnt"}), 0) << err;
    EXPECT_EQ(out, "Imported 1 new and 0 updated items from in.ics.\n");
    EXPECT_EQ(Run({"--list", "new.vnt"}), 0) << err;
    EXPECT_EQ(out, "Imported\n  Paint\n");

    // A file that is there but holds no document is refused and left as it was.
    for (const char* damaged : {"hello\n", "VGZ1"}) {
        WriteWholeFile("other.vnt", damaged);
        EXPECT_EQ(Run({"--import-ics", "in.ics", "other.vnt"}), 1);
        EXPECT_THAT(err, HasSubstr("other.vnt: not a Vantry document"));
        EXPECT_EQ(ReadWholeFile("other.vnt"), damaged);
    }
    // A missing calendar starts nothing either.
    EXPECT_EQ(Run({"--import-ics", "missing.ics", "none.vnt"}), 1);
    EXPECT_FALSE(QIsReadableRegularFile("none.vnt"));
}

TEST_F(IcsCommandLineTest, ExportToADashWritesTheCalendarAloneToStandardOutput) {
    EXPECT_EQ(Run({"--export-ics", "-", "--show", "5", "doc.vnt"}), 0) << err;
    EXPECT_EQ(out.substr(0, 17), "BEGIN:VCALENDAR\r\n");
    EXPECT_EQ(out.substr(out.size() - 15), "END:VCALENDAR\r\n") << "nothing after it";
    EXPECT_THAT(Lines(out, "SUMMARY"),
                ::testing::UnorderedElementsAre("Write report", "Buy milk", "Water plants"));
    EXPECT_FALSE(QIsReadableRegularFile("-")) << "no file named -";
    std::string first = out;
    EXPECT_EQ(Run({"--export-ics", "again.ics", "--show", "5", "doc.vnt"}), 0);
    EXPECT_EQ(Lines(ReadWholeFile("again.ics"), "UID"), Lines(first, "UID"))
        << "the UIDs given were kept";
}

// Every item of a large folder reaches the list, the export and the agenda.
TEST_F(IcsCommandLineTest, AFolderOfSixHundredItemsIsListedExportedAndInTheAgendaWhole) {
    VCollection c;
    auto* big = AddNode<VGroup>(c);
    big->name = "Big";
    for (int i = 0; i < 600; ++i) {
        auto* todo = AddNode<VTodo>(c, big);
        todo->what = ("item " + std::to_string(i)).c_str();
        VSchedule due;
        due.dueDay = DayNumber(2026, 12, 1 + i % 28);
        SetSchedule(c, todo, due);
    }
    ASSERT_TRUE(c.Save("big.vnt"));
    EXPECT_EQ(Run({"--list", "--folder", "Big", "big.vnt"}), 0) << err;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 600);
    EXPECT_EQ(Run({"--export-ics", "big.ics", "big.vnt"}), 0) << err;
    EXPECT_EQ(out, "Exported 600 items to big.ics.\n");
    EXPECT_EQ(Lines(ReadWholeFile("big.ics"), "SUMMARY").size(), 600u);
    EXPECT_EQ(Run({"--agenda", "--from", "2026-12-01", "--to", "2026-12-31", "big.vnt"}), 0) << err;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 600);
}

// 100,000 to-dos, each inside the one before, would overflow the stack in libical.
TEST_F(IcsCommandLineTest, ACalendarNestedTooDeepIsRefusedByItsLine) {
    std::string nested = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 100000; ++i)
        nested += "BEGIN:VTODO\r\n";
    for (int i = 0; i < 100000; ++i)
        nested += "END:VTODO\r\n";
    WriteWholeFile("nested.ics", nested + "END:VCALENDAR\r\n");
    std::string before = ReadWholeFile("doc.vnt");
    EXPECT_EQ(Run({"--import-ics", "nested.ics", "doc.vnt"}), 1);
    EXPECT_EQ(err, "vantry: Can't import nested.ics: line 33 begins a component nested more than "
                   "32 deep. Nothing was imported.\n");
    EXPECT_EQ(out, "");
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
}

} // namespace

namespace {

// 20,000 folders, each inside the one before, each holding one to-do named after its
// folder: the export names each item's own folder, and its work grows with the number of
// items, not with the items times the depth of their folders (which was minutes and a
// gigabyte). The time goal is bench/ical_bench's; the ceiling here only catches a walk
// that grows with the square of the nesting again, on a busy machine or a sanitizer's.
TEST_F(IcsCommandLineTest, DeeplyNestedFoldersExportEachItemsOwnFolder) {
    constexpr int DEPTH = 20000;
    {
        VCollection c;
        VNode* folder = c.root;
        for (int i = 0; i < DEPTH; ++i) {
            folder = AddNode<VGroup>(c, folder);
            folder->name = ("F" + std::to_string(i)).c_str();
            AddNode<VTodo>(c, folder)->what = ("T" + std::to_string(i)).c_str();
        }
        ASSERT_TRUE(c.Save("deep.vnt"));
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"--export-ics", "deep.ics", "deep.vnt"}), 0) << err;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 100.0);

    std::string text = ReadWholeFile("deep.ics");
    std::vector<std::string> summaries = Lines(text, "SUMMARY");
    std::vector<std::string> categories = Lines(text, "CATEGORIES");
    ASSERT_EQ(summaries.size(), (std::size_t)DEPTH);
    ASSERT_EQ(categories.size(), (std::size_t)DEPTH);
    for (int i = 0; i < DEPTH; ++i)
        ASSERT_EQ("F" + summaries[i].substr(1), categories[i]) << "item " << i;
}

} // namespace
