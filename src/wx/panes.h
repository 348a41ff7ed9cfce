// The two panes of the main window: the folder tree on the left and the item view on
// the right. Both draw what the document holds; their full behaviour lives in views/.
#pragma once

#include "app/viewstate.h"

#include <wx/scrolwin.h>
#include <wx/treectrl.h>

class VNode;

class CLeftView : public wxTreeCtrl {
public:
    explicit CLeftView(wxWindow* parent);
    void Refill();

private:
    void onSelect(wxTreeEvent& event);
};

class CSkedraView : public wxScrolledWindow, public ItemViewState {
public:
    explicit CSkedraView(wxWindow* parent);
    static CSkedraView* Current();

    VNode* folder = nullptr;  // the current folder; null means the top folder

private:
    void onPaint(wxPaintEvent& event);
};
