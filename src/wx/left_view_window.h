// The folder tree's window: a tree control filled from CLeftView's entries, which
// reports what the user does with it back to CLeftView, shows the folder context menu
// and sends the commands of its keys.
#pragma once

#include "views/LeftView.h"

#include <memory>
#include <wx/treectrl.h>

class ViewDocument;
class VNode;

class LeftViewWindow : public wxTreeCtrl, public LeftViewControl {
  public:
    LeftViewWindow(wxWindow* parent, ViewDocument* document);
    ~LeftViewWindow() override;
    void Refill();
    // The folder of the item at this point of the window, or null.
    VNode* FolderAt(const wxPoint& point);
    CLeftView& Tree() { return *tree; }

    // LeftViewControl
    void ShowSelected(VNode* folder) override;
    void EditLabel(VNode* folder) override;

    // The item showing the folder, or an invalid id.
    wxTreeItemId ItemOf(const VNode* folder) const;

  private:
    VNode* folderOf(const wxTreeItemId& item) const;
    void onSelect(wxTreeEvent& event);
    void onMenu(wxTreeEvent& event);
    void onKeyDown(wxKeyEvent& event);
    void send(int command);
    void onBeginDrag(wxTreeEvent& event);
    std::unique_ptr<CLeftView> tree;
    bool filling = false;
};
