// The item commands, the folder tree's commands and the context menus, run headless
// through the command table on the program's document, with scripted dialogs and boxes.
#include "app/commands/command_table.h"
#include "app/context_menus.h"
#include "app/ribbon_layout.h"
#include "foundation/qshell.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "platform/editor.h"
#include "support/answering_editor.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/scripted_ui.h"
#include "support/windowless_commands.h"

#include <fstream>
#include <functional>
#include <gmock/gmock.h>

namespace {

class ItemCommandTest : public WindowlessCommands<CSkedraDoc> {
  protected:
    void SetUp() override {
        WindowlessCommands::SetUp();
        view->viewType = 0;
    }

    VCollection& Collection() { return C(); }
    // Lays the rows out as a paint of the window would.
    void LayOut() { Draw(1000, 800); }
    template <class Kind> Kind* Add(const char* name, VNode* parent = nullptr) {
        Kind* node = AddNode<Kind>(Collection(), parent);
        node->name = name;
        return node;
    }
    VTask* AddAction(VNode* parent, const char* start, int duration) {
        auto* task = Add<VTask>("action", parent);
        task->startDate = start;
        task->duration = duration;
        task->flags &= ~NO_DATE;
        return task;
    }
    std::vector<VNode*> SelectedNodes() {
        std::vector<VNode*> selected;
        for (VNode* n = Collection().root; n; n = n->next)
            if (n->tempFlags & SELECTED) selected.push_back(n);
        return selected;
    }

