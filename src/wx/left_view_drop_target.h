// The folder tree as a drop target: plain text dropped on a folder goes to CLeftView,
// which moves the node it names there. The move runs once the drag loop has ended, so
// that a message it shows is not shown from inside the loop.
#pragma once

#include <wx/dnd.h>

class LeftViewWindow;

class LeftViewDropTarget : public wxTextDropTarget {
  public:
    explicit LeftViewDropTarget(LeftViewWindow* tree) : tree(tree) {}
    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
    void OnLeave() override;
    bool OnDropText(wxCoord x, wxCoord y, const wxString& text) override;

  private:
    LeftViewWindow* tree;
};
