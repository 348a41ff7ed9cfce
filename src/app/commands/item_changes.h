// Changes to the document's items that more than one command makes: the item a command
// acts on, a new folder through its dialog, and a deletion after the user's yes. Each
// ends in one of the document's refresh sequences and answers what it changed.
#pragma once

#include "app/commands/command_table.h"

class CSkedraView;

// The caption of the program's own boxes.
constexpr const char* PROGRAM_CAPTION = "Vantry";

class VCollection;
class VNode;

// The collection the item view shows.
VCollection& ShownCollection(const CSkedraView& view);

// The selected item: the first node with its selected flag set, or none.
VNode* SelectedItem(const CSkedraView& view);

bool HasSelectedItem(const CommandContext& c);

// What Edit acts on: in list mode the selected row's item, as long as it is still
// selected; otherwise (and in the calendar) the selected item.
VNode* EditTarget(const CSkedraView& view);

// Clears or sets the node's own inactive flag; a folder's counts for everything below it.
unsigned SetActive(CommandContext& c, VNode* node, bool active);

// A folder named "<foldername>" in the item view's current folder, once its dialog
// ends with OK; the tree then selects it.
unsigned AddFolder(CommandContext& c);

// Asks "Delete items" whether to delete the node and everything below it; on Yes deletes
// them and selects the item shown just before the selected one. When the view showed a
// deleted folder it shows the node's parent afterwards.
unsigned DeleteWithQuestion(CommandContext& c, VNode* node);
// The same without asking, once the user has said so.
unsigned DeleteTree(CommandContext& c, VNode* node);