    ScriptedUI boxes;
    AnsweringEditor dialogs;
};

TEST_F(ItemCommandTest, DeletingAFolderAsksAboutItAndEverythingBelowIt) {
    auto* folder = Add<VGroup>("Work");
    for (const char* name : {"a", "b", "c"})
        Add<VFact>(name, folder);
    folder->Select();

    boxes.answers = {MsgAnswer::No};
    EXPECT_EQ(Run(CMD_DELETE), CHANGED_NOTHING);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Are you sure you want to delete these 4 items?");
    EXPECT_EQ(boxes.asked[0].caption, "Delete items");
    EXPECT_EQ(boxes.asked[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(Collection().CountTree(Collection().root), 5) << "not confirmed: all still there";
    EXPECT_FALSE(host.modified);

    boxes.answers = {MsgAnswer::Yes};
    EXPECT_EQ(Run(CMD_DELETE), CHANGED_ITEMS);
    EXPECT_EQ(Collection().root->next, nullptr);
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(host.calls.front(), "tree") << "the tree goes first: its folder is gone";

    auto* single = Add<VTodo>("one");
    single->Select();
    boxes.answers = {MsgAnswer::Yes};
    Run(CMD_DELETE);
    EXPECT_EQ(boxes.asked.back().text, "Are you sure you want to delete this item?");
    EXPECT_EQ(Collection().root->next, nullptr);
}

TEST_F(ItemCommandTest, AfterADeletionTheItemShownBeforeItIsSelected) {
    VFact* first = Add<VFact>("A");
    VFact* second = Add<VFact>("B");
    Add<VFact>("C");
    LayOut();
    ASSERT_EQ(view->RowCount(), 3);
    ASSERT_EQ(view->RowItem(1), second);

    view->SelectRow(1); // the second row, as a click would
    boxes.answers = {MsgAnswer::Yes};
    Run(CMD_DELETE);
    EXPECT_EQ(SelectedNodes(), std::vector<VNode*>{first});
    EXPECT_EQ(view->RowCount(), 0) << "no row points at the deleted item until the next paint";
    // Edit now acts on what is selected, not on whatever the old row index holds.
    Run(CMD_EDIT);
    EXPECT_EQ(dialogs.opened, std::vector<VNode*>{first});

    LayOut();
    view->SelectRow(0); // the first row
    boxes.answers = {MsgAnswer::Yes};
    Run(CMD_DELETE);
    EXPECT_TRUE(SelectedNodes().empty());
    LayOut();
    EXPECT_EQ(view->RowCount(), 1);
}

TEST_F(ItemCommandTest, DeletingAnItemInsideASubfolderNeverSelectsAGoneNode) {
    auto* folder = Add<VGroup>("F");
    Add<VFact>("x", folder);
    VFact* inner = Add<VFact>("y", folder);
    inner->Select();
    view->SetFolder(folder);
    tree->contextFolder = folder;
    boxes.answers = {MsgAnswer::Yes};
    // The folder with its selected item goes: the item shown before that one went too.
    Run(CMD_TREE_DELETE);
    EXPECT_TRUE(SelectedNodes().empty());
    EXPECT_EQ(view->Folder(), Collection().root) << "the view shows the parent";
    EXPECT_EQ(treeControl.selected, Collection().root);
}

TEST_F(ItemCommandTest, ChangingDurationsAndReschedulingCountInDays) {
    VTask* task = AddAction(nullptr, "2026-12-07", 3);
    task->Select();
    EXPECT_EQ(Run(CMD_ADD_1_MONTH), CHANGED_ITEMS);
    EXPECT_EQ(task->duration, 31) << "a month is 28 days";
    Run(CMD_SUBTRACT_1_WEEK);
    EXPECT_EQ(task->duration, 24);
    Run(CMD_SUBTRACT_1_MONTH);
    EXPECT_EQ(task->duration, 1) << "never shorter than a day";
    EXPECT_STREQ(task->startDate.Text(), "2026-12-07");

    struct Step {
        int command;
        const char* start;
    } steps[] = {{CMD_LATER_1_DAY, "2026-12-08"},    {CMD_LATER_1_WEEK, "2026-12-15"},
                 {CMD_LATER_4_WEEKS, "2027-01-12"},  {CMD_EARLIER_4_WEEKS, "2026-12-15"},
                 {CMD_EARLIER_1_WEEK, "2026-12-08"}, {CMD_EARLIER_1_DAY, "2026-12-07"}};
    for (const Step& step : steps) {
        Run(step.command);
        EXPECT_STREQ(task->startDate.Text(), step.start) << step.command;
    }
    EXPECT_TRUE(host.modified);
}

TEST_F(ItemCommandTest, AFolderPassesReschedulesToEverythingBelowIt) {
    auto* folder = Add<VGroup>("Project");
    auto* sub = Add<VGroup>("Phase", folder);
    VTask* direct = AddAction(folder, "2026-12-01", 2);
    VTask* nested = AddAction(sub, "2026-12-10", 5);
    VTask* outside = AddAction(nullptr, "2026-12-01", 2);
    folder->Select();
    Run(CMD_LATER_1_WEEK);
    EXPECT_STREQ(direct->startDate.Text(), "2026-12-08");
    EXPECT_STREQ(nested->startDate.Text(), "2026-12-17") << "moved once, not per folder";
    EXPECT_STREQ(outside->startDate.Text(), "2026-12-01");
    Run(CMD_ADD_1_DAY);
    EXPECT_EQ(direct->duration, 3);
    EXPECT_EQ(nested->duration, 6);
    EXPECT_EQ(outside->duration, 2);
}

TEST_F(ItemCommandTest, ANewItemIsAddedToTheCurrentFolderOnlyWhenItsDialogSaysOK) {
    auto* folder = Add<VGroup>("Home");
    view->SetFolder(folder);
    host.calls.clear();

    dialogs.answer = [](VNode&) { return false; };
    EXPECT_EQ(Run(CMD_ADD_TODO), CHANGED_NOTHING);
    EXPECT_EQ(dialogs.opened.size(), 1u) << "the dialog was shown";
    EXPECT_FALSE(host.modified) << "cancelled: the modified flag stays as it was";
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(Collection().CountChildren(folder, false), 0);
    host.modified = true; // a document with changes stays one
    Run(CMD_ADD_TODO);
    EXPECT_TRUE(host.modified);
    EXPECT_TRUE(host.calls.empty());

    // Each creation command makes its own kind, in the current folder.
    struct Creation {
        int command;
        ItemDialog kind;
    } creations[] = {
        {CMD_ADD_TODO, ItemDialog::Todo},           {CMD_ADD_ACTION, ItemDialog::Action},
        {CMD_ADD_AGREEMENT, ItemDialog::Agreement}, {CMD_ADD_LOCATION, ItemDialog::Location},
        {CMD_ADD_FACT, ItemDialog::Fact},           {CMD_ADD_CONTACT, ItemDialog::Contact},
        {CMD_ADD_CALL, ItemDialog::Call},           {CMD_ADD_MAIL, ItemDialog::Mail},
        {CMD_ADD_PAYMENT, ItemDialog::Pay}};
    dialogs.answer = [](VNode& node) {
        node.name = "typed";
        return true;
    };
    for (const Creation& c : creations) {
        EXPECT_EQ(Run(c.command), CHANGED_ITEMS);
        VNode* added = Collection().root->next; // the newest node comes first
        EXPECT_EQ(added->Dialog(), c.kind) << c.command;
        EXPECT_EQ(added->parent, folder);
        EXPECT_STREQ(added->name.Text(), "typed");
    }
    EXPECT_TRUE(host.modified);
    EXPECT_EQ(Collection().CountChildren(folder, false), 9);
    EXPECT_EQ(host.contacts.size(), 2u) << "the new contact is in the ribbon's list";
}

TEST_F(ItemCommandTest, ANewFolderIsNamedForItsDialogAndSelectedInTheTree) {
    std::string nameInDialog;
    dialogs.answer = [&](VNode& node) {
        nameInDialog = node.name.Text();
        EXPECT_EQ(static_cast<VGroup&>(node).folderType, FOLDER_NONE);
        node.name = "Garden";
        return true;
    };
    EXPECT_NE(Run(CMD_ADD_FOLDER), CHANGED_NOTHING);
    EXPECT_EQ(nameInDialog, "<foldername>");
    VNode* garden = Collection().root->next;
    ASSERT_NE(garden, nullptr);
    EXPECT_EQ(garden->parent, Collection().root);
    EXPECT_EQ(treeControl.selected, garden);
    EXPECT_EQ(view->Folder(), garden) << "the selected folder is the one shown";
    EXPECT_TRUE(host.modified);
    EXPECT_GE(host.refills, 1);

    // "Add subfolder..." of the tree puts it into the folder the menu was opened for.
    tree->contextFolder = Collection().root;
    Run(CMD_TREE_ADD_SUBFOLDER);
    EXPECT_EQ(Collection().root->next->parent, Collection().root);
    tree->contextFolder = garden;
    Run(CMD_TREE_ADD_SUBFOLDER);
    EXPECT_EQ(Collection().root->next->parent, garden);

    dialogs.answer = [](VNode&) { return false; };
    int before = Collection().CountTree(Collection().root);
    EXPECT_EQ(Run(CMD_ADD_FOLDER), CHANGED_NOTHING);
    EXPECT_EQ(Collection().CountTree(Collection().root), before);
}

TEST_F(ItemCommandTest, WaitingOnlyForKindsThatCanBeWaitedFor) {
    auto* contact = Add<VContact>("Ann");
    contact->Select();
    host.calls.clear();
    EXPECT_EQ(Run(CMD_WAITING), CHANGED_NOTHING);
    EXPECT_EQ(contact->flags & WAITING, 0u);
    EXPECT_TRUE(host.calls.empty()) << "nothing refreshed, nothing said";
    EXPECT_TRUE(boxes.asked.empty());
    contact->tempFlags &= ~SELECTED;

    for (VNode* item :
         std::initializer_list<VNode*>{Add<VTodo>("t"), AddAction(nullptr, "", 1), Add<VCall>("c"),
                                       Add<VMail>("m"), Add<VPay>("p")}) {
        item->Select();
        EXPECT_EQ(Run(CMD_WAITING), CHANGED_ITEMS);
        EXPECT_TRUE(item->flags & WAITING);
        Run(CMD_NOT_WAITING);
        EXPECT_FALSE(item->flags & WAITING);
        item->tempFlags &= ~SELECTED;
    }
}

TEST_F(ItemCommandTest, ActivityOfAnItemAndOfAWholeFolder) {
    auto* folder = Add<VGroup>("F");
    auto* todo = Add<VTodo>("t", folder);
    folder->Select();
    EXPECT_EQ(Run(CMD_MAKE_INACTIVE), CHANGED_ITEMS);
    EXPECT_TRUE(folder->flags & INACTIVE);
    EXPECT_FALSE(todo->IsActive());
    EXPECT_GE(host.refills, 1) << "activity changes the tree";
    Run(CMD_MAKE_ACTIVE);
    EXPECT_TRUE(todo->IsActive());

    tree->contextFolder = folder;
    Run(CMD_TREE_MAKE_INACTIVE);
    EXPECT_TRUE(folder->flags & INACTIVE);
    EXPECT_EQ(view->Folder(), folder) << "the tree's commands first select their folder";
    Run(CMD_TREE_MAKE_ACTIVE);
    EXPECT_FALSE(folder->flags & INACTIVE);
}

// The states of the entries for own and inherited inactivity, for waiting and for the
// top folder, as the menus show them and as the commands answer for greying.
TEST_F(ItemCommandTest, EntryStatesFollowTheItemsFlags) {
    auto* active = Add<VTodo>("active");
    auto* own = Add<VTodo>("own");
    own->flags |= INACTIVE;
    auto* folder = Add<VGroup>("off");
    folder->flags |= INACTIVE;
    auto* inherited = Add<VTodo>("inherited", folder);
    auto* waiting = Add<VTodo>("waiting");
    waiting->flags |= WAITING;
    VNode* root = Collection().root;

    struct Case {
        const char* what;
        VNode* item;
        bool makeActive, makeInactive, wait, notWait;
    } cases[] = {
        {"active", active, false, true, true, false},
        {"own inactive flag", own, true, false, true, false},
        {"below an inactive folder", inherited, false, false, true, false},
        {"the inactive folder", folder, true, false, true, false},
        {"waited for", waiting, false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ContextEntryEnabled(CMD_MAKE_ACTIVE, *c.item), c.makeActive);
        EXPECT_EQ(ContextEntryEnabled(CMD_MAKE_INACTIVE, *c.item), c.makeInactive);
        EXPECT_EQ(ContextEntryEnabled(CMD_WAITING, *c.item), c.wait);
        EXPECT_EQ(ContextEntryEnabled(CMD_NOT_WAITING, *c.item), c.notWait);
        EXPECT_TRUE(ContextEntryEnabled(CMD_DELETE, *c.item));
        EXPECT_TRUE(ContextEntryEnabled(CMD_EDIT, *c.item));
        // The commands grey their menu entries and buttons the same way.
        c.item->Select();
        EXPECT_EQ(CommandUsable(CMD_MAKE_ACTIVE, context), c.makeActive);
        EXPECT_EQ(CommandUsable(CMD_MAKE_INACTIVE, context), c.makeInactive);
        EXPECT_EQ(CommandUsable(CMD_NOT_WAITING, context), c.notWait);
        c.item->tempFlags &= ~SELECTED;
    }

    // The top folder, only reachable through the tree.
    for (int command : {CMD_TREE_RENAME, CMD_TREE_DELETE, CMD_TREE_EDIT, CMD_TREE_MAKE_ACTIVE,
                        CMD_TREE_MAKE_INACTIVE, CMD_MAKE_ACTIVE, CMD_MAKE_INACTIVE})
        EXPECT_FALSE(ContextEntryEnabled(command, *root)) << command;
    for (int command : {CMD_TREE_FOCUS, CMD_TREE_ADD_SUBFOLDER, CMD_TREE_EXPORT,
                        CMD_TREE_ABOUT_FOLDERS, CMD_WAITING})
        EXPECT_TRUE(ContextEntryEnabled(command, *root)) << command;
    tree->contextFolder = root;
    EXPECT_FALSE(CommandUsable(CMD_TREE_DELETE, context));
    EXPECT_TRUE(CommandUsable(CMD_TREE_FOCUS, context));
    tree->contextFolder = folder;
    EXPECT_TRUE(CommandUsable(CMD_TREE_MAKE_ACTIVE, context));
    EXPECT_FALSE(CommandUsable(CMD_TREE_MAKE_INACTIVE, context));
}

TEST_F(ItemCommandTest, WithoutASelectionFollowLinkAndDeleteSaySo) {
    Add<VURL>("site");
    for (int command : {CMD_FOLLOW_LINK, CMD_DELETE}) {
        EXPECT_FALSE(CommandUsable(command, context)) << "greyed on the ribbon and in menus";
        EXPECT_EQ(Run(command), CHANGED_NOTHING) << "a key still runs it";
    }
    ASSERT_EQ(boxes.asked.size(), 2u);
    for (const AskedMessage& m : boxes.asked) {
        EXPECT_EQ(m.text, "No item(s) selected.");
        EXPECT_EQ(m.icon, MsgIcon::Information);
    }
    // The others do nothing at all.
    for (int command :
         {CMD_EDIT, CMD_WAITING, CMD_MAKE_INACTIVE, CMD_FOCUS, CMD_LATER_1_DAY, CMD_ADD_1_MONTH}) {
        EXPECT_FALSE(CommandUsable(command, context)) << command;
        EXPECT_EQ(Run(command), CHANGED_NOTHING) << command;
    }
    EXPECT_EQ(boxes.asked.size(), 2u);
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_FALSE(host.modified);
}

TEST_F(ItemCommandTest, FocusShowsAFolderAndOpensAnyOtherItem) {
    auto* folder = Add<VGroup>("F");
    auto* todo = Add<VTodo>("t", folder);
    folder->Select();
    EXPECT_EQ(Run(CMD_FOCUS), CHANGED_VIEW);
    EXPECT_EQ(view->Folder(), folder);
    EXPECT_EQ(treeControl.selected, folder);
    EXPECT_FALSE(folder->tempFlags & SELECTED);
    EXPECT_FALSE(host.modified);

    todo->Select();
    EXPECT_EQ(Run(CMD_FOCUS), CHANGED_ITEMS) << "a to-do opens its dialog";
    EXPECT_EQ(dialogs.opened, std::vector<VNode*>{todo});
    EXPECT_TRUE(host.modified);
}

TEST_F(ItemCommandTest, FollowLinkOpensTheLocation) {
    auto* site = Add<VURL>("site");
    site->url = "https://example.org/";
    site->Select();
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return true;
    });
    Run(CMD_FOLLOW_LINK);
    QSetShellHandler(nullptr);
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/"});
    EXPECT_FALSE(host.modified);
}

TEST_F(ItemCommandTest, TheFolderTreesCommands) {
    auto* folder = Add<VGroup>("F");
    Add<VTodo>("t", folder);
    VNode* root = Collection().root;

    tree->contextFolder = root;
    Run(CMD_TREE_DELETE);
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "You can't delete the top folder.");
    EXPECT_EQ(boxes.asked[0].caption, "Vantry");
    Run(CMD_TREE_EDIT);
    Run(CMD_TREE_RENAME);
    EXPECT_TRUE(dialogs.opened.empty()) << "the top folder is never edited";
    EXPECT_EQ(treeControl.editing, nullptr) << "nor renamed";

