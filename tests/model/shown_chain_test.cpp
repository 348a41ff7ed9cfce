#include "model/vcollection.h"

#include "foundation/qinfo.h"
#include "foundation/qshell.h"
#include "foundation/qtime.h"
#include "model/vcollviewer.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/generated_document.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/reference_chain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gmock/gmock.h>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

class ShownChainTest : public LogTest {
  protected:
    VTodo* Todo(const char* what, VNode* parent, std::uint32_t flags = NO_DATE) {
        auto* todo = AddNode<VTodo>(c, parent);
        todo->what = what;
        todo->name = what;
        todo->flags = flags;
        return todo;
    }
    VGroup* Folder(const char* name, VNode* parent = nullptr, std::uint32_t flags = NO_DATE) {
        auto* folder = AddNode<VGroup>(c, parent);
        folder->name = name;
        folder->flags = flags;
        return folder;
    }
    std::vector<std::string> Shown(VNode* folder) {
        c.MakeView(folder);
        std::vector<std::string> lines;
        for (VNode* n = folder->nextShown; n; n = n->nextShown)
            lines.push_back(std::string(2 * n->level, ' ') + n->name.Text());
        return lines;
    }

    VCollection c;
};

TEST_F(ShownChainTest, StateFiltersOnItems) {
    VGroup* open = Folder("open");
    VGroup* closed = Folder("closed", nullptr, INACTIVE);
    VTodo* plain = Todo("plain", open);
    VTodo* done = Todo("done", open, DONE);
    VTodo* waiting = Todo("waiting", open, WAITING);
    VTodo* doneWaiting = Todo("done waiting", open, DONE | WAITING);
    VTodo* inClosed = Todo("in closed", closed);
    VTodo* doneInClosed = Todo("done in closed", closed, DONE);
    VTodo* ownInactive = Todo("own inactive", open, INACTIVE);

    struct Case {
        std::uint32_t flags;
        std::vector<VNode*> shown;
    } cases[] = {
        {5, {plain, waiting}},
        {8, {inClosed, ownInactive}},
        {2, {done, doneWaiting}},
        {4, {waiting}},
        {1, {plain}},
        {15, {plain, done, waiting, doneWaiting, inClosed, doneInClosed, ownInactive}},
        {7, {plain, done, waiting, doneWaiting}},
        {0, {}},
    };
    std::vector<VNode*> items = {plain,    done,         waiting,    doneWaiting,
                                 inClosed, doneInClosed, ownInactive};
    for (const Case& k : cases) {
        c.filterFlags = k.flags;
        for (VNode* item : items) {
            bool expected = std::find(k.shown.begin(), k.shown.end(), item) != k.shown.end();
            EXPECT_EQ(c.IsVisible(item), expected)
                << "flags " << k.flags << ": " << item->name.Text();
        }
    }
}

TEST_F(ShownChainTest, EmptyFoldersShowByTheirOwnActivity) {
    VGroup* active = Folder("active");
    VGroup* inactive = Folder("inactive", nullptr, INACTIVE);
    VGroup* outer = Folder("outer", nullptr, INACTIVE);
    Todo("keeps outer non-empty", outer, DONE);
    VGroup* belowInactive = Folder("below", outer);
    for (std::uint32_t flags = 0; flags < 32; ++flags) {
        c.filterFlags = flags;
        EXPECT_EQ(c.IsVisible(active), (flags & 1) != 0) << flags;
        EXPECT_EQ(c.IsVisible(inactive), (flags & 8) != 0) << flags;
        EXPECT_FALSE(c.IsVisible(belowInactive))
            << "inactive only through an ancestor, flags " << flags;
    }
    c.filterFlags = 1;
    Todo("child", active, DONE);
    EXPECT_FALSE(c.IsVisible(active)) << "a folder with children shows only what passes";
}

TEST_F(ShownChainTest, ContactAndTextFilters) {
    VGroup* folder = Folder("f");
    auto* anna = AddNode<VContact>(c, folder);
    anna->firstName = "Anna";
    auto* task = AddNode<VTask>(c, folder);
    task->what = "Quarterly report";
    task->assignees[0] = anna;
    auto* call = AddNode<VCall>(c, folder);
    call->who = "Carl";
    c.contactFilter = anna;
    c.filterFlags = 5 | 16;
    EXPECT_TRUE(c.IsVisible(task));
    EXPECT_FALSE(c.IsVisible(call)) << "calls never relate to a contact";
    EXPECT_FALSE(c.IsVisible(anna)) << "a contact is not its own assignee";
    c.filterFlags = 5;
    EXPECT_TRUE(c.IsVisible(call));
    c.filterText = "REPORT";
    EXPECT_TRUE(c.IsVisible(task));
    EXPECT_FALSE(c.IsVisible(call));
    EXPECT_TRUE(c.IsVisible(folder));
    c.filterText = "NOTHING LIKE IT";
    EXPECT_FALSE(c.IsVisible(folder)) << "a folder shows only when something below it does";
}

