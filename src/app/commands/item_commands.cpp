// Commands on the document's items: new items of every kind, edit, delete, waiting,
// activity, focus, following a link and the preferences.
#include "app/commands/command_groups.h"

#include "app/commands/item_changes.h"
#include "app/commands/item_states.h"
#include "app/skedraDoc.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "model/vvisibility.h"
#include "platform/command_ids.h"
#include "platform/ui.h"
#include "views/LeftView.h"
#include "views/item_creation.h"
#include "views/view_document.h"

#include <cstdio>
#include <memory>

namespace {

const char* const NO_SELECTION = "No item(s) selected.";

void tellNoSelection() {
    ShowMessage(NO_SELECTION, PROGRAM_CAPTION, MsgButtons::OK, MsgIcon::Information);
}

// A new item of the kind goes into the current folder once its dialog ends with OK.
template <typename KIND> unsigned addItem(CommandContext& c) {
    auto* item = new KIND(&ShownCollection(*c.view));
    return AddNewItem(*c.view->document, item, c.view->Folder()) ? CHANGED_ITEMS : CHANGED_NOTHING;
}

unsigned edit(CommandContext& c) {
    VNode* item = EditTarget(*c.view);
    if (!item || !item->Edit()) return CHANGED_NOTHING;
    c.view->document->ItemEdited(item);
    return CHANGED_ITEMS;
}

// Of a repeating item, one occurrence or the whole series, as the user says.
unsigned deleteSelected(CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    if (!item) {
        tellNoSelection();
        return CHANGED_NOTHING;
    }
    std::optional<VWhen> occurrence = c.view->SelectedOccurrence();
    if (!occurrence || c.view->SelectedRowItem() != item) return DeleteWithQuestion(c, item);
    VCollection& collection = ShownCollection(*c.view);
    qstring title;
    item->Describe(title, true);
    std::string question = "\"" + std::string(title.Text()) +
                           "\" repeats. Delete only its occurrence on " +
                           WhenText(collection, *occurrence) + ", or the whole series?";
    switch (AskBetween(question.c_str(), "Delete a repeating item", "This occurrence",
                       "The whole series")) {
    case MsgAnswer::Yes:
        if (!SkipOccurrence(collection, item, *occurrence)) break; // its last: the item goes
        c.view->ForgetRows();
        c.view->document->ActivityChanged();
        return CHANGED_ITEMS;
    case MsgAnswer::No:
        break;
    default:
        return CHANGED_NOTHING;
    }
    return DeleteTree(c, item);
}

// Waiting for an item only means something for kinds that can be waited for; the
// others stay as they are, without a word.
template <bool ON> unsigned setWaiting(CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    if (!item || !item->CanWait()) return CHANGED_NOTHING;
    if (ON)
        item->flags |= WAITING;
    else
        item->flags &= ~WAITING;
    c.view->document->ItemsChanged();
    return CHANGED_ITEMS;
}

template <bool ACTIVE> unsigned setActive(CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    return item ? SetActive(c, item, ACTIVE) : CHANGED_NOTHING;
}

// A folder becomes the one the view shows; any other item opens.
unsigned focus(CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    if (!item) return CHANGED_NOTHING;
    if (IsFolder(item)) {
        item->tempFlags &= ~SELECTED;
        if (c.tree) {
            c.tree->SelectNode(item);
        } else {
            c.view->SetFolder(item);
            c.view->Redraw();
        }
        return CHANGED_VIEW;
    }
    if (!item->Open()) return CHANGED_NOTHING;
    c.view->document->ItemEdited(item);
    return CHANGED_ITEMS;
}

unsigned followLink(CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    if (!item) {
        tellNoSelection();
        return CHANGED_NOTHING;
    }
    // A location opens its target; a kind without one opens its dialog, which may change it.
    if (!item->Open()) return CHANGED_NOTHING;
    c.view->document->ItemEdited(item);
    return CHANGED_ITEMS;
}

bool hasEditTarget(const CommandContext& c) {
    return EditTarget(*c.view) != nullptr;
}

// The waiting and activity entries follow the selected item's flags, as its menu shows.
template <int COMMAND> bool offeredForSelection(const CommandContext& c) {
    VNode* item = SelectedItem(*c.view);
    return item && ContextEntryEnabled(COMMAND, *item);
}

} // namespace

VCollection& ShownCollection(const CSkedraView& view) {
    return view.Collection();
}

VNode* SelectedItem(const CSkedraView& view) {
    return ShownCollection(view).Selected();
}

bool HasSelectedItem(const CommandContext& c) {
    return SelectedItem(*c.view) != nullptr;
}

VNode* EditTarget(const CSkedraView& view) {
    if (VNode* row = view.SelectedRowItem()) return row;
    return SelectedItem(view);
}

unsigned SetActive(CommandContext& c, VNode* node, bool active) {
    if (active)
        node->flags &= ~INACTIVE;
    else
        node->flags |= INACTIVE;
    c.view->document->ActivityChanged();
    return CHANGED_ITEMS;
}

unsigned AddFolder(CommandContext& c) {
    VCollection& collection = ShownCollection(*c.view);
    auto folder = std::make_unique<VGroup>(&collection);
    folder->folderType = FOLDER_NONE;
    folder->name = "<foldername>";
    if (!folder->Edit()) return CHANGED_NOTHING;
    VNode* added = collection.Add(folder.release(), c.view->Folder());
    c.view->document->ItemEdited(added);
    if (c.tree) c.tree->SelectNode(added);
    return CHANGED_ITEMS | CHANGED_VIEW;
}

