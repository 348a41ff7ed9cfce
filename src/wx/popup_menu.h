// Shows a context menu from its data: the entries with their commands' wx ids, the
// default entry in bold, and each entry greyed or not for the item the menu is for. The
// chosen command travels up from the window to the command router.
#pragma once

#include <wx/gdicmn.h>

struct ContextMenu;
class ItemViewWindow;
class VNode;
class wxMenu;
class wxWindow;

// The menu as wx builds it; the caller owns it.
wxMenu* MakeContextMenu(const ContextMenu& menu, const VNode* item);

void ShowContextMenu(wxWindow& window, const ContextMenu& menu, const VNode* item,
                     const wxPoint& where);

// The right button in the item view opens the menu of what lies under the pointer.
void BindItemViewContextMenu(ItemViewWindow& window);
