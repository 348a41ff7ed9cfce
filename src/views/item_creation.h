// New items made by the item view (and the creation commands): the kind a folder's
// default item type asks for, and adding a new item once its dialog ends with OK.
#pragma once

class ViewDocument;
class VCollection;
class VNode;

// A new item of the kind that a folder's default item type names: 1 action, 2 agreement,
// 3 to-call, 4 contact, 5 fact, 6 location, 7 to-mail, 8 to-pay, anything else a to-do.
VNode* NewItemOfFolderType(VCollection& collection, int folderType);

// Opens the new item's dialog; on OK adds it to the folder (one change of the document),
// on cancel deletes it. Takes the node over either way; true when it was added.
bool AddNewItem(ViewDocument& document, VNode* item, VNode* folder);
