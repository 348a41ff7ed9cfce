// Undo and redo of every kind of change over one document: the saved bytes after undo
// are those before the change, after redo those after it, and the nodes that come back
// are the same nodes (serial numbers, parents, contacts).
#include "app/commands/command_table.h"
#include "app/commands/command_ui.h"
#include "app/forms/dlg_commitem.h"
#include "app/forms/dlg_group.h"
#include "app/forms/dlg_resource.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "app/history/change_names.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "platform/command_ids.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/recording_canvas.h"
#include "support/scripted_editor.h"
#include "support/scripted_ui.h"
#include "support/windowless_commands.h"
#include "views/drag_data.h"
#include "views/view_flags.h"

#include <gmock/gmock.h>

#include <cstring>
#include <functional>

namespace {

// The fixture document: folders Home, Work and Work / Projects; contacts Ann (in Work)
// and Bob (in Home); an action in Home assigned to both; items of every kind.
struct Fixture {
    VGroup *home, *work, *projects;
    VContact *ann, *bob;
    VTask *plan, *report;
    VTodo* shopping;
};

Fixture BuildFixture(VCollection& c) {
    Fixture f{};
    f.home = AddNode<VGroup>(c);
    f.home->name = "Home";
    f.work = AddNode<VGroup>(c);
    f.work->name = "Work";
    f.work->folderType = FOLDER_ACTION;
    f.projects = AddNode<VGroup>(c, f.work);
    f.projects->name = "Projects";
    f.ann = AddNode<VContact>(c, f.work);
    f.ann->firstName = "Ann";
    f.ann->lastName = "Lee";
    f.bob = AddNode<VContact>(c, f.home);
    f.bob->firstName = "Bob";
    f.plan = AddNode<VTask>(c, f.home);
    f.plan->name = "Plan the move";
    f.plan->startDate = "2026-03-02";
    f.plan->duration = 5;
    f.plan->assignees[0] = f.ann;
    f.plan->assignees[1] = f.bob;
    f.report = AddNode<VTask>(c, f.projects);
    f.report->name = "Quarterly report";
    f.report->startDate = "2026-04-01";
    f.report->assignees[0] = f.ann;
    f.shopping = AddNode<VTodo>(c, f.home);
    f.shopping->name = "Groceries";
    f.shopping->what = "Milk and bread";
    auto* fact = AddNode<VFact>(c, f.work);
    fact->description = "Office opens at nine";
    auto* call = AddNode<VCall>(c, f.projects);
    call->who = "Printer service";
    auto* site = AddNode<VURL>(c, f.work);
    site->url = "https://example.org/";
    return f;
}

class UndoTest : public WindowlessCommands<CSkedraDoc> {
  public: // the cases of the table act through the fixture
    void SetUp() override {
        WindowlessCommands::SetUp();
        path = dir.File("fixture.vnt");
        {
            VCollection c;
            BuildFixture(c);
            ASSERT_TRUE(c.Save(path.c_str()));
        }
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
    }

    VNode* Find(const char* name) {
        for (VNode* n = C().root; n; n = n->next)
            if (n->name == name) return n;
        return nullptr;
    }
    VContact* Contact(const char* firstName) {
        for (VNode* n = C().root; n; n = n->next)
            if (auto* contact = dynamic_cast<VContact*>(n))
                if (contact->firstName == firstName) return contact;
        return nullptr;
    }
    std::string Bytes() { return DocumentBytes(C()); }
    // Every node by serial, in list order, with its parent's serial.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Identities() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ids;
        for (VNode* n = C().root->next; n; n = n->next)
            ids.emplace_back(n->Serial(), n->parent ? n->parent->Serial() : 0);
        return ids;
    }
    bool Run(int command) { return RunCommand(command, context); }
    // Lays the rows out as a paint of the window would.
    void LayOut() { Draw(1000, 800); }
    std::string Label(int command) { return CommandLabel(command, context); }

    std::string path;
};

// A change as its command makes it: on the model, then the refresh the command ends in.
struct ChangeCase {
    const char* kind;
    std::function<void(UndoTest&, CSkedraDoc&, VCollection&)> make;
};

template <class Kind> void Create(CSkedraDoc& d, VCollection& c, VNode* folder) {
    auto* node = new Kind(&c);
    node->name = "Fresh";
    c.Add(node, folder);
    d.ItemsChanged();
}

