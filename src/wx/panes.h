// The two panes of the main window: the folder tree on the left and the item view's
// window on the right, which paints the item view (CSkedraView) through a canvas.
#pragma once

#include <memory>
#include <wx/scrolwin.h>
#include <wx/treectrl.h>

class CSkedraDoc;
class CSkedraView;
class VNode;

class CLeftView;

// The folder tree's window: a tree control filled from CLeftView's entries.
class FolderTreeWindow : public wxTreeCtrl {
  public:
    FolderTreeWindow(wxWindow* parent, CSkedraDoc* document);
    ~FolderTreeWindow() override;
    void Refill();
    CLeftView& Tree() { return *tree; }

  private:
    VNode* folderOf(const wxTreeItemId& item) const;
    void onSelect(wxTreeEvent& event);
    std::unique_ptr<CLeftView> tree;
    bool filling = false;
};

class ItemViewWindow : public wxScrolledWindow {
  public:
    ItemViewWindow(wxWindow* parent, CSkedraDoc* document);
    ~ItemViewWindow() override;
    CSkedraView& View() { return *view; }

  private:
    void onPaint(wxPaintEvent& event);
    std::unique_ptr<CSkedraView> view;
};
