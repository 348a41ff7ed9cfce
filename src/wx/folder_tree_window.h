// The folder tree's window: a tree control filled from CLeftView's entries, which
// reports what the user does with it back to CLeftView.
#pragma once

#include <memory>
#include <wx/treectrl.h>

class CLeftView;
class ViewDocument;
class VNode;

class FolderTreeWindow : public wxTreeCtrl {
  public:
    FolderTreeWindow(wxWindow* parent, ViewDocument* document);
    ~FolderTreeWindow() override;
    void Refill();
    CLeftView& Tree() { return *tree; }

  private:
    VNode* folderOf(const wxTreeItemId& item) const;
    void onSelect(wxTreeEvent& event);
    std::unique_ptr<CLeftView> tree;
    bool filling = false;
};
