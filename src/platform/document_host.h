// What the document asks of the windows around it: the modified mark, a redraw of
// every view, a refill of the folder tree, the contact list of the ribbon.
#pragma once

#include <string>
#include <vector>

class VNode;

class DocumentHost {
  public:
    virtual ~DocumentHost() = default;
    virtual void SetModified(bool modified) = 0;
    virtual void UpdateAllViews() = 0;
    virtual void RefillTree() = 0;
    // The folder tree selects the folder, which makes it the item view's current folder;
    // windows without a tree ignore it.
    virtual void SelectFolder(VNode*) {}
    // The ribbon's "Hilite items of " list: its entries and the selected one.
    virtual int ContactListSelection() = 0;
    virtual void SetContactList(const std::vector<std::string>& entries, int selected) = 0;
};