    tree->contextFolder = folder;
    Run(CMD_TREE_RENAME);
    EXPECT_EQ(treeControl.editing, folder);
    Run(CMD_TREE_FOCUS);
    EXPECT_EQ(view->Folder(), folder);
    EXPECT_EQ(treeControl.selected, folder);
    Run(CMD_TREE_EDIT);
    EXPECT_EQ(dialogs.opened, std::vector<VNode*>{folder});

    boxes.answers = {MsgAnswer::Yes};
    Run(CMD_TREE_DELETE);
    EXPECT_EQ(boxes.asked.back().text, "Are you sure you want to delete these 2 items?");
    EXPECT_EQ(root->next, nullptr);
    EXPECT_EQ(view->Folder(), root);
    EXPECT_EQ(treeControl.selected, root);
    EXPECT_EQ(tree->ContextFolder(), nullptr) << "the menu's folder is gone";
    unsigned changed = 7;
    EXPECT_FALSE(RunCommand(CMD_TREE_FOCUS, context, &changed) && changed != CHANGED_NOTHING);
}

TEST_F(ItemCommandTest, TheFolderTreeExportsTheFolderItWasAskedFor) {
    auto* folder = Add<VGroup>("Trip");
    Add<VTodo>("Pack", folder)->what = "Pack the tent";
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return true;
    });
    tree->contextFolder = folder;
    ui.exportAnswer = "export.htm"; // the name the file chooser offers
    Run(CMD_TREE_EXPORT);
    QSetShellHandler(nullptr);
    std::ifstream in("export.htm");
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(page.find("Trip"), std::string::npos);
    EXPECT_NE(page.find("Pack the tent"), std::string::npos)
        << "the folder's items, never laid out";
    EXPECT_EQ(opened, std::vector<std::string>{"export.htm"});
}