const ChangeCase CASES[] = {
    {"create a to-do",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VTodo>(d, c, t.Find("Home")); }},
    {"create an action",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VTask>(d, c, t.Find("Home")); }},
    {"create an agreement",
     [](UndoTest&, CSkedraDoc& d, VCollection& c) { Create<VAgreement>(d, c, c.root); }},
    {"create a location",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VURL>(d, c, t.Find("Work")); }},
    {"create a fact",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VFact>(d, c, t.Find("Work")); }},
    {"create a contact",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VContact>(d, c, t.Find("Home")); }},
    {"create a to-call",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VCall>(d, c, t.Find("Projects")); }},
    {"create a to-mail",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VMail>(d, c, t.Find("Home")); }},
    {"create a to-pay",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) { Create<VPay>(d, c, t.Find("Home")); }},
    {"create a folder",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         auto* folder = new VGroup(&c);
         folder->name = "<foldername>";
         c.Add(folder, t.Find("Work"));
         d.ActivityChanged();
     }},
    {"add an item by double click in the calendar",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         auto* task = new VTask(&c);
         task->startDate = "2026-03-10";
         task->flags &= ~NO_DATE;
         c.Add(task, t.Find("Projects"));
         d.ItemsChanged();
     }},
    {"edit an action through its dialog, assigning another contact",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         ScriptedEditor editor;
         editor.script = [](ItemForm& form, int) {
             auto& task = static_cast<CDlgTaskFull&>(form);
             task.what = "Numbers for the board";
             task.priority.Pick(2);
             task.assigned[1] = task.assigned[0] == 1 ? 2 : 1; // the other contact
             return true;
         };
         VNode* task = t.Find("Quarterly report");
         ASSERT_TRUE(task->Edit());
         d.ItemEdited(task);
     }},
    {"edit a folder through its dialog",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         ScriptedEditor editor;
         editor.script = [](ItemForm& form, int) {
             static_cast<DlgGroup&>(form).folderType.Pick(FOLDER_TODO);
             return true;
         };
         VNode* folder = t.Find("Home");
         ASSERT_TRUE(folder->Edit());
         d.ItemEdited(folder);
     }},
    {"delete an item",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         c.RemoveTree(t.Find("Groceries"));
         d.ItemsChanged();
     }},
    {"delete a folder with everything below it",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         c.RemoveTree(t.Find("Work"));
         d.ActivityChanged();
     }},
    {"delete a contact that actions are assigned to",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         c.RemoveTree(t.Contact("Ann"));
         d.ItemsChanged();
     }},
    {"waiting for this",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         t.Find("Plan the move")->flags |= WAITING;
         d.ItemsChanged();
     }},
    {"make a folder inactive",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         t.Find("Projects")->flags |= INACTIVE;
         d.ActivityChanged();
     }},
    {"reschedule an action",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         c.ShiftTree(t.Find("Plan the move"), 7);
         d.ItemsChanged();
     }},
    {"reschedule all items of a folder",
     [](UndoTest& t, CSkedraDoc& d, VCollection& c) {
         c.MakeView(c.root); // the shown chain the command acts on
         c.ShiftTree(t.Find("Work"), -28);
         d.ItemsChanged();
     }},
    {"change the duration of all items of a folder",
     [](UndoTest&, CSkedraDoc& d, VCollection& c) {
         c.MakeView(c.root);
         c.ResizeTree(c.root, 28);
         d.ItemsChanged();
     }},
    {"tick a check box",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         t.Find("Quarterly report")->flags ^= DONE;
         d.ItemsChanged();
     }},
    {"drag an item to another folder",
     [](UndoTest& t, CSkedraDoc&, VCollection&) {
         EXPECT_TRUE(t.tree->Drop(t.Find("Plan the move"), t.Find("Work")));
     }},
    {"drag a folder into another",
     [](UndoTest& t, CSkedraDoc&, VCollection&) {
         EXPECT_TRUE(t.tree->Drop(t.Find("Projects"), t.Find("Home")));
     }},
    {"drag an action to another day of the calendar",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         static_cast<VTask*>(t.Find("Quarterly report"))->startDate = "2026-04-09";
         d.ItemsChanged();
     }},
    {"rename a folder in the tree",
     [](UndoTest& t, CSkedraDoc&, VCollection&) {
         ASSERT_TRUE(t.tree->BeginLabelEdit(t.Find("Home")));
         EXPECT_TRUE(t.tree->EndLabelEdit(t.Find("Home"), "House"));
     }},
    {"date format in Preferences",
     [](UndoTest& t, CSkedraDoc&, VCollection&) {
         ScriptedEditor editor;
         editor.script = [](ItemForm& form, int) {
             static_cast<DlgPrefs&>(form).dateFormat.Pick(2);
             return true;
         };
         ASSERT_TRUE(t.Run(CMD_PREFERENCES));
     }},
    {"a command that changed items without asking for a refresh",
     [](UndoTest& t, CSkedraDoc& d, VCollection&) {
         d.BeginCommand("Edit");
         t.Find("Work")->name = "Job";
         d.EndCommand(true);
     }},
};

