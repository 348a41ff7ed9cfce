#include "app/skedraDoc.h"

#include "foundation/qreplace.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/file_size_limit.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_host.h"
#include "support/scripted_ui.h"
#include "views/view_flags.h"
#include "views/view_state.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

class DocumentTest : public LogTest {
  protected:
    // A document for a program living in the test's folder, with this settings text.
    std::unique_ptr<CSkedraDoc> Make(const std::string& settings = "") {
        if (!settings.empty()) WriteWholeFile("vantry.ini", settings);
        auto doc = std::make_unique<CSkedraDoc>(dir.File("vantry").c_str());
        doc->SetHost(&host);
        doc->AttachView(&view);
        view.LoadSettings(*doc);
        return doc;
    }

    RecordingHost host;
    ItemViewState view;
    ScriptedUI ui;
};

TEST_F(DocumentTest, SettingsLiveBesideTheProgram) {
    EXPECT_STREQ(ProgramSettings::PathFor("C:/apps/x/prog.exe").Text(), "C:/apps/x/vantry.ini");
    EXPECT_STREQ(ProgramSettings::PathFor("C:\\apps\\prog.exe").Text(), "C:\\apps/vantry.ini");
    EXPECT_STREQ(ProgramSettings::PathFor("prog").Text(), "prog/vantry.ini");
    auto doc = Make();
    EXPECT_THAT(Log(), HasSubstr("iniPath " + dir.File("vantry.ini") + " [program_settings:"));
    EXPECT_EQ(CSkedraDoc::Current(), doc.get());
}

TEST_F(DocumentTest, DefaultsWhenTheSettingsHoldNothing) {
    auto doc = Make();
    EXPECT_EQ(view.viewFlags, 272u);
    EXPECT_EQ(view.viewType, 0);
    EXPECT_EQ(view.ganttDaysInView, 56);
    EXPECT_EQ(doc->Collection()->dateFormat, 0);
    EXPECT_EQ(doc->Collection()->filterFlags, 5u);
    EXPECT_EQ(doc->Collection()->root->next, nullptr);
}

TEST_F(DocumentTest, StoredViewFlagsNeedOneOfTheStateBits) {
    struct Case {
        const char* stored;
        std::uint32_t flags;
    } cases[] = {{"2", 2}, {"4", 0x14}, {"0x20", 0x30}, {"0x400", 0x410}, {"0", 0x110}};
    for (const Case& c : cases) {
        ItemViewState fresh;
        auto doc =
            Make(std::string("global\n{\n  view_flags=") + c.stored + "\n  dateformat=2\n}\n");
        fresh.LoadSettings(*doc);
        EXPECT_EQ(fresh.viewFlags, c.flags) << c.stored;
        EXPECT_EQ(doc->Collection()->dateFormat, 2);
    }
}

TEST_F(DocumentTest, StateFilterChangesOneBitAtATime) {
    auto doc = Make("global\n{\n  view_flags=0x4E1\n}\n");
    doc->Filters().OnStateFilter(5);
    doc->Filters().OnStateFilter(3);
    EXPECT_EQ(view.viewFlags & 0x312, 0x002u) << "only finished items";
    EXPECT_EQ(view.viewFlags & ~0x312u, 0x4E1u) << "the other bits are not touched";
    EXPECT_EQ(doc->Collection()->filterFlags, 2u | 16u);
    EXPECT_EQ(doc->GetGlobalInt("view_flags", 0), (int)view.viewFlags);
    EXPECT_EQ(host.refills, 2) << "the tree follows each filter once, not each bit";
    EXPECT_GE(host.updates, 2) << "and so do the views";

    std::uint32_t before = view.viewFlags;
    doc->Filters().OnStateFilter(6);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Unknown filter");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(view.viewFlags, before);
}

TEST_F(DocumentTest, TextSortAndContactFilters) {
    auto doc = Make();
    doc->Filters().OnTextFilter("abc");
    EXPECT_STREQ(doc->Collection()->filterText.Text(), "ABC");
    doc->Filters().OnClearFilter();
    EXPECT_STREQ(doc->Collection()->filterText.Text(), "");
    view.needsRebuild = false;
    int updates = host.updates;
    doc->Filters().OnSort(1);
    EXPECT_EQ(doc->Collection()->sortMode, 1);
    EXPECT_TRUE(view.needsRebuild) << "the rows are sorted again at once";
    EXPECT_GT(host.updates, updates) << "and shown";

    auto* bo = AddNode<VContact>(*doc->Collection());
    bo->firstName = "Bo";
    bo->lastName = "Smit";
    auto* anna = AddNode<VContact>(*doc->Collection());
    anna->firstName = "Anna";
    anna->lastName = "Zee";
    host.contactSelection = 2;
    doc->RefreshContactList();
    EXPECT_EQ(host.contacts, (std::vector<std::string>{"<all contacts>", "Anna Zee", "Bo Smit"}));
    EXPECT_EQ(host.contactSelection, 2) << "the remembered entry stays chosen";
    doc->Filters().OnContactFilter(1);
    EXPECT_EQ(doc->Collection()->contactFilter, anna);
    doc->Filters().OnContactFilter(3);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Bug in OnContactFilterLBox(); n out of range");
    EXPECT_EQ(doc->Collection()->contactFilter, anna);
    doc->Filters().OnContactFilter(0);
    EXPECT_EQ(doc->Collection()->contactFilter, nullptr);

    host.contactSelection = 7;
    doc->RefreshContactList();
    EXPECT_EQ(host.contactSelection, 0) << "a remembered entry past the list falls back to 0";
}