TEST_F(ShownChainTest, ChainIsSortedDepthFirstWithLevelsAndDateRanges) {
    VGroup* work = Folder("Work");
    VGroup* sub = Folder("Sub", work);
    Todo("B", work);
    Todo("A", sub);
    auto* late = AddNode<VTask>(c, work);
    late->name = "late";
    late->flags = 0;
    late->priority = 1;
    late->startDate = "2010-06-25";
    late->duration = 3;
    auto* early = AddNode<VTask>(c, work);
    early->name = "early";
    early->flags = 0;
    early->priority = 1;
    early->startDate = "2010-06-20";
    early->duration = 1;
    auto* undated = AddNode<VTask>(c, work);
    undated->name = "undated";
    undated->startDate = "2001-01-01";

    // Actions order among themselves by priority, start text and duration (an undated one
    // by whatever its start text holds); between kinds the names decide, upper case first.
    EXPECT_EQ(Shown(work),
              (std::vector<std::string>{"B", "Sub", "  A", "undated", "early", "late"}));
    EXPECT_STREQ(work->firstStart.Text(), "2010-06-20");
    EXPECT_STREQ(work->lastEnd.Text(), "2010-06-28") << "the day after the last day";
    EXPECT_STREQ(sub->firstStart.Text(), "") << "no dated action directly inside";
    EXPECT_EQ(sub->siblingIndex, 1);
    EXPECT_EQ(sub->nextShown->siblingIndex, 0);
    EXPECT_EQ(sub->nextShown->level, 1);
    EXPECT_EQ(late->siblingIndex, 4);
    EXPECT_EQ(late->nextShown, nullptr);
    EXPECT_TRUE(c.InShownChain(sub, work));
    EXPECT_FALSE(c.InShownChain(work, sub));
}

// The original rules stopped at 500 children of a folder, which made items vanish from
// the list, the agenda and every export without a word. Every child shows; up to 500 in
// the rules' own order (the comparison with the reference chain covers that), beyond it
// in the same order of ComesBefore.
TEST_F(ShownChainTest, EveryChildOfALargeFolderIsShownInOrder) {
    VGroup* big = Folder("big");
    std::vector<VTodo*> todos;
    for (int i = 0; i < 1200; ++i) {
        char what[16];
        std::snprintf(what, sizeof what, "t%04d", (i * 7919) % 1200); // not in list order
        todos.push_back(Todo(what, big));
        todos.back()->priority = i % 3;
    }
    c.MakeView(big);
    std::vector<VNode*> shown;
    for (VNode* n = big->nextShown; n; n = n->nextShown)
        shown.push_back(n);
    ASSERT_EQ(shown.size(), todos.size());
    EXPECT_TRUE(c.InShownChain(todos.front(), big));
    EXPECT_TRUE(c.InShownChain(todos.back(), big));
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_FALSE(shown[i]->ComesBefore(shown[i - 1])) << i;
        EXPECT_EQ(shown[i]->siblingIndex, (int)i);
    }
    EXPECT_EQ(static_cast<VTodo*>(shown.front())->priority, 2) << "highest priority first";
}

