// A damaged document file in the window: what it holds is shown, the user is told which
// file and how much of it could be read, and saving over it needs a yes. A file that
// holds no document at all is refused.
#include "app/skedradoc.h"

#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_host.h"
#include "support/scripted_ui.h"
#include "views/viewstate.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

class DamagedDocumentTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        VCollection c;
        for (int i = 0; i < 20; ++i) {
            auto* folder = AddNode<VGroup>(c);
            folder->name = ("Folder " + std::to_string(i)).c_str();
            AddNode<VTodo>(c, folder)->what = "something to do";
        }
        ASSERT_TRUE(c.Save("whole.vnt"));
        whole = ReadWholeFile("whole.vnt");
        WriteWholeFile("half.vnt", whole.substr(0, whole.size() / 2));
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

} // namespace
