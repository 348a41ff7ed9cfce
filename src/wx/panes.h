// The two panes of the main window: the folder tree on the left and the item view's
// window on the right, which paints the item view (CSkedraView) through a canvas.
#pragma once

#include <memory>
#include <wx/scrolwin.h>
#include <wx/treectrl.h>

class CSkedraDoc;
class CSkedraView;
class VNode;

class CLeftView : public wxTreeCtrl {
  public:
    explicit CLeftView(wxWindow* parent);
    void Refill();

  private:
    void onSelect(wxTreeEvent& event);
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
