#include "wx/left_view_drop_target.h"

#include "foundation/qmessage.h"
#include "model/vcollection.h"
#include "views/LeftView.h"
#include "views/drag_data.h"
#include "views/view_document.h"
#include "wx/left_view_window.h"

wxDragResult LeftViewDropTarget::OnEnter(wxCoord x, wxCoord y, wxDragResult def) {
    qtrace(QLOC("CLeftView::OnDragEnter"), "OnDragEnter\n");
    return OnDragOver(x, y, def);
}

wxDragResult LeftViewDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult) {
    return tree->FolderAt(wxPoint(x, y)) ? wxDragMove : wxDragNone;
}

void LeftViewDropTarget::OnLeave() {
    qtrace(QLOC("CLeftView::OnDragLeave"), "OnDragLeave\n");
}

bool LeftViewDropTarget::OnDropText(wxCoord x, wxCoord y, const wxString& text) {
    VNode* target = tree->FolderAt(wxPoint(x, y));
    ViewDocument* document = tree->Tree().document;
    std::string data(text.ToAscii());
    if (!target || !NodeOfDragData(*document->Collection(), data)) return false;
    // Both are named again afterwards: the document may change before the call comes.
    std::string targetData = DragDataOf(*target);
    tree->CallAfter([tree = tree, document, data, targetData] {
        if (VNode* folder = NodeOfDragData(*document->Collection(), targetData))
            tree->Tree().DropData(data, folder);
    });
    return true;
}