TEST_F(UndoTest, EveryKindOfChangeUndoesAndRedoesToTheSameBytes) {
    for (const ChangeCase& change : CASES) {
        SCOPED_TRACE(change.kind);
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
        ASSERT_FALSE(Run(CMD_UNDO)) << "an opened document has no history";
        std::string before = Bytes();
        auto identities = Identities();
        int format = C().dateFormat;

        change.make(*this, *doc, C());
        std::string after = Bytes();
        int changedFormat = C().dateFormat;
        ASSERT_TRUE(after != before || changedFormat != format) << "the case changes nothing";

        ASSERT_TRUE(Run(CMD_UNDO));
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(Identities(), identities) << "the same nodes in the same places";
        EXPECT_EQ(C().dateFormat, format);
        EXPECT_EQ(doc->GetGlobalInt("dateformat", format), format) << "the setting follows";
        EXPECT_FALSE(doc->History().CanUndo());

        ASSERT_TRUE(Run(CMD_REDO));
        EXPECT_EQ(Bytes(), after);
        EXPECT_EQ(C().dateFormat, changedFormat);
        ASSERT_TRUE(Run(CMD_UNDO));
        EXPECT_EQ(Bytes(), before) << "a second undo after the redo";
        EXPECT_FALSE(host.modified);
    }
}

// A command of the table on the fixture, as the user gives it: what is selected first,
// and the answers of its question and its dialog.
struct CommandCase {
    int command;
    const char* selected; // the node selected first (by name), or none
    bool treeFolder;      // the selected node is the folder tree's context folder
};

const CommandCase COMMAND_CASES[] = {
    {CMD_ADD_TODO, nullptr, false},
    {CMD_ADD_ACTION, nullptr, false},
    {CMD_ADD_CONTACT, nullptr, false},
    {CMD_ADD_PAYMENT, nullptr, false},
    {CMD_ADD_FOLDER, nullptr, false},
    {CMD_EDIT, "Quarterly report", false},
    {CMD_DELETE, "Groceries", false},
    {CMD_DELETE, "Work", false},
    {CMD_WAITING, "Plan the move", false},
    {CMD_MAKE_INACTIVE, "Projects", false},
    {CMD_LATER_1_WEEK, "Plan the move", false},
    {CMD_EARLIER_4_WEEKS, "Work", false},
    {CMD_ADD_1_MONTH, "Quarterly report", false},
    {CMD_SUBTRACT_1_DAY, "Home", false},
    {CMD_FOCUS, "Groceries", false},
    {CMD_TREE_DELETE, "Work", true},
    {CMD_TREE_ADD_SUBFOLDER, "Home", true},
    {CMD_TREE_MAKE_INACTIVE, "Home", true},
    {CMD_TREE_EDIT, "Projects", true},
};

TEST_F(UndoTest, EveryItemCommandUndoesAndRedoesToTheSameBytesUnderItsName) {
    ScriptedUI boxes;
    ScriptedEditor editor;
    // Every dialog changes something before its OK, as a user would.
    editor.script = [](ItemForm& form, int) {
        if (auto* task = dynamic_cast<CDlgTaskFull*>(&form)) task->what = "Changed in the dialog";
        if (auto* folder = dynamic_cast<DlgGroup*>(&form)) folder->folderType.Pick(FOLDER_FACT);
        if (auto* todo = dynamic_cast<CDlgTodo*>(&form)) todo->what = "Changed in the dialog";
        if (auto* contact = dynamic_cast<CDlgResource*>(&form)) {
            contact->firstName = "Cleo";
            contact->initials = "CW";
        }
        if (auto* item = dynamic_cast<CommItemForm*>(&form)) item->who = "Landlord";
        return true;
    };
    for (const CommandCase& c : COMMAND_CASES) {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
        view->viewType = 1; // in the calendar, Edit acts on the selected item
        if (c.selected) {
            VNode* node = Find(c.selected);
            ASSERT_NE(node, nullptr);
            node->Select();
            if (c.treeFolder) tree->contextFolder = node;
        }
        C().MakeView(C().root); // the shown chain a folder's reschedule acts on
        std::string before = Bytes();
        boxes.answers = {MsgAnswer::Yes};
        ASSERT_TRUE(Run(c.command));
        std::string after = Bytes();
        ASSERT_NE(after, before) << "the command changes the document";
        EXPECT_EQ(Label(CMD_UNDO), "Undo " + CommandChangeName(c.command));
        EXPECT_EQ(doc->History().Count(), 1u) << "one step";

        ASSERT_TRUE(Run(CMD_UNDO));
        EXPECT_EQ(Bytes(), before);
        EXPECT_FALSE(host.modified);
        ASSERT_TRUE(Run(CMD_REDO));
        EXPECT_EQ(Bytes(), after);
        EXPECT_TRUE(host.modified);
    }
}