// Which menu the right button opens, and what it selects.
TEST_F(ItemCommandTest, TheRightButtonChoosesTheMenuByWhatIsUnderThePointer) {
    auto* folder = Add<VGroup>("a folder");
    auto* site = Add<VURL>("b site");
    auto* todo = Add<VTodo>("c todo");
    auto* contact = Add<VContact>("d contact");
    VTask* action = AddAction(nullptr, "2026-12-07", 2);
    auto* fact = Add<VFact>("f fact");
    auto* agreement = Add<VAgreement>("g agreement");
    auto* call = Add<VCall>("h call");
    EXPECT_EQ(ItemMenuKind(folder), ContextMenuKind::Folder);
    EXPECT_EQ(ItemMenuKind(site), ContextMenuKind::Location);
    EXPECT_EQ(ItemMenuKind(todo), ContextMenuKind::Todo);
    EXPECT_EQ(ItemMenuKind(contact), ContextMenuKind::Todo);
    EXPECT_EQ(ItemMenuKind(action), ContextMenuKind::Action);
    for (VNode* plain : std::initializer_list<VNode*>{fact, agreement, call})
        EXPECT_EQ(ItemMenuKind(plain), ContextMenuKind::PlainItem);
    EXPECT_EQ(ItemMenuKind(nullptr), ContextMenuKind::AddNewItem);

    EXPECT_EQ(ContextMenuOf(ContextMenuKind::Folder).defaultCommand, CMD_FOCUS);
    EXPECT_EQ(ContextMenuOf(ContextMenuKind::Location).defaultCommand, CMD_FOLLOW_LINK);
    EXPECT_EQ(ContextMenuOf(ContextMenuKind::Action).defaultCommand, CMD_EDIT);
    EXPECT_EQ(ContextMenuOf(ContextMenuKind::LeftView).defaultCommand, CMD_TREE_FOCUS);

    LayOut();
    ASSERT_GE(view->RowCount(), 2);
    const VRect& second = view->RowItem(1)->rect;
    const ContextMenu* menu = ContextMenuFor(view->OnRButtonDown(second.x + 5, second.y + 2));
    EXPECT_EQ(SelectedNodes(), std::vector<VNode*>{view->RowItem(1)});
    EXPECT_EQ(menu, &ContextMenuOf(ItemMenuKind(view->RowItem(1))));
    menu = ContextMenuFor(view->OnRButtonDown(5, 790));
    EXPECT_EQ(menu, &ContextMenuOf(ContextMenuKind::AddNewItem));
    EXPECT_TRUE(SelectedNodes().empty()) << "outside the rows nothing stays selected";

    // In the calendar only an item has a menu, and it is the action menu.
    view->viewType = 1;
    view->Calendar().gridStart.SetDate(30, 11, 2026);
    view->needsRebuild = true;
    LayOut();
    todo->Select();
    EXPECT_EQ(ContextMenuFor(view->OnRButtonDown(1, 1)), nullptr);
    EXPECT_TRUE(SelectedNodes().empty()) << "a click outside the items deselects";
    bool hit = false;
    for (int y = 0; y < 800 && !hit; y += 3)
        for (int x = 0; x < 1000 && !hit; x += 3)
            if (view->Calendar().HitItem(x, y) == action) {
                hit = true;
                EXPECT_EQ(ContextMenuFor(view->OnRButtonDown(x, y)),
                          &ContextMenuOf(ContextMenuKind::Action));
                EXPECT_EQ(SelectedNodes(), std::vector<VNode*>{action});
            }
    EXPECT_TRUE(hit) << "the action is drawn in its week";
}