unsigned DeleteWithQuestion(CommandContext& c, VNode* node) {
    CSkedraView& view = *c.view;
    VCollection& collection = ShownCollection(view);
    int count = collection.CountTree(node);
    char question[80];
    if (count == 1)
        std::snprintf(question, sizeof question, "Are you sure you want to delete this item?");
    else
        std::snprintf(question, sizeof question, "Are you sure you want to delete these %d items?",
                      count);
    if (ShowMessage(question, "Delete items", MsgButtons::YesNo, MsgIcon::Question) !=
        MsgAnswer::Yes)
        return CHANGED_NOTHING;
    return DeleteTree(c, node);
}

unsigned DeleteTree(CommandContext& c, VNode* node) {
    CSkedraView& view = *c.view;
    VCollection& collection = ShownCollection(view);
    // The item shown before the selected one, in the list as it stands now; never one
    // that goes with the deleted node.
    VNode* folder = view.Folder();
    collection.MakeView(folder);
    VNode* previous = collection.PreviousShown(folder);
    if (previous && (previous == node || previous->IsDescendantOf(node))) previous = nullptr;
    VNode* parent = node->parent ? node->parent : collection.root;
    bool folderGoes = folder == node || folder->IsDescendantOf(node);

    collection.RemoveTree(node);
    view.ForgetRows();
    if (folderGoes) view.SetFolder(parent);
    if (previous) previous->Select();
    view.document->ActivityChanged();
    return CHANGED_ITEMS | (folderGoes ? CHANGED_VIEW : CHANGED_NOTHING);
}

std::vector<CommandEntry> ItemCommands() {
    return {
        {.id = CMD_ADD_FOLDER,
         .run = AddFolder,
         .enabled = HasItemView,
         .caption = "Add folder",
         .menuCaption = "Add new &folder",
         .icon = "new_dir",
         .keys = {{.modifiers = KEY_SHIFT, .letter = 'G'}}},
        {.id = CMD_ADD_TODO,
         .run = addItem<VTodo>,
         .enabled = HasItemView,
         .caption = "Todo",
         .undoName = "Add to-do",
         .icon = "todo",
         .keys = {{.modifiers = KEY_SHIFT, .letter = 'D'}}},
        {.id = CMD_ADD_ACTION,
         .run = addItem<VTask>,
         .enabled = HasItemView,
         .caption = "Action",
         .menuCaption = "Action (with dates)",
         .undoName = "Add action",
         .icon = "action"},
        {.id = CMD_ADD_AGREEMENT,
         .run = addItem<VAgreement>,
         .enabled = HasItemView,
         .caption = "Agreement",
         .undoName = "Add agreement",
         .icon = "agreement"},
        {.id = CMD_ADD_LOCATION,
         .run = addItem<VURL>,
         .enabled = HasItemView,
         .caption = "Location",
         .undoName = "Add location",
         .icon = "location"},
        {.id = CMD_ADD_FACT,
         .run = addItem<VFact>,
         .enabled = HasItemView,
         .caption = "Fact",
         .undoName = "Add fact",
         .icon = "fact"},
        {.id = CMD_ADD_CONTACT,
         .run = addItem<VContact>,
         .enabled = HasItemView,
         .caption = "Contact",
         .undoName = "Add contact",
         .icon = "contact"},
        {.id = CMD_ADD_CALL,
         .run = addItem<VCall>,
         .enabled = HasItemView,
         .caption = "Call",
         .menuCaption = "To call",
         .undoName = "Add to-call",
         .icon = "call"},
        {.id = CMD_ADD_MAIL,
         .run = addItem<VMail>,
         .enabled = HasItemView,
         .caption = "To-Mail",
         .menuCaption = "To mail",
         .undoName = "Add to-mail",
         .icon = "mail"},
        {.id = CMD_ADD_PAYMENT,
         .run = addItem<VPay>,
         .enabled = HasItemView,
         .caption = "Payment",
         .menuCaption = "To pay",
         .undoName = "Add payment",
         .icon = "pay"},
        {.id = CMD_EDIT,
         .run = edit,
         .enabled = HasItemView,
         .usable = hasEditTarget,
         .caption = "Edit...",
         .menuCaption = "&Edit...\tF2",
         .icon = "edit",
         .viewKey = NamedKey::F2},
        {.id = CMD_DELETE,
         .run = deleteSelected,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Delete",
         .menuCaption = "De&lete...",
         .icon = "delete",
         .viewKey = NamedKey::Delete},
        {.id = CMD_WAITING,
         .run = setWaiting<true>,
         .enabled = HasItemView,
         .usable = offeredForSelection<CMD_WAITING>,
         .caption = "Waiting for this"},
        {.id = CMD_NOT_WAITING,
         .run = setWaiting<false>,
         .enabled = HasItemView,
         .usable = offeredForSelection<CMD_NOT_WAITING>,
         .caption = "Not waiting for this"},
        {.id = CMD_MAKE_ACTIVE,
         .run = setActive<true>,
         .enabled = HasItemView,
         .usable = offeredForSelection<CMD_MAKE_ACTIVE>,
         .caption = "Make active"},
        {.id = CMD_MAKE_INACTIVE,
         .run = setActive<false>,
         .enabled = HasItemView,
         .usable = offeredForSelection<CMD_MAKE_INACTIVE>,
         .caption = "Make inactive"},
        {.id = CMD_FOCUS,
         .run = focus,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Focus"},
        {.id = CMD_FOLLOW_LINK,
         .run = followLink,
         .enabled = HasItemView,
         .usable = HasSelectedItem,
         .caption = "Follow link..."},
    };
}