// A text Windows-1252 cannot hold changes the document to UTF-8 inside the edit that
// brought it: the conversion of every text and the edit are one step, undone together to
// the Windows-1252 bytes, and redone together.
TEST_F(UndoTest, TheChangeToUtf8IsOneStepWithTheEditThatNeededIt) {
    ScriptedEditor editor;
    const char* typed = nullptr;
    editor.script = [&](ItemForm& form, int) {
        // What the dialog's text crossing does with a typed text.
        if (auto* todo = dynamic_cast<CDlgTodo*>(&form))
            todo->what = C().EnteredUtf8(typed).c_str();
        if (auto* task = dynamic_cast<CDlgTaskFull*>(&form))
            task->what = C().EnteredUtf8(typed).c_str();
        return true;
    };
    view->viewType = 1;
    auto* groceries = static_cast<VTodo*>(Find("Groceries"));
    groceries->Select();
    typed = "Caf\xC3\xA9 cr\xC3\xA8me";
    ASSERT_TRUE(Run(CMD_EDIT));
    EXPECT_EQ(C().textEncoding, TextEncoding::Windows1252) << "Windows-1252 holds it";
    EXPECT_STREQ(groceries->what.Text(), "Caf\xE9 cr\xE8me");
    std::string before = Bytes();

    auto* report = static_cast<VTask*>(Find("Quarterly report"));
    groceries->tempFlags &= ~SELECTED;
    report->Select();
    typed = "\xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA \xE6\x97\xA5\xE6\x9C\xAC \xE2\x9C\x93";
    ASSERT_TRUE(Run(CMD_EDIT));
    EXPECT_EQ(C().textEncoding, TextEncoding::Utf8);
    EXPECT_STREQ(report->what.Text(), typed);
    EXPECT_STREQ(groceries->what.Text(), "Caf\xC3\xA9 cr\xC3\xA8me") << "converted";
    std::string after = Bytes();
    EXPECT_EQ(after.substr(8, 4), "TENC");
    EXPECT_EQ(doc->History().Count(), 2u) << "one step for the conversion and the edit";
    EXPECT_EQ(Label(CMD_UNDO), "Undo " + CommandChangeName(CMD_EDIT));

    ASSERT_TRUE(Run(CMD_UNDO));
    EXPECT_EQ(C().textEncoding, TextEncoding::Windows1252);
    EXPECT_EQ(Bytes(), before);
    ASSERT_TRUE(Run(CMD_REDO));
    EXPECT_EQ(C().textEncoding, TextEncoding::Utf8);
    EXPECT_EQ(Bytes(), after);
    EXPECT_STREQ(static_cast<VTodo*>(Find("Groceries"))->what.Text(), "Caf\xC3\xA9 cr\xC3\xA8me");
}

