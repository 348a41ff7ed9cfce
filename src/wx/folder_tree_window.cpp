#include "wx/folder_tree_window.h"

#include "app/context_menus.h"
#include "foundation/qmessage.h"
#include "model/vnode.h"
#include "views/drag_data.h"
#include "views/skedraView.h"
#include "views/view_document.h"
#include "wx/context_menu.h"
#include "wx/key_codes.h"
#include "wx/text_convert.h"
#include "wx/wx_ids.h"

#include "wx/folder_drop_target.h"
#include "wx/icons/tree_action.xpm"
#include "wx/icons/tree_agreement.xpm"
#include "wx/icons/tree_call.xpm"
#include "wx/icons/tree_contact.xpm"
#include "wx/icons/tree_fact.xpm"
#include "wx/icons/tree_folder.xpm"
#include "wx/icons/tree_location.xpm"
#include "wx/icons/tree_mail.xpm"
#include "wx/icons/tree_pay.xpm"
#include "wx/icons/tree_todo.xpm"

#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/imaglist.h>

namespace {

class FolderData : public wxTreeItemData {
  public:
    explicit FolderData(VNode* node) : folder(node) {}
    VNode* folder;
};

} // namespace

FolderTreeWindow::FolderTreeWindow(wxWindow* parent, ViewDocument* document)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(180, 100),
                 wxTR_DEFAULT_STYLE | wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_EDIT_LABELS |
                     wxTR_HIDE_ROOT),
      tree(std::make_unique<CLeftView>(document)) {
    // One picture per default item type of a folder, in the order of the types.
    auto* icons = new wxImageList(16, 16, true, 10);
    for (const char* const* xpm :
         {tree_folder_xpm, tree_action_xpm, tree_agreement_xpm, tree_call_xpm, tree_contact_xpm,
          tree_fact_xpm, tree_location_xpm, tree_mail_xpm, tree_pay_xpm, tree_todo_xpm})
        icons->Add(wxBitmap(xpm));
    AssignImageList(icons);
    tree->control = this;

    Bind(wxEVT_TREE_SEL_CHANGED, &FolderTreeWindow::onSelect, this);
    Bind(wxEVT_TREE_ITEM_MENU, &FolderTreeWindow::onMenu, this);
    // Before the frame's accelerators: F1 here is the folders' help, not the general one.
    Bind(wxEVT_CHAR_HOOK, &FolderTreeWindow::onKeyDown, this);
    Bind(wxEVT_TREE_BEGIN_DRAG, &FolderTreeWindow::onBeginDrag, this);
    SetDropTarget(new FolderDropTarget(this));
    Bind(wxEVT_TREE_ITEM_EXPANDED, [this](wxTreeEvent& e) {
        if (!filling) tree->Expanded(folderOf(e.GetItem()), true);
    });
    Bind(wxEVT_TREE_ITEM_COLLAPSED, [this](wxTreeEvent& e) {
        if (!filling) tree->Expanded(folderOf(e.GetItem()), false);
    });
    Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, [this](wxTreeEvent& e) {
        if (!tree->BeginLabelEdit(folderOf(e.GetItem()))) e.Veto();
    });
    Bind(wxEVT_TREE_END_LABEL_EDIT, [this](wxTreeEvent& e) {
        if (e.IsEditCancelled()) return;
        // The tree is refilled on success: the edit must not write the label afterwards.
        e.Veto();
        TypedText typed;
        VNode* folder = folderOf(e.GetItem());
        tree->EndLabelEdit(folder,
                           typed.Bytes(e.GetLabel(), folder ? folder->name.Text() : nullptr));
    });
}

FolderTreeWindow::~FolderTreeWindow() {
    tree->control = nullptr;
}

VNode* FolderTreeWindow::folderOf(const wxTreeItemId& item) const {
    auto* data = item.IsOk() ? dynamic_cast<FolderData*>(GetItemData(item)) : nullptr;
    return data ? data->folder : nullptr;
}

