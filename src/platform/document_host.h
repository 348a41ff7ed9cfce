// What the document asks of the windows around it: the modified mark, a redraw of
// every view, a refill of the folder tree, the contact list of the ribbon.
#pragma once

#include <string>
#include <vector>

class DocumentHost {
  public:
    virtual ~DocumentHost() = default;
    virtual void SetModified(bool modified) = 0;
    virtual void UpdateAllViews() = 0;
    virtual void RefillTree() = 0;
    // The ribbon's "Hilite items of " list: its entries and the selected one.
    virtual int ContactListSelection() = 0;
    virtual void SetContactList(const std::vector<std::string>& entries, int selected) = 0;
};