// The pointer's changes, as the item view and the folder tree make them, undo and redo
// like the commands': a tick of a row's check box, a double click that adds an item, a
// row dropped on a folder of the tree.
TEST_F(UndoTest, ChangesByThePointerUndoAndRedoToTheSameBytes) {
    ScriptedEditor editor;
    editor.script = [](ItemForm& form, int) {
        if (auto* task = dynamic_cast<CDlgTaskFull*>(&form)) task->what = "Added by a double click";
        return true;
    };
    const std::vector<std::pair<const char*, std::function<void()>>> inputs = {
        {"tick",
         [&] {
             VNode* todo = Find("Groceries");
             view->SetFolder(Find("Home"));
             LayOut();
             const VRect& r = todo->rect;
             int x = r.x;
             while (x < r.x + 100 && !view->InCheckBox(todo, x, r.y + r.height / 2))
                 ++x;
             view->OnLButtonDown(x, r.y + r.height / 2);
             view->OnLButtonUp(x, r.y + r.height / 2);
         }},
        {"double click on empty space",
         [&] {
             view->SetFolder(Find("Work")); // a folder of actions
             LayOut();
             view->OnLButtonDblClk(200, 700);
         }},
        {"row dropped on a folder",
         [&] { EXPECT_TRUE(tree->DropData(DragDataOf(*Find("Groceries")), Find("Projects"))); }},
    };
    for (const auto& [what, input] : inputs) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
        view->viewType = 0;
        view->viewFlags &= ~VIEW_GANTT;
        std::string before = Bytes();
        input();
        std::string after = Bytes();
        ASSERT_NE(after, before);
        ASSERT_TRUE(Run(CMD_UNDO));
        EXPECT_EQ(Bytes(), before);
        ASSERT_TRUE(Run(CMD_REDO));
        EXPECT_EQ(Bytes(), after);
    }
}

TEST_F(UndoTest, UndoingAFolderDeleteBringsBackTheSameNodesAndTheAssigneesIntoIt) {
    VContact* ann = Contact("Ann");
    std::uint32_t annSerial = ann->Serial();
    std::uint32_t workSerial = Find("Work")->Serial();
    std::uint32_t projectsSerial = Find("Projects")->Serial();
    C().RemoveTree(Find("Work"));
    doc->ActivityChanged();
    auto* plan = static_cast<VTask*>(Find("Plan the move"));
    ASSERT_EQ(plan->assignees[0], Contact("Bob")) << "Ann left the action with her folder";
    EXPECT_EQ(Label(CMD_UNDO), "Undo Delete") << "named by what changed";

    int refills = host.refills;
    ASSERT_TRUE(Run(CMD_UNDO));
    EXPECT_GT(host.refills, refills) << "folders came back: the tree is refilled";
    ann = Contact("Ann");
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(ann->Serial(), annSerial);
    EXPECT_STREQ(ann->lastName.Text(), "Lee");
    EXPECT_EQ(ann->parent->Serial(), workSerial);
    EXPECT_EQ(Find("Projects")->Serial(), projectsSerial);
    EXPECT_EQ(Find("Projects")->parent, Find("Work"));
    EXPECT_EQ(plan->assignees[0], ann);
    EXPECT_EQ(plan->assignees[1], Contact("Bob"));
    auto* report = static_cast<VTask*>(Find("Quarterly report"));
    EXPECT_EQ(report->parent, Find("Projects"));
    EXPECT_EQ(report->assignees[0], ann);
    EXPECT_TRUE(Find("Work")->tempFlags & SELECTED) << "the folder that came back";
    EXPECT_EQ(host.contacts.size(), 3u) << "the contact list has Ann again";
}

TEST_F(UndoTest, TheModifiedFlagFollowsTheHistory) {
    auto tick = [&] {
        Find("Groceries")->flags ^= DONE;
        doc->ItemsChanged();
    };
    tick();
    EXPECT_TRUE(host.modified);
    ASSERT_TRUE(doc->SaveDocument(path.c_str()));
    host.SetModified(false); // what the window does after a save

    tick();
    EXPECT_TRUE(host.modified);
    Run(CMD_UNDO);
    EXPECT_FALSE(host.modified) << "back at the saved state";
    Run(CMD_UNDO);
    EXPECT_TRUE(host.modified) << "before the saved state";
    Run(CMD_REDO);
    EXPECT_FALSE(host.modified);
    Run(CMD_REDO);
    EXPECT_TRUE(host.modified);

    // A saved state on a branch that a new change drops is out of reach.
    Run(CMD_UNDO);
    Run(CMD_UNDO);
    Find("Work")->name = "Job";
    doc->ItemEdited(Find("Job"));
    Run(CMD_UNDO);
    EXPECT_TRUE(host.modified) << "the saved state had the tick, this one has not";
}

