// What the item view asks of its window: the platform's drag loop, the scroll position
// of the page, the keyboard focus of the filter field, and commands sent as a menu would.
// The wx window implements it; tests record the calls.
#pragma once

#include <string>

class ViewWindow {
  public:
    virtual ~ViewWindow() = default;
    // Runs the drag loop with this plain text as the data and the move effect only;
    // returns when the drop is done or cancelled.
    virtual void StartDrag(const std::string& text) = 0;
    // The page's top edge shown in the window, the height shown, and scrolling to a top.
    virtual int ScrollTop() = 0;
    virtual int VisibleHeight() = 0;
    virtual void ScrollTo(int top) = 0;
    // The ribbon's "Filter by text" field gets the keyboard with its whole text selected.
    virtual void FocusFilterText() = 0;
    // A command (platform/command_ids.h) sent as its menu entry would: the Delete key sends
    // the command table's Delete.
    virtual void SendCommand(int command) = 0;
    virtual void Repaint() = 0;
};