void FolderTreeWindow::Refill() {
    if (!tree->document) return;
    filling = true;
    VNode* selected = folderOf(GetSelection());
    DeleteAllItems();
    wxTreeItemId top = AddRoot(""); // hidden parent of the top folder and orphaned folders
    std::vector<CLeftView::Entry> entries = tree->Refill();
    std::vector<wxTreeItemId> items;
    wxTreeItemId toSelect;
    for (const CLeftView::Entry& e : entries) {
        wxTreeItemId parent = e.parent >= 0 ? items[e.parent] : top;
        wxTreeItemId item =
            AppendItem(parent, ToWx(e.label), e.image, e.image, new FolderData(e.folder));
        SetItemBold(item, e.bold);
        items.push_back(item);
        if (e.folder == selected) toSelect = item;
    }
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].expanded) Expand(items[i]);
    // Without a selection to keep (at start, in a new document) the folder the item view
    // shows is selected: the top folder.
    if (!toSelect.IsOk() && CSkedraView::Current())
        toSelect = ItemOf(CSkedraView::Current()->Folder());
    if (toSelect.IsOk()) SelectItem(toSelect);
    filling = false;
}

wxTreeItemId FolderTreeWindow::ItemOf(const VNode* folder) const {
    // Depth first over the items: a tree holds at most 1000 folders.
    std::vector<wxTreeItemId> open{GetRootItem()};
    while (!open.empty()) {
        wxTreeItemId item = open.back();
        open.pop_back();
        if (!item.IsOk()) continue;
        if (folder && folderOf(item) == folder) return item;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = GetFirstChild(item, cookie); child.IsOk();
             child = GetNextChild(item, cookie))
            open.push_back(child);
    }
    return {};
}

void FolderTreeWindow::onSelect(wxTreeEvent& event) {
    if (!filling) tree->SelectionChanged(folderOf(event.GetItem()));
}

void FolderTreeWindow::ShowSelected(VNode* folder) {
    wxTreeItemId item = ItemOf(folder);
    if (!item.IsOk() || GetSelection() == item) return;
    filling = true; // CLeftView has made the folder current already
    SelectItem(item);
    EnsureVisible(item);
    filling = false;
}

void FolderTreeWindow::EditLabel(VNode* folder) {
    wxTreeItemId item = ItemOf(folder);
    if (item.IsOk()) wxTreeCtrl::EditLabel(item);
}

void FolderTreeWindow::onMenu(wxTreeEvent& event) {
    VNode* folder = folderOf(event.GetItem());
    if (!folder) return;
    tree->contextFolder = folder;
    wxPoint at = event.GetPoint();
    if (at == wxDefaultPosition) { // the keyboard's menu key: under the item
        wxRect r;
        GetBoundingRect(event.GetItem(), r, true);
        at = r.GetBottomLeft();
    }
    ShowContextMenu(*this, ContextMenuOf(ContextMenuKind::FolderTree), folder, at);
}

void FolderTreeWindow::onKeyDown(wxKeyEvent& event) {
    // Keys typed into a label being edited are the edit's own.
    if (event.GetEventObject() != this || GetEditControl()) {
        event.Skip();
        return;
    }
    VNode* selected = folderOf(GetSelection());
    for (const TreeKey& k : FolderTreeKeys()) {
        if (WxKeyCode(k.key) != event.GetKeyCode() || event.HasAnyModifiers()) continue;
        tree->contextFolder = selected;
        send(k.command);
        return;
    }
    event.Skip();
}

void FolderTreeWindow::send(int command) {
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    event.SetEventObject(this);
    ProcessWindowEvent(event); // up to the frame's command router
}

VNode* FolderTreeWindow::FolderAt(const wxPoint& point) {
    int flags = 0;
    wxTreeItemId item = HitTest(point, flags);
    return flags & (wxTREE_HITTEST_ONITEMLABEL | wxTREE_HITTEST_ONITEMICON) ? folderOf(item)
                                                                            : nullptr;
}

void FolderTreeWindow::onBeginDrag(wxTreeEvent& event) {
    // Not allowed to the control: its own drag mode would fight the platform's loop.
    VNode* folder = folderOf(event.GetItem());
    if (!folder) return;
    qtrace(QLOC("CLeftView::OnTvnBegindrag"), "Start drag in tree\n");
    wxTextDataObject data(wxString::FromAscii(DragDataOf(*folder).c_str()));
    wxDropSource source(data, this);
    source.DoDragDrop(wxDrag_DefaultMove);
}