TEST_F(ShownChainTest, MovingTheSelectionAlongTheChain) {
    VGroup* f = Folder("f");
    VTodo* a = Todo("a", f);
    VTodo* b = Todo("b", f);
    c.MakeView(f);
    EXPECT_EQ(c.NextShown(f), a) << "without a selection: the node's own next";
    EXPECT_EQ(c.PreviousShown(f), nullptr);
    EXPECT_TRUE(c.SelectNext(f));
    EXPECT_EQ(c.Selected(), a);
    EXPECT_FALSE(c.SelectPrevious(f)) << "the first shown node is selected";
    EXPECT_TRUE(c.SelectNext(f));
    EXPECT_EQ(c.Selected(), b);
    EXPECT_FALSE(a->tempFlags & SELECTED);
    EXPECT_FALSE(c.SelectNext(f)) << "nothing after the last";
    EXPECT_EQ(c.Selected(), b);
    EXPECT_TRUE(c.SelectPrevious(f));
    EXPECT_EQ(c.Selected(), a);

    VCollectionViewer viewer(&c);
    EXPECT_EQ(viewer.folder, c.root);
    EXPECT_EQ(viewer.scale, 1.0f);
    RestartLog();
    viewer.DeselectAll();
    std::string traces = Log();
    EXPECT_EQ(c.Selected(), nullptr);
    EXPECT_THAT(traces, HasSubstr("(TRACE): [-] VCollectionViewer::DeselectAll [vcollviewer:"));
    EXPECT_THAT(traces, HasSubstr("(TRACE): [-] coll "));
    EXPECT_THAT(traces, HasSubstr("flags 0x19")) << "the selected to-do, before clearing";
    EXPECT_THAT(traces, HasSubstr("(TRACE): [-] DeselectAll ret [vcollviewer:"));
    EXPECT_LT(traces.find("flags 0x19"), traces.find("DeselectAll ret"));
}

TEST_F(ShownChainTest, ShiftingAndStretchingAFolder) {
    VGroup* f = Folder("f");
    VGroup* inner = Folder("inner", f);
    auto* direct = AddNode<VTask>(c, f);
    direct->startDate = "2010-12-30";
    auto* nested = AddNode<VTask>(c, inner);
    nested->startDate = "2010-03-01";
    auto* outside = AddNode<VTask>(c);
    outside->startDate = "2010-01-01";
    c.MakeView(c.root);
    c.ShiftTree(f, 2);
    EXPECT_STREQ(direct->startDate.Text(), "2011-01-01");
    EXPECT_STREQ(nested->startDate.Text(), "2010-03-03");
    EXPECT_STREQ(outside->startDate.Text(), "2010-01-01");
    c.ResizeTree(f, 4);
    EXPECT_EQ(direct->duration, 5);
    EXPECT_EQ(nested->duration, 5);
    EXPECT_EQ(outside->duration, 1);
    c.ShiftTree(outside, -1);
    EXPECT_STREQ(outside->startDate.Text(), "2009-12-31");
}

TEST_F(ShownChainTest, ContactsSortByFirstThenLastName) {
    auto* anna = AddNode<VContact>(c);
    anna->firstName = "Anna";
    anna->lastName = "Zee";
    auto* bo = AddNode<VContact>(c);
    bo->firstName = "Bo";
    bo->lastName = "Smit";
    auto* annaB = AddNode<VContact>(c);
    annaB->firstName = "Anna";
    annaB->lastName = "Bee";
    VContact* out[1000];
    ASSERT_EQ(c.Contacts(out, 1000), 3);
    EXPECT_EQ(out[0], annaB);
    EXPECT_EQ(out[1], anna);
    EXPECT_EQ(out[2], bo);
    EXPECT_EQ(c.Contacts(out, 2), 2);
}

TEST_F(ShownChainTest, DateFormatSettings) {
    {
        QInfo settings("vantry.ini");
        c.LoadSettings(settings);
        EXPECT_EQ(c.dateFormat, 0) << "absent key";
        c.dateFormat = 2;
        c.SaveSettings(settings);
    }
    EXPECT_EQ(ReadWholeFile("vantry.ini"), "global\n{\n  dateformat=2\n}\n");
    QInfo settings("vantry.ini");
    VCollection other;
    other.LoadSettings(settings);
    EXPECT_EQ(other.dateFormat, 2);
}

TEST_F(ShownChainTest, FastChainEqualsTheReferenceOnRandomDocuments) {
    int compared = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        VCollection doc;
        GenerateDocument(doc, DocumentShape{250, 6, 4, seed});
        std::vector<VNode*> folders{doc.root};
        std::vector<VContact*> contacts;
        for (VNode* n = doc.root->next; n; n = n->next) {
            if (!std::strcmp(n->TypeName(), "group")) folders.push_back(n);
            if (!std::strcmp(n->TypeName(), "contact"))
                contacts.push_back(static_cast<VContact*>(n));
        }
        for (std::uint32_t flags = 0; flags < 32; ++flags) {
            doc.filterFlags = flags;
            doc.sortMode = (int)(flags % 2);
            doc.filterText = flags % 3 == 0 ? "RE" : "";
            doc.contactFilter =
                flags % 4 == 1 && !contacts.empty() ? contacts[seed % contacts.size()] : nullptr;
            VNode* folder = folders[(seed * 7 + flags) % folders.size()];
            ReferenceMakeView(doc, folder);
            std::vector<ChainEntry> expected = ChainOf(folder);
            for (VNode* n = doc.root; n; n = n->next)
                n->level = n->siblingIndex = -7;
            doc.MakeView(folder);
            ASSERT_EQ(ChainOf(folder), expected) << "seed " << seed << ", flags " << flags;
            for (VNode* f : folders)
                ASSERT_EQ(doc.FolderVisible(f), ReferenceFolderVisible(doc, f)) << "seed " << seed;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 12 * 32);
}