// The date format is a setting, not part of the file: changing it is undoable, but the
// document does not become modified.
TEST_F(UndoTest, PreferencesAreUndoneWithoutMarkingTheDocumentModified) {
    ScriptedEditor editor;
    editor.script = [](ItemForm& form, int) {
        static_cast<DlgPrefs&>(form).dateFormat.Pick(1);
        return true;
    };
    ASSERT_TRUE(Run(CMD_PREFERENCES));
    EXPECT_EQ(C().dateFormat, 1);
    EXPECT_EQ(Label(CMD_UNDO), "Undo Preferences");
    EXPECT_FALSE(host.modified);
    ASSERT_TRUE(Run(CMD_UNDO));
    EXPECT_EQ(C().dateFormat, 0);
    EXPECT_EQ(doc->GetGlobalInt("dateformat", -1), 0);
    EXPECT_FALSE(host.modified);
    ASSERT_TRUE(Run(CMD_REDO));
    EXPECT_EQ(doc->GetGlobalInt("dateformat", -1), 1);
    EXPECT_FALSE(host.modified);

    Find("Groceries")->flags |= DONE;
    doc->ItemsChanged();
    Run(CMD_UNDO);
    EXPECT_FALSE(host.modified) << "only the format differs from the opened document";
}

TEST_F(UndoTest, ANewChangeAfterAnUndoDropsTheRedo) {
    std::string start = Bytes();
    EXPECT_TRUE(tree->Drop(Find("Groceries"), Find("Work")));
    std::string moved = Bytes();
    Find("Plan the move")->flags |= WAITING;
    doc->ItemsChanged();
    ASSERT_TRUE(Run(CMD_UNDO));
    EXPECT_EQ(Bytes(), moved);
    EXPECT_EQ(Label(CMD_REDO), "Redo Change");
    EXPECT_TRUE(CommandEnabled(CMD_REDO, context));

    EXPECT_TRUE(tree->BeginLabelEdit(Find("Home")));
    EXPECT_TRUE(tree->EndLabelEdit(Find("Home"), "House"));
    EXPECT_FALSE(CommandEnabled(CMD_REDO, context));
    EXPECT_EQ(Label(CMD_REDO), "Redo");
    EXPECT_EQ(Label(CMD_UNDO), "Undo Rename 'Home'");
    EXPECT_FALSE(Run(CMD_REDO));
    ASSERT_TRUE(Run(CMD_UNDO));
    EXPECT_EQ(Bytes(), moved);
    EXPECT_EQ(Label(CMD_UNDO), "Undo Move to 'Work'");
    ASSERT_TRUE(Run(CMD_UNDO));
    EXPECT_EQ(Bytes(), start);
    EXPECT_EQ(Label(CMD_REDO), "Redo Move to 'Work'");
    EXPECT_FALSE(CommandEnabled(CMD_UNDO, context));
}

TEST_F(UndoTest, InputThatIsNoCommandNamesItsChange) {
    // Opening a folder is saved with the document but is no edit.
    tree->Expanded(Find("Work"), true);
    EXPECT_EQ(Label(CMD_UNDO), "Undo");
    EXPECT_TRUE(host.modified);
    tree->Expanded(Find("Work"), false);
    EXPECT_FALSE(CommandEnabled(CMD_UNDO, context));
    tree->Drop(Find("Projects"), C().root);
    EXPECT_EQ(Label(CMD_UNDO), "Undo Move to 'All folders'");
    Run(CMD_UNDO);
    EXPECT_EQ(Label(CMD_REDO), "Redo Move to 'All folders'");
    EXPECT_EQ(Find("Projects")->parent, Find("Work"));
    // A change nothing named is named by what changed.
    C().Add(new VFact(&C()), C().root);
    doc->ItemsChanged();
    EXPECT_EQ(Label(CMD_UNDO), "Undo Add");
}

TEST_F(UndoTest, ACommandIsOneStepUnderItsNameHoweverManyRefreshesItAsks) {
    doc->BeginCommand(CommandChangeName(CMD_DELETE));
    C().RemoveTree(Find("Groceries"));
    doc->ItemsChanged();
    C().RemoveTree(Find("Home"));
    doc->ActivityChanged();
    EXPECT_FALSE(doc->History().CanUndo()) << "recorded when the command ends";
    doc->EndCommand(false);
    EXPECT_EQ(doc->History().Count(), 1u);
    EXPECT_EQ(Label(CMD_UNDO), "Undo Delete");
    EXPECT_TRUE(host.modified);

    // A command that says it changed items is recorded without any refresh.
    doc->BeginCommand(CommandChangeName(CMD_ADD_TODO));
    AddNode<VTodo>(C());
    doc->EndCommand(true);
    EXPECT_EQ(Label(CMD_UNDO), "Undo Add to-do");
    EXPECT_EQ(doc->History().Count(), 2u);
}

