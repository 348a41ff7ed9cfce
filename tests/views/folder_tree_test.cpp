// The folder tree's rules: which folders show, their order, renaming, expanding and
// moving by drag and drop.
#include "views/LeftView.h"

#include "model/vtodo.h"
#include "support/model_builders.h"
#include "support/scripted_document.h"
#include "support/scripted_ui.h"
#include "support/windowless_program.h"

#include <gmock/gmock.h>

namespace {

class FolderTreeTest : public WindowlessProgram<ScriptedDocument> {
  protected:
    VGroup* Folder(const char* name, VNode* parent = nullptr) {
        auto* f = AddNode<VGroup>(C(), parent);
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

    ScriptedUI ui;
};

TEST_F(FolderTreeTest, AncestorsFirstAndSiblingsByName) {
    VGroup* work = Folder("Work");
    Folder("Beta", work);
    Folder("alpha", work);
    VGroup* upper = Folder("Alpha", work);
    Folder("Inner", upper);
    Folder("Home");
    // Depth first: Inner right after Alpha, its parent; siblings by name, byte-wise.
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders", "  Home", "  Work", "    Alpha",
                                                  "      Inner", "    Beta", "    alpha"}));
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
    C().filterFlags = 8; // "only inactive items"
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders", "  Inactive"}));

    C().filterFlags = 5;
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders", "  Active"}));
    auto* done = AddNode<VTodo>(C(), active);
    done->flags |= DONE;
    EXPECT_EQ(Labels(), (std::vector<std::string>{"All folders"})) << "nothing in it shows";
}

TEST_F(FolderTreeTest, RenamingExpandingAndTheTopFolder) {
    VGroup* work = Folder("Work");
    EXPECT_FALSE(tree->BeginLabelEdit(C().root));
    EXPECT_TRUE(tree->BeginLabelEdit(work));
    EXPECT_EQ(tree->oldName, "Work");
    EXPECT_FALSE(tree->EndLabelEdit(work, "")) << "an empty name is refused";
    EXPECT_STREQ(work->name.Text(), "Work");
    EXPECT_TRUE(tree->EndLabelEdit(work, "Job\nlist\r\n"));
    EXPECT_STREQ(work->name.Text(), "Job list ") << "a pasted line break is a blank";
    doc->edited.clear();
    EXPECT_TRUE(tree->EndLabelEdit(work, "Job"));
    EXPECT_STREQ(work->name.Text(), "Job");
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(doc->edited, std::vector<VNode*>{work}) << "the tree follows an edited folder";
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

TEST_F(FolderTreeTest, DroppingMovesButNeverIntoItself) {
    VGroup* a = Folder("A");
    VGroup* b = Folder("B", a);
    auto* item = AddNode<VTodo>(C(), a);
    EXPECT_TRUE(tree->Drop(a, a));
    EXPECT_FALSE(host.modified) << "onto itself: nothing";
    EXPECT_FALSE(tree->Drop(a, b));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't make 'A' a subfolder of one of its own subfolders.");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(b->parent, a);

    EXPECT_FALSE(tree->Drop(C().root, b));
    EXPECT_EQ(ui.asked[1].text, "Can't make 'root' a subfolder of one of its own subfolders.");

    EXPECT_TRUE(tree->Drop(item, b));
    EXPECT_EQ(item->parent, b);
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(doc->activityChanged, 1) << "the tree and the rows follow";
    host.modified = false;
    EXPECT_TRUE(tree->Drop(b, a)) << "onto its own parent: stays, but refills and marks modified";
    EXPECT_EQ(b->parent, a);
    EXPECT_TRUE(host.modified);
}

} // namespace