class ExportTest : public ShownChainTest {
  protected:
    void SetUp() override {
        ShownChainTest::SetUp();
        QSetShellHandler([this](const char* target) {
            opened.push_back(target);
            return true;
        });
    }
    void TearDown() override {
        QSetShellHandler(nullptr);
        ShownChainTest::TearDown();
    }
    std::string Page(const std::string& title, const std::string& list) {
        return "<html><head><title>" + title +
               "\n</title><body><font face=\"verdana\" size=\"-1\"><b>" + title + " - on " +
               QCurrentDateText("%d-%m-%Y") + "</b><br /><br />\n" + list + "</font></body></html>";
    }
    std::vector<std::string> opened;
};

TEST_F(ExportTest, FolderWithASubfolderAndAnItem) {
    VGroup* work = Folder("Work");
    VGroup* sub = Folder("Sub", work);
    Todo("A", sub);
    Todo("B", work)->name = "Todo"; // a to-do's own name, which places it after Sub
    c.MakeView(work);
    qstring title;
    work->FolderTitle(title);
    c.ExportHTML(title, work);
    EXPECT_EQ(ReadWholeFile("export.htm"),
              Page("Work", "<li><b>Sub</b></li>\n<ul>\n<li>A</li>\n</ul>\n<li>B</li>\n"));
    EXPECT_EQ(opened, std::vector<std::string>{"export.htm"});
}

// A UTF-8 document's export says its charset, so a browser reads the characters; a
// Windows-1252 one stays as it was (the page above).
TEST_F(ExportTest, AUtf8DocumentsExportSaysItsCharset) {
    VGroup* work = Folder("\xC5\x81\xC3\xB3"
                          "d\xC5\xBA");
    Todo("\xD0\x96\xD1\x83\xD0\xBA & \xE6\x97\xA5\xE6\x9C\xAC", work);
    c.textEncoding = TextEncoding::Utf8;
    c.MakeView(work);
    c.ExportHTML(work->name, work, false);
    std::string page = Page("\xC5\x81\xC3\xB3"
                            "d\xC5\xBA",
                            "<li>\xD0\x96\xD1\x83\xD0\xBA &amp; \xE6\x97\xA5\xE6\x9C\xAC</li>\n");
    page.insert(std::string("<html><head>").size(), "<meta charset=\"UTF-8\">");
    EXPECT_EQ(ReadWholeFile("export.htm"), page);
}

TEST_F(ExportTest, ListsCloseAtEveryLevelGivenUp) {
    VGroup* top = Folder("T<op> & \"co\"");
    VGroup* one = Folder("one", top);
    VGroup* two = Folder("two", one);
    VGroup* three = Folder("three", two);
    Todo("deep <b>&\"", three);
    Todo("zz last", top);
    c.MakeView(top);
    c.ExportHTML(top->name, top, false);
    EXPECT_EQ(
        ReadWholeFile("export.htm"),
        Page("T<op> & \"co\"",
             "<li><b>one</b></li>\n<ul>\n<li><b>two</b></li>\n<ul>\n<li><b>three</b></li>\n<ul>\n"
             "<li>deep &lt;b&gt;&amp;&quot;</li>\n</ul>\n</ul>\n</ul>\n<li>zz last</li>\n"));
    EXPECT_TRUE(opened.empty());

    // A chain that ends two levels down closes both lists at the end.
    c.MakeView(one);
    c.ExportHTML("one", one, false);
    EXPECT_THAT(
        ReadWholeFile("export.htm"),
        HasSubstr("<li>deep &lt;b&gt;&amp;&quot;</li>\n</ul>\n</ul>\n</font></body></html>"));
}

TEST_F(ExportTest, WritesTheChainAsLastBuilt) {
    VGroup* f = Folder("f");
    c.MakeView(f);
    Todo("added later", f);
    c.ExportHTML("f", f, false);
    EXPECT_EQ(ReadWholeFile("export.htm"), Page("f", ""));
}

} // namespace