TEST_F(UndoTest, ChangeNamesComeFromTheCommandsCaptions) {
    EXPECT_EQ(CommandChangeName(CMD_DELETE), "Delete");
    EXPECT_EQ(CommandChangeName(CMD_EDIT), "Edit");
    EXPECT_EQ(CommandChangeName(CMD_ADD_FOLDER), "Add folder");
    EXPECT_EQ(CommandChangeName(CMD_PREFERENCES), "Preferences");
    EXPECT_EQ(CommandChangeName(CMD_FILE_SAVE_AS), "Save As");
    EXPECT_EQ(CommandChangeName(4711), "");
}

TEST_F(UndoTest, UndoIsGreyedWithNothingToUndoAndWhileATextFieldHasTheKeys) {
    EXPECT_FALSE(CommandEnabled(CMD_UNDO, context));
    EXPECT_EQ(Label(CMD_UNDO), "Undo");
    Find("Groceries")->flags |= WAITING;
    doc->ItemsChanged();
    EXPECT_TRUE(CommandEnabled(CMD_UNDO, context));
    ui.typing = true;
    EXPECT_FALSE(CommandEnabled(CMD_UNDO, context));
    EXPECT_FALSE(Run(CMD_UNDO));
    EXPECT_TRUE(Find("Groceries")->flags & WAITING) << "the field keeps the key";
    ui.typing = false;
    EXPECT_TRUE(Run(CMD_UNDO));
    EXPECT_FALSE(Find("Groceries")->flags & WAITING);
}

TEST_F(UndoTest, TheViewLeavesAFolderThatGoesAndRebuildsItsRows) {
    auto* folder = new VGroup(&C());
    folder->name = "Inbox";
    C().Add(folder, Find("Work"));
    doc->ActivityChanged();
    AddNode<VTodo>(C(), folder);
    doc->ItemsChanged();
    view->SetFolder(folder);
    view->needsRebuild = false;

    ASSERT_TRUE(Run(CMD_UNDO)); // the to-do
    EXPECT_EQ(view->Folder(), folder);
    EXPECT_TRUE(view->needsRebuild);
    ASSERT_TRUE(Run(CMD_UNDO)); // the folder
    EXPECT_EQ(view->Folder(), Find("Work"));
    EXPECT_EQ(view->RowCount(), 0) << "no row points at the folder that went";
    ASSERT_TRUE(Run(CMD_REDO));
    EXPECT_TRUE(Find("Inbox")->tempFlags & SELECTED);
    EXPECT_EQ(Find("Inbox")->parent, Find("Work"));
}

TEST_F(UndoTest, TheHistoryKeepsTheLastThousandChangesAndOpeningClearsIt) {
    std::string first = Bytes();
    VNode* todo = Find("Groceries");
    for (int i = 0; i < 1003; ++i) {
        todo->flags ^= WAITING;
        doc->ItemsChanged();
    }
    EXPECT_EQ(doc->History().Count(), UndoHistory::MAX_CHANGES);
    int undone = 0;
    while (Run(CMD_UNDO))
        ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_NE(Bytes(), first) << "three changes are out of reach (an odd count of ticks)";
    EXPECT_TRUE(host.modified) << "the opened state is out of reach";

    ASSERT_TRUE(Run(CMD_REDO));
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_FALSE(doc->History().CanUndo());
    EXPECT_FALSE(doc->History().CanRedo());
}

