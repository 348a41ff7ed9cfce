// The folders a tree shows: which, in what order, how many, and the same answer as the
// plain algorithm on many generated documents.
#include "model/vfolderlist.h"

#include "model/vgroup.h"
#include "model/vtodo.h"
#include "support/generated_document.h"
#include "support/model_builders.h"
#include "support/reference_folder_list.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <map>

namespace {

VGroup* Folder(VCollection& c, const char* name, VNode* parent = nullptr) {
    auto* f = AddNode<VGroup>(c, parent);
    f->name = name;
    return f;
}

std::vector<std::string> Names(const std::vector<VFolderEntry>& entries) {
    std::vector<std::string> names;
    for (const VFolderEntry& e : entries)
        names.push_back(std::string(2 * e.depth, ' ') + e.folder->name.Text());
    return names;
}

TEST(FolderListTest, ParentsFirstSiblingsByNameEqualNamesInListOrder) {
    VCollection c;
    c.filterFlags = 1;
    VGroup* work = Folder(c, "Work");
    VGroup* b1 = Folder(c, "B", work);
    VGroup* z = Folder(c, "Z", b1);
    Folder(c, "A", work);
    VGroup* b2 = Folder(c, "B", work); // added after the root: before b1 in the list
    Folder(c, "Home");
    AddNode<VTodo>(c, z);
    std::vector<VFolderEntry> entries = FolderList(c);
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"root", "  Home", "  Work", "    A",
                                                        "    B", "    B", "      Z"}));
    EXPECT_EQ(entries[4].folder, b2) << "equal names keep their list order";
    EXPECT_EQ(entries[5].folder, b1);
    EXPECT_EQ(entries[6].parent, 5);
    EXPECT_EQ(entries[0].parent, -1);
    EXPECT_TRUE(entries[0].hasSubfolders);
    EXPECT_TRUE(entries[2].hasSubfolders);
    EXPECT_FALSE(entries[1].hasSubfolders);
}

// Each folder right after its parent, not after the unrelated folders of its parent's
// level: a subfolder must never look like the child of the folder listed before it.
TEST(FolderListTest, DepthFirstEachFolderRightAfterItsParent) {
    VCollection c;
    c.filterFlags = 1;
    VGroup* alpha = Folder(c, "Alpha");
    VGroup* sub = Folder(c, "Sub", alpha);
    Folder(c, "Deeper", sub);
    Folder(c, "Projects");
    Folder(c, "alpha"); // byte order: after every upper-case name
    std::vector<VFolderEntry> entries = FolderList(c);
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"root", "  Alpha", "    Sub",
                                                        "      Deeper", "  Projects", "  alpha"}));
    EXPECT_EQ(entries[2].parent, 1);
    EXPECT_EQ(entries[3].parent, 2);
    EXPECT_EQ(entries[4].parent, 0);
}

TEST(FolderListTest, HiddenFoldersStillCountAsSubfolders) {
    VCollection c;
    c.filterFlags = 1; // active items only
    VGroup* work = Folder(c, "Work");
    AddNode<VTodo>(c, work);
    VGroup* old = Folder(c, "Old", work);
    old->flags |= INACTIVE;
    std::vector<VFolderEntry> entries = FolderList(c);
    ASSERT_EQ(Names(entries), (std::vector<std::string>{"root", "  Work"}));
    EXPECT_TRUE(entries[1].hasSubfolders) << "Old is hidden but still a subfolder";
}

TEST(FolderListTest, TheCapTakesFoldersInListOrder) {
    VCollection c;
    c.filterFlags = 1;
    Folder(c, "A"); // each new folder goes right after the root: A ends up last
    Folder(c, "B");
    Folder(c, "C");
    EXPECT_EQ(Names(FolderList(c, 3)), (std::vector<std::string>{"root", "  B", "  C"}));
    EXPECT_EQ(Names(FolderList(c)), (std::vector<std::string>{"root", "  A", "  B", "  C"}));
}

TEST(FolderListTest, AFolderWhoseParentMissedTheCapStandsAtTheTop) {
    VCollection c;
    c.filterFlags = 1;
    VGroup* a = Folder(c, "A");
    VGroup* child = Folder(c, "Child", a); // before A in the list
    std::vector<VFolderEntry> entries = FolderList(c, 2);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].folder, child);
    EXPECT_EQ(entries[1].parent, -1);
    EXPECT_EQ(entries[1].depth, 0);
}

// The same folders as the plain algorithm, each under the same parent, siblings in the
// same order of names (the plain algorithm's order of equal names is its own accident),
// parents always before their subfolders.
TEST(FolderListTest, SameAsThePlainAlgorithmOnGeneratedDocuments) {
    using Groups = std::map<const VNode*, std::vector<const VNode*>>;
    // Per parent: the children as a set, and their names in order.
    auto compare = [](Groups fast, Groups plain) {
        std::map<const VNode*, std::vector<std::string>> fastNames, plainNames;
        for (auto* groups : {&fast, &plain})
            for (auto& [parent, children] : *groups) {
                auto& names = (groups == &fast ? fastNames : plainNames)[parent];
                for (const VNode* child : children)
                    names.push_back(child->name.Text());
                std::sort(children.begin(), children.end());
            }
        return fast == plain && fastNames == plainNames;
    };
    for (std::uint32_t seed = 1; seed <= 12; ++seed)
        for (std::uint32_t filter : {1u, 5u, 8u, 15u}) {
            VCollection c;
            GenerateDocument(c, DocumentShape{1500, 4, 6, seed});
            c.filterFlags = filter;
            int cap = seed % 3 == 0 ? 100 : 1000;
            std::vector<VFolderEntry> entries = FolderList(c, cap);
            std::vector<VNode*> reference = ReferenceFolderList(c, cap);
            ASSERT_EQ(entries.size(), reference.size()) << "seed " << seed;
            // Folders whose parent is not listed are grouped by that parent.
            Groups fast, plain;
            std::map<const VNode*, int> position;
            for (size_t i = 0; i < entries.size(); ++i) {
                const VFolderEntry& e = entries[i];
                position[e.folder] = (int)i;
                ASSERT_LT(e.parent, (int)i);
                fast[e.folder == c.root ? nullptr : e.folder->parent].push_back(e.folder);
                if (e.parent >= 0) {
                    EXPECT_EQ(entries[e.parent].folder, e.folder->parent);
                }
            }
            for (VNode* folder : reference) {
                ASSERT_TRUE(position.count(folder)) << "seed " << seed;
                plain[folder == c.root ? nullptr : folder->parent].push_back(folder);
            }
            EXPECT_TRUE(compare(fast, plain)) << "seed " << seed << " filter " << filter;
        }
}

} // namespace