TEST_F(ItemCommandTest, TheMenusHoldTheirEntriesInOrder) {
    auto captions = [](ContextMenuKind kind) {
        std::vector<std::string> out;
        for (const MenuEntry& e : ContextMenuOf(kind).entries)
            if (!e.caption.empty()) out.push_back(e.caption);
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(captions(ContextMenuKind::Folder),
              (V{"Focus", "Reschedule all items", "Change duration of all items",
                 "Make entire folder inactive", "Make entire folder active", "De&lete...",
                 "&Edit...\tF2"}));
    EXPECT_EQ(captions(ContextMenuKind::Location),
              (V{"Follow link...", "De&lete...", "Make active", "Make inactive", "&Edit...\tF2"}));
    EXPECT_EQ(captions(ContextMenuKind::Todo),
              (V{"Waiting for this", "Not waiting for this", "Make active", "Make inactive",
                 "De&lete...", "&Edit...\tF2"}));
    EXPECT_EQ(captions(ContextMenuKind::Action),
              (V{"Reschedule", "Change duration", "Waiting for this", "Not waiting for this",
                 "Make active", "Make inactive", "De&lete...", "&Edit...\tF2"}));
    EXPECT_EQ(captions(ContextMenuKind::PlainItem),
              (V{"Make active", "Make inactive", "De&lete...", "&Edit...\tF2"}));
    EXPECT_EQ(captions(ContextMenuKind::LeftView),
              (V{"Focus", "Rename\tF2", "De&lete folder...", "Add subfolder...", "Export as HTML",
                 "Make active", "Make inactive", "&Edit...", "About folders...\tF1"}));
    EXPECT_EQ(captions(ContextMenuKind::AddNewItem).size(), 10u);

    // Every entry of every menu is a command of the table.
    for (int kind = 0; kind <= (int)ContextMenuKind::LeftView; ++kind)
        for (const MenuEntry& e : ContextMenuOf((ContextMenuKind)kind).entries) {
            if (e.caption.empty()) continue;
            for (const MenuEntry& s : e.submenu)
                EXPECT_NE(FindCommand(s.command), nullptr) << s.caption;
            if (e.submenu.empty()) {
                EXPECT_NE(FindCommand(e.command), nullptr) << e.caption;
            }
        }
}

// Entries show their keys where they have one: the main window's (Shift+D), or the item
// view's own (Del); Edit already names F2 in its words.
TEST(ItemCommandKeys, ContextMenusShowTheKeys) {
    auto keyOf = [](ContextMenuKind kind, int command) {
        for (const MenuEntry& e : ContextMenuOf(kind).entries)
            if (e.command == command && e.submenu.empty()) return e.key;
        return std::string("(none)");
    };
    EXPECT_EQ(keyOf(ContextMenuKind::Todo, CMD_DELETE), "Del");
    EXPECT_EQ(keyOf(ContextMenuKind::Todo, CMD_EDIT), "") << "its caption has \tF2";
    EXPECT_EQ(keyOf(ContextMenuKind::Todo, CMD_WAITING), "");
    EXPECT_EQ(keyOf(ContextMenuKind::AddNewItem, CMD_ADD_TODO), "Shift+D");
    EXPECT_EQ(keyOf(ContextMenuKind::AddNewItem, CMD_ADD_FOLDER), "Shift+G");
    EXPECT_EQ(CommandKeyText(CMD_DELETE), "Del");
    EXPECT_EQ(CommandKeyText(CMD_EDIT), "F2");
    // The item view's own keys make no accelerators: the tree keeps Delete and F2.
    for (const Accelerator& a : Accelerators())
        EXPECT_TRUE(a.command != CMD_DELETE && a.command != CMD_EDIT) << a.command;
}

// Every zoom key people use: Ctrl with "+" or "=", with or without Shift (a US keyboard's
// Ctrl+plus arrives as Ctrl+Shift+"="), the keypad's plus and minus, Ctrl+0.
TEST(ItemCommandKeys, EveryZoomKey) {
    struct Key {
        int modifiers;
        char letter;
        NamedKey key;
        int command;
    };
    const Key keys[] = {
        {KEY_CTRL, '+', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL, '=', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL | KEY_SHIFT, '+', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL | KEY_SHIFT, '=', NamedKey::None, CMD_ZOOM_IN},
        {KEY_CTRL, 0, NamedKey::NumpadAdd, CMD_ZOOM_IN},
        {KEY_CTRL, '-', NamedKey::None, CMD_ZOOM_OUT},
        {KEY_CTRL, 0, NamedKey::NumpadSubtract, CMD_ZOOM_OUT},
        {KEY_CTRL, '0', NamedKey::None, CMD_ZOOM_RESET},
    };
    for (const Key& k : keys) {
        int command = 0;
        for (const Accelerator& a : Accelerators())
            if (a.modifiers == k.modifiers && a.letter == k.letter && a.key == k.key)
                command = a.command;
        EXPECT_EQ(command, k.command) << k.modifiers << " " << k.letter << " " << (int)k.key;
    }
}

TEST(ItemCommandKeys, PageKeysStepTheChartOrTheCalendar) {
    int up = 0, down = 0;
    for (const Accelerator& a : Accelerators()) {
        if (a.key == NamedKey::PageUp && a.modifiers == KEY_PLAIN) up = a.command;
        if (a.key == NamedKey::PageDown && a.modifiers == KEY_PLAIN) down = a.command;
    }
    EXPECT_EQ(up, CMD_NEXT_WEEK);
    EXPECT_EQ(down, CMD_PREVIOUS_WEEK);
    // Shift+D and Shift+G type capitals in a text field; Ctrl+S and F5 never type.
    std::vector<int> typing;
    for (const Accelerator& a : Accelerators())
        if (TypesText(a)) typing.push_back(a.command);
    EXPECT_EQ(typing, (std::vector<int>{CMD_ADD_FOLDER, CMD_ADD_TODO}));
    int f2 = 0;
    for (const TreeKey& k : LeftViewKeys())
        if (k.key == NamedKey::F2) f2 = k.command;
    EXPECT_EQ(f2, CMD_TREE_RENAME);
}

} // namespace
