#include "wx/panes.h"

#include "app/skedradoc.h"
#include "foundation/qtime.h"
#include "model/vvisibility.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

namespace {

CSkedraView* currentItemView = nullptr;

class FolderData : public wxTreeItemData {
public:
    explicit FolderData(VNode* node) : folder(node) {}
    VNode* folder;
};

VCollection& collection() { return *CSkedraDoc::Current()->collection; }

}  // namespace

CLeftView::CLeftView(wxWindow* parent)
    : wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxSize(180, 100),
                 wxTR_DEFAULT_STYLE | wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT) {
    Bind(wxEVT_TREE_SEL_CHANGED, &CLeftView::onSelect, this);
}

void CLeftView::Refill() {
    DeleteAllItems();
    if (!CSkedraDoc::Current()) return;
    VCollection& c = collection();
    VVisibility visibility(c);
    visibility.Evaluate(c.root);
    wxTreeItemId top = AddRoot("All folders", -1, -1, new FolderData(c.root));
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
            wxTreeItemId item = AppendItem(p.item, wxString::From8BitData(child->name.Text()), -1, -1,
                                           new FolderData(child));
            pending.push_back({child, item});
        }
    }
    ExpandAll();
}

void CLeftView::onSelect(wxTreeEvent& event) {
    auto* data = event.GetItem().IsOk() ? dynamic_cast<FolderData*>(GetItemData(event.GetItem())) : nullptr;
    if (!data || !CSkedraView::Current()) return;
    CSkedraView::Current()->folder = data->folder;
    CSkedraView::Current()->needsRebuild = true;
    CSkedraView::Current()->Refresh();
}

CSkedraView::CSkedraView(wxWindow* parent)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(100, 100)) {
    currentItemView = this;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetScrollRate(10, 20);
    Bind(wxEVT_PAINT, &CSkedraView::onPaint, this);
}

CSkedraView* CSkedraView::Current() { return currentItemView; }

void CSkedraView::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    PrepareDC(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!CSkedraDoc::Current()) return;
    VCollection& c = collection();
    VNode* shown = folder && c.Contains(folder) ? folder : c.root;
    c.MakeView(shown);
    needsRebuild = false;

    qstring title;
    shown->FolderTitle(title);
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    dc.SetFont(font.Bold());
    dc.DrawText(wxString::Format("%s on %s", wxString::From8BitData(title.Text()),
                                 QCurrentDateText()),
                10, 10);
    dc.SetFont(font);
    int y = 40;
    for (VNode* node = shown->nextShown; node; node = node->nextShown, y += 20) {
        qstring text;
        node->Describe(text, false);
        if (IsFolder(node)) dc.SetFont(font.Bold());
        dc.DrawText(wxString::From8BitData(text.Text()), 10 + 20 * node->level, y);
        dc.SetFont(font);
    }
    SetVirtualSize(600, y + 20);
}
