// A damaged document file in the window: what it holds is shown, the user is told which
// file and how much of it could be read, and saving over it needs a yes. A file that
// holds no document at all is refused. On the command line, where nobody can say yes,
// a mode that would save over it refuses.
#include "app/skedraDoc.h"

#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/command_line_run.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_host.h"
#include "support/scripted_ui.h"
#include "views/view_state.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

// whole.vnt: 20 folders with a to-do each; half.vnt: its first half. Answers whole.vnt.
std::string SaveWholeAndHalf() {
    VCollection c;
    for (int i = 0; i < 20; ++i) {
        auto* folder = AddNode<VGroup>(c);
        folder->name = ("Folder " + std::to_string(i)).c_str();
        AddNode<VTodo>(c, folder)->what = "something to do";
    }
    EXPECT_TRUE(c.Save("whole.vnt"));
    std::string whole = ReadWholeFile("whole.vnt");
    WriteWholeFile("half.vnt", whole.substr(0, whole.size() / 2));
    return whole;
}

class DamagedDocumentTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        whole = SaveWholeAndHalf();
        doc = std::make_unique<CSkedraDoc>(dir.File("vantry").c_str());
        doc->SetHost(&host);
        doc->AttachView(&view);
        view.LoadSettings(*doc);
    }
    void TearDown() override {
        doc.reset();
        LogTest::TearDown();
    }

    std::string whole;
    RecordingHost host;
    ItemViewState view;
    ScriptedUI ui;
    std::unique_ptr<CSkedraDoc> doc;
};