// One name per command, whichever way it was started: an edit through F2, Enter or a
// double click goes by the ribbon's Edit, and the pointer's own changes by what they did.
TEST_F(UndoTest, AChangeGoesByOneNameWhicheverWayItWasStarted) {
    ScriptedEditor editor;
    editor.script = [](ItemForm& form, int) {
        if (auto* todo = dynamic_cast<CDlgTodo*>(&form)) todo->what = "Changed in the dialog";
        return true;
    };
    auto showHome = [&](int viewType) {
        ASSERT_TRUE(doc->OpenDocument(path.c_str()));
        view->viewType = viewType;
        view->viewFlags = (view->viewFlags & ~VIEW_GANTT) | VIEW_DONE; // ticked rows stay
        doc->Filters().CopyViewFlagsToFilters(view->viewFlags);
        view->SetFolder(Find("Home"));
        view->Calendar().gridStart.SetDate(23, 2, 2026); // the Monday before "Plan the move"
        LayOut();
    };
    auto rowMiddle = [&](VNode* item) { return item->rect.y + item->rect.height / 2; };

    showHome(0);
    Find("Groceries")->Select();
    ASSERT_TRUE(Run(CMD_EDIT));
    EXPECT_EQ(Label(CMD_UNDO), "Undo Edit");

    const std::vector<std::pair<const char*, std::function<void()>>> edits = {
        {"F2", [&] { view->OnKeyDown(ViewKey::F2); }},
        {"Enter", [&] { view->OnKeyDown(ViewKey::Enter); }},
        {"double click on the row",
         [&] {
             VNode* todo = Find("Groceries");
             view->OnLButtonDblClk(todo->rect.x + 150, rowMiddle(todo));
         }},
    };
    for (const auto& [how, edit] : edits) {
        SCOPED_TRACE(how);
        showHome(0);
        Find("Groceries")->Select();
        std::string before = Bytes();
        edit();
        ASSERT_NE(Bytes(), before) << "the dialog changed the item";
        EXPECT_EQ(Label(CMD_UNDO), "Undo Edit");
    }

    // A tick and a drag in the calendar are no command: each says what it did.
    showHome(0);
    VNode* todo = Find("Groceries");
    int x = todo->rect.x;
    while (x < todo->rect.x + 100 && !view->InCheckBox(todo, x, rowMiddle(todo)))
        ++x;
    view->OnLButtonDown(x, rowMiddle(todo));
    view->OnLButtonUp(x, rowMiddle(todo));
    ASSERT_TRUE(todo->flags & DONE);
    EXPECT_EQ(Label(CMD_UNDO), "Undo Mark done");
    LayOut();
    view->OnLButtonDown(x, rowMiddle(todo));
    EXPECT_EQ(Label(CMD_UNDO), "Undo Mark not done");

    showHome(1);
    auto* plan = static_cast<VTask*>(Find("Plan the move"));
    plan->flags &= ~NO_DATE; // shown on its days
    doc->ItemsChanged();
    LayOut();
    const CalendarCell *monday = nullptr, *wednesday = nullptr;
    for (const CalendarCell& cell : view->Calendar().cells) {
        if (!std::strcmp(cell.date.Format(2), "2026-03-02")) monday = &cell;
        if (!std::strcmp(cell.date.Format(2), "2026-03-04")) wednesday = &cell;
    }
    ASSERT_TRUE(monday && wednesday && monday->lineCount > 0);
    int fromX = monday->x + 10, fromY = monday->lines[0].rect.top + 5;
    ASSERT_EQ(view->Calendar().HitItem(fromX, fromY), plan);
    int toX = wednesday->x + 10, toY = wednesday->y + wednesday->h / 2;
    view->OnLButtonDown(fromX, fromY);
    view->OnMouseMove(toX, toY, true);
    view->OnLButtonUp(toX, toY);
    ASSERT_STREQ(plan->startDate.Text(), "2026-03-04");
    EXPECT_EQ(Label(CMD_UNDO), "Undo Reschedule");
}

// Opening a folder is stored with the document, but it is no edit: no undo step, and
// what can be redone stays.
TEST_F(UndoTest, ExpandingIsNoUndoStep) {
    VNode* work = Find("Home");
    ASSERT_NE(work, nullptr);
    ASSERT_TRUE(tree->BeginLabelEdit(work));
    ASSERT_TRUE(tree->EndLabelEdit(work, "Job"));
    VNode* folder = C().root;
    ASSERT_TRUE(doc->StepHistory(true, folder));
    ASSERT_STREQ(work->name.Text(), "Home");
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
    EXPECT_STREQ(work->name.Text(), "Home");
    EXPECT_FALSE(work->flags & EXPANDED);

    // An edit after an expansion is one step, the edit alone.
    tree->Expanded(work, true);
    ASSERT_TRUE(tree->BeginLabelEdit(work));
    ASSERT_TRUE(tree->EndLabelEdit(work, "Jobs"));
    EXPECT_EQ(doc->History().UndoName(), "Rename 'Home'");
    EXPECT_FALSE(doc->History().CanRedo());
    ASSERT_TRUE(doc->StepHistory(true, folder));
    EXPECT_STREQ(work->name.Text(), "Home");
    EXPECT_TRUE(work->flags & EXPANDED);
}

} // namespace
