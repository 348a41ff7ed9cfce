// The item view's window: paints the item view (CSkedraView) through a canvas and
// scrolls over what it drew.
#pragma once

#include <memory>
#include <wx/scrolwin.h>

class CSkedraDoc;
class CSkedraView;

class ItemViewWindow : public wxScrolledWindow {
  public:
    ItemViewWindow(wxWindow* parent, CSkedraDoc* document);
    ~ItemViewWindow() override;
    CSkedraView& View() { return *view; }

  private:
    void onPaint(wxPaintEvent& event);
    std::unique_ptr<CSkedraView> view;
};