TEST_F(DocumentTest, GanttWidthInWeeks) {
    auto doc = Make();
    view.ganttDaysInView = 7;
    doc->Span().ShowLessWeeks();
    EXPECT_EQ(view.ganttDaysInView, 7);
    EXPECT_TRUE(host.modified) << "still marks the document modified";
    doc->Span().ShowMoreWeeks();
    EXPECT_EQ(view.ganttDaysInView, 14);
    EXPECT_EQ(doc->Settings().File().GetInt("global.gantt.days_in_view", 0), 14);
}

// Each refresh sequence is one call and asks the windows in its own order.
TEST_F(DocumentTest, RefreshSequencesInTheirOrder) {
    auto doc = Make();
    auto* folder = AddNode<VGroup>(*doc->Collection());
    auto* todo = AddNode<VTodo>(*doc->Collection(), folder);
    struct Case {
        const char* name;
        std::function<void()> run;
        std::vector<std::string> calls;
        bool rebuild;
    };
    const Case cases[] = {
        {"items changed", [&] { doc->ItemsChanged(); }, {"redraw", "modified", "contacts"}, true},
        {"item edited", [&] { doc->ItemEdited(todo); }, {"contacts", "modified", "redraw"}, true},
        {"folder edited",
         [&] { doc->ItemEdited(folder); },
         {"tree", "contacts", "modified", "redraw"},
         true},
        {"activity changed",
         [&] { doc->ActivityChanged(); },
         {"tree", "redraw", "modified", "contacts"},
         true},
        {"view flags changed", [&] { doc->ViewFlagsChanged(); }, {"tree", "redraw"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.calls.clear();
        view.needsRebuild = false;
        c.run();
        EXPECT_EQ(host.calls, c.calls);
        EXPECT_EQ(view.needsRebuild, c.rebuild);
    }
    view.viewFlags = 0x10 | 0x200; // undone and inactive items
    doc->ViewFlagsChanged();
    EXPECT_EQ(doc->GetGlobalInt("view_flags", 0), 0x210);
    EXPECT_EQ(doc->Collection()->filterFlags & 15, 1u | 8u) << "copied to the filters";
}

// What is made from the document (the remote view's calendar feed) is made again once
// the change sequence moved: every announced change moves it, a save does not.
TEST_F(DocumentTest, EveryAnnouncedChangeMovesTheChangeSequence) {
    auto doc = Make();
    auto* folder = AddNode<VGroup>(*doc->Collection());
    auto* todo = AddNode<VTodo>(*doc->Collection(), folder);
    VNode* viewFolder = folder;
    struct Case {
        const char* name;
        std::function<void()> run;
        bool moves;
    } cases[] = {
        {"items changed", [&] { doc->ItemsChanged(); }, true},
        {"item edited",
         [&] {
             todo->what = "edited";
             doc->ItemEdited(todo);
         },
         true},
        {"activity changed", [&] { doc->ActivityChanged(); }, true},
        {"folder opened", [&] { doc->FolderExpansionChanged(folder); }, true},
        {"saved", [&] { ASSERT_TRUE(doc->SaveDocument("doc.vnt")); }, false},
        {"undone", [&] { ASSERT_TRUE(doc->StepHistory(true, viewFolder)); }, true},
        {"redone", [&] { ASSERT_TRUE(doc->StepHistory(false, viewFolder)); }, true},
        {"opened", [&] { ASSERT_TRUE(doc->OpenDocument("doc.vnt")); }, true},
        {"new", [&] { ASSERT_TRUE(doc->OnNewDocument()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint64_t before = doc->ChangeSequence();
        c.run();
        EXPECT_EQ(doc->ChangeSequence() != before, c.moves);
    }
}

TEST_F(DocumentTest, SettingsAreWrittenAtTheEndOnlyWhenChanged) {
    {
        auto doc = Make("global\n{\n  view_type=1\n}\n");
        doc->SetGlobalInt("view_type", 1);
    }
    EXPECT_EQ(ReadWholeFile("vantry.ini"), "global\n{\n  view_type=1\n}\n");
    {
        auto doc = Make();
        doc->Settings().SetGlobalString("note", "x");
    }
    EXPECT_THAT(ReadWholeFile("vantry.ini"), HasSubstr("note=x"));
}

TEST_F(DocumentTest, SaveAndOpenRoundTrip) {
    auto doc = Make();
    AddNode<VTodo>(*doc->Collection())->what = "remember me";
    ASSERT_TRUE(doc->SaveDocument("doc.vnt"));
    std::string saved = ReadWholeFile("doc.vnt");
    EXPECT_EQ(saved, DocumentBytes(*doc->Collection()));
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(doc->Collection()->root->next, nullptr);
    ASSERT_TRUE(doc->OpenDocument("doc.vnt"));
    ASSERT_NE(doc->Collection()->root->next, nullptr);
    EXPECT_STREQ(static_cast<VTodo*>(doc->Collection()->root->next)->what.Text(), "remember me");
    EXPECT_STREQ(doc->Collection()->fileName.Text(), "doc.vnt");
    EXPECT_TRUE(ui.asked.empty());
}

TEST_F(DocumentTest, AnUnreadableFileIsReportedAndChangesNothing) {
    auto doc = Make();
    VCollection* before = doc->Collection();
    AddNode<VTodo>(*before);
    EXPECT_FALSE(doc->OpenDocument("missing.vnt"));
    EXPECT_EQ(doc->Collection(), before);
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't open file (missing.vnt).");
}

TEST_F(DocumentTest, AFailedSaveLeavesTheOldDocumentIntact) {
    auto doc = Make();
    AddNode<VTodo>(*doc->Collection())->what = "first version";
    ASSERT_TRUE(doc->SaveDocument("doc.vnt"));
    std::string before = ReadWholeFile("doc.vnt");
    for (int i = 0; i < 50; ++i)
        AddNode<VTodo>(*doc->Collection())->what = "a longer second version";
    {
        FileSizeLimit full(before.size() + 10);
        EXPECT_FALSE(doc->SaveDocument("doc.vnt"));
    }
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before) << "byte for byte";
    ASSERT_EQ(ui.asked.size(), 1u) << "one message, naming the document";
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(ui.asked[0].text,
              "Can't write file (doc.vnt): File too large. The file on disk is unchanged.");
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_NE(entry.path().filename().string().rfind(Q_REPLACE_TEMPORARY_PREFIX, 0), 0u);

    ASSERT_TRUE(doc->SaveDocument("doc.vnt"));
    EXPECT_EQ(ReadWholeFile("doc.vnt"), DocumentBytes(*doc->Collection()));
}

TEST_F(DocumentTest, SavingThroughALinkWritesTheRealDocument) {
    std::filesystem::create_directory("store");
    auto doc = Make();
    AddNode<VTodo>(*doc->Collection())->what = "old";
    ASSERT_TRUE(doc->SaveDocument("store/doc.vnt"));
    std::filesystem::create_symlink("store/doc.vnt", "link.vnt");
    ASSERT_TRUE(doc->OpenDocument("link.vnt"));
    static_cast<VTodo*>(doc->Collection()->root->next)->what = "new";
    ASSERT_TRUE(doc->SaveDocument("link.vnt"));
    EXPECT_TRUE(std::filesystem::is_symlink("link.vnt")) << "the link stays a link";
    EXPECT_EQ(ReadWholeFile("store/doc.vnt"), DocumentBytes(*doc->Collection()));
    EXPECT_TRUE(ui.asked.empty());
}

// A directory, a FIFO without a writer and devices: refused at once, nothing loaded.
TEST_F(DocumentTest, WhatIsNoFileIsRefusedBeforeAnyRead) {
    std::filesystem::create_directory("folder.vnt");
    ASSERT_EQ(mkfifo("pipe.vnt", 0600), 0);
    auto doc = Make();
    VCollection* before = doc->Collection();
    auto start = std::chrono::steady_clock::now();
    for (const char* path : {"folder.vnt", "pipe.vnt", "/dev/zero", "/dev/null"}) {
        ui.asked.clear();
        EXPECT_FALSE(doc->OpenDocument(path)) << path;
        EXPECT_EQ(doc->Collection(), before) << path;
        ASSERT_EQ(ui.asked.size(), 1u) << path;
        EXPECT_EQ(ui.asked[0].text, std::string("Can't open file (") + path + ").");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(DocumentTest, OpeningLeavesNoTemporaryBehind) {
    std::filesystem::create_directory("tmp");
    setenv("TMPDIR", dir.File("tmp").c_str(), 1);
    auto doc = Make();
    AddNode<VTodo>(*doc->Collection())->what = "kept";
    ASSERT_TRUE(doc->SaveDocument("doc.vnt"));
    ASSERT_TRUE(doc->OpenDocument("doc.vnt"));
    EXPECT_FALSE(doc->OpenDocument("missing.vnt"));
    std::filesystem::create_directory("folder.vnt");
    EXPECT_FALSE(doc->OpenDocument("folder.vnt"));
    unsetenv("TMPDIR");
    EXPECT_TRUE(std::filesystem::is_empty("tmp"));
    EXPECT_FALSE(std::filesystem::exists("temp.$$$"));
}

} // namespace