TEST_F(DamagedDocumentTest, OpeningSaysWhichFileAndHowMuchWasRead) {
    ASSERT_TRUE(doc->OpenDocument("half.vnt"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_THAT(ui.asked[0].text, HasSubstr("half.vnt is damaged: only "));
    EXPECT_THAT(ui.asked[0].text,
                HasSubstr(" of " + std::to_string(whole.size() / 2) + " bytes could be read"));
    EXPECT_EQ(ui.asked[0].icon, MsgIcon::Warning);
    int nodes = doc->Collection()->CountTree(doc->Collection()->root);
    EXPECT_GT(nodes, 1) << "what could be read is there";
    EXPECT_LT(nodes, 41);

    ui.asked.clear();
    ASSERT_TRUE(doc->OpenDocument("whole.vnt"));
    EXPECT_TRUE(ui.asked.empty()) << "a whole file is no news";
}

TEST_F(DamagedDocumentTest, SavingOverADamagedFileAsksFirst) {
    ASSERT_TRUE(doc->OpenDocument("half.vnt"));
    const std::string half = ReadWholeFile("half.vnt");
    ui.asked.clear();
    ui.answers = {MsgAnswer::No};
    EXPECT_FALSE(doc->SaveDocument("half.vnt"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].buttons, MsgButtons::YesNo);
    EXPECT_THAT(ui.asked[0].text, HasSubstr("half.vnt is damaged"));
    EXPECT_EQ(ReadWholeFile("half.vnt"), half) << "the file stays as it was";

    // Under another name no question: the damaged file stays for another try.
    ui.asked.clear();
    ASSERT_TRUE(doc->SaveDocument("rescued.vnt"));
    EXPECT_TRUE(ui.asked.empty());
    EXPECT_EQ(ReadWholeFile("half.vnt"), half);

    ui.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(doc->SaveDocument(dir.File("half.vnt").c_str())) << "the same file by any path";
    EXPECT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ReadWholeFile("half.vnt"), ReadWholeFile("rescued.vnt"));
    ui.asked.clear();
    EXPECT_TRUE(doc->SaveDocument("half.vnt"));
    EXPECT_TRUE(ui.asked.empty()) << "asked once: the file is whole now";
}

TEST_F(DamagedDocumentTest, AFileWithoutADocumentIsRefused) {
    ASSERT_TRUE(doc->OpenDocument("whole.vnt"));
    VCollection* before = doc->Collection();
    for (const char* bytes : {"", "Dear diary,\ntoday nothing.\n"}) {
        WriteWholeFile("other.vnt", bytes);
        ui.asked.clear();
        EXPECT_FALSE(doc->OpenDocument("other.vnt")) << bytes;
        ASSERT_EQ(ui.asked.size(), 1u);
        EXPECT_EQ(ui.asked[0].text, "Can't open other.vnt: not a Vantry document.");
        EXPECT_EQ(doc->Collection(), before) << "the open document stays";
    }
}

class DamagedCommandLineTest : public CommandLineRunTest {
  protected:
    void SetUp() override {
        CommandLineRunTest::SetUp();
        SaveWholeAndHalf();
        half = ReadWholeFile("half.vnt");
        WriteWholeFile("in.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\n"
                                 "BEGIN:VTODO\r\nUID:t1\r\nSUMMARY:Paint\r\nEND:VTODO\r\n"
                                 "END:VCALENDAR\r\n");
    }
    std::string half;
};

TEST_F(DamagedCommandLineTest, ModesThatWouldSaveOverItRefuseAndWriteNothing) {
    std::filesystem::create_symlink("half.vnt", "link.vnt");
    struct Case {
        std::vector<std::string> args;
        const char* refusal;
    } cases[] = {
        // Its to-dos get UIDs, which only a save over the file would keep.
        {{"--export-ics", "out.ics", "half.vnt"}, "--export-ics would save over the damaged"},
        {{"--import-ics", "in.ics", "half.vnt"}, "--import-ics would save over the damaged"},
        {{"--save-as", "half.vnt", "half.vnt"}, "--save-as would save over the damaged"},
        {{"--save-as", dir.File("half.vnt"), "half.vnt"}, "--save-as would save over the damaged"},
        {{"--save-as", "link.vnt", "half.vnt"}, "--save-as would save over the damaged"},
    };
    for (const Case& c : cases) {
        struct stat before {};
        ASSERT_EQ(stat("half.vnt", &before), 0);
        EXPECT_EQ(Run(c.args), 1) << c.refusal;
        EXPECT_THAT(err, HasSubstr("vantry: warning: half.vnt is damaged: only ")) << c.refusal;
        EXPECT_THAT(err, HasSubstr(c.refusal)) << c.args[1];
        EXPECT_THAT(err, HasSubstr("nothing was written")) << c.refusal;
        EXPECT_THAT(err, HasSubstr("vantry --save-as OUT half.vnt")) << "the way out";
        EXPECT_EQ(out, "") << c.refusal;
        EXPECT_EQ(ReadWholeFile("half.vnt"), half) << c.refusal;
        struct stat after {};
        ASSERT_EQ(stat("half.vnt", &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino) << c.refusal << ": not even rewritten";
        EXPECT_FALSE(std::filesystem::exists("out.ics")) << c.refusal;
    }
}

TEST_F(DamagedCommandLineTest, SavingElsewhereIsTheRescueAndAnExportThatChangesNothingRuns) {
    EXPECT_EQ(Run({"--save-as", "rescued.vnt", "half.vnt"}), 0) << err;
    EXPECT_EQ(ReadWholeFile("half.vnt"), half);
    EXPECT_EQ(Run({"--list", "rescued.vnt"}), 0);
    EXPECT_THAT(out, HasSubstr("Folder 0\n  something to do\n"));

    // Items that have their UIDs already: the export changes nothing in the document.
    ASSERT_EQ(Run({"--export-ics", "first.ics", "whole.vnt"}), 0) << err;
    std::string withUids = ReadWholeFile("whole.vnt");
    WriteWholeFile("half.vnt", withUids.substr(0, withUids.size() / 2));
    half = ReadWholeFile("half.vnt");
    EXPECT_EQ(Run({"--export-ics", "out.ics", "half.vnt"}), 0) << err;
    EXPECT_THAT(err, HasSubstr("vantry: warning: half.vnt is damaged"));
    EXPECT_THAT(out, HasSubstr(" items to out.ics."));
    EXPECT_EQ(ReadWholeFile("half.vnt"), half);
}

} // namespace
