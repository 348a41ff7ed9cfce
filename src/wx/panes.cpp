#include "wx/panes.h"

#include "app/skedradoc.h"
#include "model/vvisibility.h"
#include "views/skedraView.h"
#include "wx/main_frame.h"
#include "wx/wx_canvas.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

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

#include <wx/imaglist.h>

namespace {

class FolderData : public wxTreeItemData {
  public:
    explicit FolderData(VNode* node) : folder(node) {}
    VNode* folder;
};

VCollection& collection() {
    return *CSkedraDoc::Current()->collection;
}

} // namespace

CLeftView::CLeftView(wxWindow* parent)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(180, 100),
                 wxTR_DEFAULT_STYLE | wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT) {
    Bind(wxEVT_TREE_SEL_CHANGED, &CLeftView::onSelect, this);
    // One picture per default item type of a folder, in the order of the types.
    auto* icons = new wxImageList(16, 16, true, 10);
    for (const char* const* xpm :
         {tree_folder_xpm, tree_action_xpm, tree_agreement_xpm, tree_call_xpm, tree_contact_xpm,
          tree_fact_xpm, tree_location_xpm, tree_mail_xpm, tree_pay_xpm, tree_todo_xpm})
        icons->Add(wxBitmap(xpm));
    AssignImageList(icons);
}

void CLeftView::Refill() {
    DeleteAllItems();
    if (!CSkedraDoc::Current()) return;
    VCollection& c = collection();
    VVisibility visibility(c);
    visibility.Evaluate(c.root);
    wxTreeItemId top = AddRoot("All folders", 0, 0, new FolderData(c.root));
    struct Pending {
        VNode* folder;
        wxTreeItemId item;
    };
    std::vector<Pending> pending{{c.root, top}};
    while (!pending.empty()) {
        Pending p = pending.back();
        pending.pop_back();
        VVisibility::Range children = visibility.Children(p.folder);
        for (size_t i = children.begin; i < children.end; ++i) {
            VNode* child = visibility.Child(i);
            if (!IsFolder(child) || !visibility.Visible(i)) continue;
            int type = static_cast<VGroup*>(child)->folderType;
            int image = type >= 0 && type <= 9 ? type : 0;
            wxTreeItemId item = AppendItem(p.item, wxString::From8BitData(child->name.Text()),
                                           image, image, new FolderData(child));
            pending.push_back({child, item});
        }
    }
    ExpandAll();
}

void CLeftView::onSelect(wxTreeEvent& event) {
    auto* data =
        event.GetItem().IsOk() ? dynamic_cast<FolderData*>(GetItemData(event.GetItem())) : nullptr;
    if (!data || !CSkedraView::Current()) return;
    CSkedraView::Current()->SetFolder(data->folder);
    if (CMainFrame* frame = CMainFrame::Current()) frame->UpdateAllViews();
}

ItemViewWindow::ItemViewWindow(wxWindow* parent, CSkedraDoc* document)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(100, 100)),
      view(std::make_unique<CSkedraView>(document)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT); // every paint covers the whole window
    SetScrollRate(10, 10);
    Bind(wxEVT_PAINT, &ItemViewWindow::onPaint, this);
}

ItemViewWindow::~ItemViewWindow() = default;

void ItemViewWindow::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    PrepareDC(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!CSkedraDoc::Current()) return;
    WxCanvas canvas(dc);
    wxSize client = GetClientSize();
    view->OnDraw(canvas, {0, 0, client.x, client.y});
    wxSize wanted(view->scrollWidth, view->scrollHeight);
    if (GetVirtualSize() != wanted) SetVirtualSize(wanted);
}
