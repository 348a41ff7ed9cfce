// The folder tree's rules: which folders show, their order, renaming, expanding and
// moving by drag and drop.
#include "views/LeftView.h"

#include "app/skedradoc.h"
#include "model/vtodo.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_host.h"
#include "support/scripted_ui.h"
#include "views/viewstate.h"

#include <gmock/gmock.h>

namespace {

class FolderTreeTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        doc = std::make_unique<CSkedraDoc>(dir.File("vantry").c_str());
        doc->host = &host;
        doc->view = &view;
        tree = std::make_unique<CLeftView>(doc.get());
    }
    VGroup* Folder(const char* name, VNode* parent = nullptr) {
        auto* f = AddNode<VGroup>(*doc->collection, parent);
        f->name = name;
        return f;
    }
    // Each entry as its label, indented by its depth in the tree.
    std::vector<std::string> Labels() {
        std::vector<CLeftView::Entry> entries = tree->Refill();
        std::vector<std::string> labels;
        std::vector<int> depth;
        for (const CLeftView::Entry& e : entries) {
            depth.push_back(e.parent < 0 ? 0 : depth[e.parent] + 1);
            labels.push_back(std::string(2 * depth.back(), ' ') + e.label);
        }
        return labels;
    }

    RecordingHost host;
    ItemViewState view;
    ScriptedUI ui;
    std::unique_ptr<CSkedraDoc> doc;
    std::unique_ptr<CLeftView> tree;
};

TEST_F(FolderTreeTest, AncestorsFirstAndSiblingsByName) {
    VGroup* work = Folder("Work");
    Folder("Beta", work);
    Folder("alpha", work);
    VGroup* upper = Folder("Alpha", work);
    Folder("Inner", upper);
    Folder("Home");
    // In insertion order: Inner, below Alpha, comes after all of Alpha's siblings.
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders", "  Home", "  Work", "    Alpha",
                                                  "    Beta", "    alpha", "      Inner"}));
    auto entries = tree->Refill();
    EXPECT_TRUE(entries[0].bold);
    EXPECT_TRUE(entries[0].expanded) << "the top folder is always open";
    EXPECT_TRUE(entries[2].bold) << "Work holds subfolders";
    EXPECT_FALSE(entries[1].bold);
}

TEST_F(FolderTreeTest, FiltersDecideWhichFoldersShow) {
    VGroup* active = Folder("Active");
    VGroup* inactive = Folder("Inactive");
    inactive->flags |= INACTIVE;
    doc->collection->filterFlags = 8; // "only inactive items"
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders", "  Inactive"}));

    doc->collection->filterFlags = 5;
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders", "  Active"}));
    auto* done = AddNode<VTodo>(*doc->collection, active);
    done->flags |= DONE;
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders"})) << "nothing in it shows";
}

TEST_F(FolderTreeTest, RenamingExpandingAndTheTopFolder) {
    VGroup* work = Folder("Work");
    EXPECT_FALSE(tree->BeginLabelEdit(doc->collection->root));
    EXPECT_TRUE(tree->BeginLabelEdit(work));
    EXPECT_EQ(tree->oldName, "Work");
    EXPECT_FALSE(tree->EndLabelEdit(work, "")) << "an empty name is refused";
    EXPECT_STREQ(work->name.Text(), "Work");
    EXPECT_TRUE(tree->EndLabelEdit(work, "Job\nlist\r\n"));
    EXPECT_STREQ(work->name.Text(), "Job list ") << "a pasted line break is a blank";
    EXPECT_TRUE(tree->EndLabelEdit(work, "Job"));
    EXPECT_STREQ(work->name.Text(), "Job");
    EXPECT_TRUE(host.modified);
    EXPECT_GE(host.refills, 1);
    EXPECT_EQ(Labels()[0], "All folders") << "the top folder's label never changes";

    host.modified = false;
    tree->Expanded(work, true);
    EXPECT_TRUE(work->flags & EXPANDED);
    EXPECT_TRUE(host.modified);
    host.modified = false;
    tree->Expanded(work, true);
    EXPECT_FALSE(host.modified) << "already expanded";
    tree->Expanded(work, false);
    EXPECT_FALSE(work->flags & EXPANDED);
    EXPECT_TRUE(host.modified);
    host.modified = false;
    tree->Expanded(work, false);
    EXPECT_TRUE(host.modified) << "a collapse always counts";
}

// Opening a folder is stored with the document, but it is no edit: no undo step, and
// what can be redone stays.
TEST_F(FolderTreeTest, ExpandingIsNoUndoStep) {
    VGroup* work = Folder("Work");
    doc->ItemsChanged();
    ASSERT_TRUE(tree->BeginLabelEdit(work));
    ASSERT_TRUE(tree->EndLabelEdit(work, "Job"));
    VNode* folder = doc->collection->root;
    ASSERT_TRUE(doc->StepHistory(true, folder));
    ASSERT_STREQ(work->name.Text(), "Work");
    ASSERT_TRUE(doc->History().CanRedo());
    size_t steps = doc->History().Count();
    std::string undoName = doc->History().UndoName();

    host.modified = false;
    tree->Expanded(work, true);
    EXPECT_TRUE(work->flags & EXPANDED);
    EXPECT_TRUE(host.modified) << "the flag is saved with the document";
    EXPECT_EQ(doc->History().Count(), steps);
    EXPECT_EQ(doc->History().UndoName(), undoName);
    EXPECT_TRUE(doc->History().CanRedo());

    // Undo and redo bring back the edits, never an old expansion.
    ASSERT_TRUE(doc->StepHistory(false, folder));
    EXPECT_STREQ(work->name.Text(), "Job");
    EXPECT_TRUE(work->flags & EXPANDED);
    tree->Expanded(work, false);
    ASSERT_TRUE(doc->StepHistory(true, folder));
    EXPECT_STREQ(work->name.Text(), "Work");
    EXPECT_FALSE(work->flags & EXPANDED);

    // An edit after an expansion is one step, the edit alone.
    tree->Expanded(work, true);
    ASSERT_TRUE(tree->BeginLabelEdit(work));
    ASSERT_TRUE(tree->EndLabelEdit(work, "Jobs"));
    EXPECT_EQ(doc->History().UndoName(), "Rename 'Work'");
    EXPECT_FALSE(doc->History().CanRedo());
    ASSERT_TRUE(doc->StepHistory(true, folder));
    EXPECT_STREQ(work->name.Text(), "Work");
    EXPECT_TRUE(work->flags & EXPANDED);
}

TEST_F(FolderTreeTest, DroppingMovesButNeverIntoItself) {
    VGroup* a = Folder("A");
    VGroup* b = Folder("B", a);
    auto* item = AddNode<VTodo>(*doc->collection, a);
    EXPECT_TRUE(tree->Drop(a, a));
    EXPECT_FALSE(host.modified) << "onto itself: nothing";
    EXPECT_FALSE(tree->Drop(a, b));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't make 'A' a subfolder of one of its own subfolders.");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(b->parent, a);

    EXPECT_FALSE(tree->Drop(doc->collection->root, b));
    EXPECT_EQ(ui.asked[1].text, "Can't make 'root' a subfolder of one of its own subfolders.");

    EXPECT_TRUE(tree->Drop(item, b));
    EXPECT_EQ(item->parent, b);
    EXPECT_TRUE(host.modified);
    EXPECT_TRUE(view.needsRebuild);
    host.modified = false;
    EXPECT_TRUE(tree->Drop(b, a)) << "onto its own parent: stays, but refills and marks modified";
    EXPECT_EQ(b->parent, a);
    EXPECT_TRUE(host.modified);
}

} // namespace
