// The item view's window: paints the item view (CSkedraView) through a canvas, scrolls
// over what it drew, and turns pointer and key events into the view's handlers.
#pragma once

#include "views/view_window.h"

#include <functional>
#include <memory>
#include <wx/scrolwin.h>

class CSkedraDoc;
class CSkedraView;

class ItemViewWindow : public wxScrolledWindow, public ViewWindow {
  public:
    ItemViewWindow(wxWindow* parent, CSkedraDoc* document);
    ~ItemViewWindow() override;
    CSkedraView& View() { return *view; }
    // What the F key asks for: the frame's "Filter by text" field with its text selected.
    std::function<void()> focusFilterText;

    // ViewWindow
    void StartDrag(const std::string& text) override;
    int ScrollTop() override;
    int VisibleHeight() override;
    void ScrollTo(int top) override;
    void FocusFilterText() override;
    void SendCommand(int command) override;
    void Repaint() override { Refresh(); }

  private:
    void onPaint(wxPaintEvent& event);
    void onMouse(wxMouseEvent& event);
    void onKey(wxKeyEvent& event);
    std::unique_ptr<CSkedraView> view;
};
