#include "model/vnode.h"

#include "model/vcollection.h"
#include "model/vgroup.h"
#include "model/vkinds.h"
#include "support/bytes.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <memory>
#include <set>
#include <string>

namespace {

class VNodeTest : public LogTest {
  protected:
    VCollection collection;
};

TEST_F(VNodeTest, EveryKindStartsWithItsConstructorValues) {
    struct Case {
        const char* tag;
        const char* typeName;
        const char* name;
        std::uint32_t tempFlags;
        ItemIcon icon;
    } cases[] = {
        {"NGRP", "group", "Folder", 0, ItemIcon::None},
        {"TASK", "task", "Task", HAS_CHECKBOX | CAN_WAIT, ItemIcon::None},
        {"TODO", "todo", "Todo", HAS_CHECKBOX | CAN_WAIT, ItemIcon::None},
        {"CONT", "contact", "A_Node", CAN_WAIT, ItemIcon::Contact},
        {"CALL", "call", "A_Node", HAS_CHECKBOX | CAN_WAIT, ItemIcon::Call},
        {"MAIL", "mail", "A_Node", HAS_CHECKBOX | CAN_WAIT, ItemIcon::Mail},
        {"PAY1", "pay", "A_Node", HAS_CHECKBOX | CAN_WAIT, ItemIcon::Pay},
        {"AGRE", "node", "A_Node", 0, ItemIcon::Agreement},
        {"FACT", "fact", "Fact", 0, ItemIcon::None},
        {"FILE", "node", "File", 0, ItemIcon::None},
        {"URL1", "url", "A_Node", 0, ItemIcon::Location},
    };
    for (const Case& c : cases) {
        std::unique_ptr<VNode> node(MakeNodeForTag(c.tag, &collection));
        ASSERT_TRUE(node) << c.tag;
        EXPECT_STREQ(node->TypeName(), c.typeName) << c.tag;
        EXPECT_EQ(node->IsFolderKind(), std::string(c.typeName) == "group") << c.tag;
        EXPECT_STREQ(node->name.Text(), c.name) << c.tag;
        EXPECT_EQ(node->tempFlags, c.tempFlags) << c.tag;
        EXPECT_EQ(node->icon, c.icon) << c.tag;
        EXPECT_EQ(node->flags, (std::uint32_t)NO_DATE) << c.tag;
        EXPECT_EQ(node->id, 0) << c.tag;
        EXPECT_EQ(node->parentId, 0) << c.tag;
        EXPECT_EQ(node->parent, nullptr) << c.tag;
        EXPECT_EQ(node->collection, &collection);
        EXPECT_EQ(node->level, 0);
        EXPECT_EQ(node->rect.x, 50);
        EXPECT_EQ(node->rect.y, 50);
        EXPECT_EQ(node->rect.width, 100);
        EXPECT_EQ(node->rect.height, 120);
        // The record starts with the kind's tag.
        EXPECT_EQ(RecordBytes(*node).substr(0, 4), c.tag);
    }
    EXPECT_EQ(MakeNodeForTag("XXXX", &collection), nullptr);
}

TEST_F(VNodeTest, NodeChunkOfARecord) {
    auto* call = AddNode<VGroup>(collection); // any kind frames its record the same way
    call->name = "Call";
    call->id = 7;
    call->parentId = 2;
    std::string record = RecordBytes(*call);
    EXPECT_EQ(record.substr(8, 26),
              Bytes({0x4E, 0x4F, 0x44, 0x45, 0x16, 0, 0, 0, 0x04, 0,    0x43, 0x61, 0x6C,
                     0x6C, 7,    0,    0,    0,    2, 0, 0, 0,    0x10, 0,    0,    0}));

    call->name = "";
    record = RecordBytes(*call);
    EXPECT_EQ(record.substr(8, 10), Bytes({'N', 'O', 'D', 'E', 18, 0, 0, 0, 0, 0}));
}

TEST_F(VNodeTest, SerialNumbersAreUniqueAndNeverReused) {
    std::set<std::uint32_t> seen;
    std::uint32_t last = 0;
    for (int i = 0; i < 100; ++i) {
        VGroup node(&collection);
        EXPECT_TRUE(seen.insert(node.Serial()).second);
        EXPECT_GT(node.Serial(), last);
        last = node.Serial();
    }
    EXPECT_NE(collection.root->Serial(), 0u);
}

TEST_F(VNodeTest, FolderPathsAndTitles) {
    auto* a = AddNode<VGroup>(collection);
    a->name = "A";
    auto* b = AddNode<VGroup>(collection, a);
    b->name = "B";
    auto* namedRoot = AddNode<VGroup>(collection, b);
    namedRoot->name = "root";
    auto* below = AddNode<VGroup>(collection, namedRoot);
    below->name = "C";

    struct Case {
        VNode* node;
        const char* title;
    } cases[] = {
        {collection.root, "All folders"}, {a, "A"},     {b, "A / B"},
        {namedRoot, "All folders"},       {below, "C"},
    };
    for (const Case& c : cases) {
        qstring title("junk");
        c.node->FolderTitle(title);
        EXPECT_STREQ(title.Text(), c.title);
    }
    qstring appended("X");
    b->FolderPath(appended);
    EXPECT_STREQ(appended.Text(), "X / A / B");
}

TEST_F(VNodeTest, ActivityAndDescentFollowTheParents) {
    auto* folder = AddNode<VGroup>(collection);
    auto* inner = AddNode<VGroup>(collection, folder);
    auto* item = AddNode<VGroup>(collection, inner);
    EXPECT_TRUE(item->IsActive());
    folder->flags |= INACTIVE;
    EXPECT_FALSE(item->IsActive()) << "inactive through an ancestor";
    EXPECT_FALSE(item->flags & INACTIVE);
    EXPECT_TRUE(item->IsDescendantOf(folder));
    EXPECT_TRUE(item->IsDescendantOf(collection.root));
    EXPECT_FALSE(folder->IsDescendantOf(item));
    EXPECT_FALSE(item->IsDescendantOf(item));
}

TEST_F(VNodeTest, NamesCompareAsUnsignedBytes) {
    VGroup a(&collection), b(&collection);
    struct Case {
        const char* first;
        const char* second;
        bool before;
    } cases[] = {
        {"Apple", "apple", true}, {"apple", "Apple", false}, {"a", "ab", true},
        {"same", "same", false},  {"z", "\xe9t\xe9", true},  {"", "a", true},
    };
    for (const Case& c : cases) {
        a.name = c.first;
        b.name = c.second;
        EXPECT_EQ(a.NameBefore(&b), c.before) << c.first << " / " << c.second;
        EXPECT_EQ(a.ComesBefore(&b), c.before) << "folders order by name";
    }
}

} // namespace
