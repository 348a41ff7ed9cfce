#include "views/LeftView.h"

#include "foundation/single_line.h"
#include "model/vcollection.h"
#include "model/vfolderlist.h"
#include "model/vvisibility.h"
#include "platform/ui.h"
#include "views/drag_data.h"
#include "views/skedraView.h"
#include "views/view_document.h"

namespace {
CLeftView* current = nullptr;
}

CLeftView::CLeftView(ViewDocument* doc) : document(doc) {
    current = this;
}

CLeftView::~CLeftView() {
    if (current == this) current = nullptr;
}

CLeftView* CLeftView::Current() {
    return current;
}

std::vector<CLeftView::Entry> CLeftView::Refill() {
    VCollection& c = *document->Collection();
    std::vector<Entry> entries;
    for (const VFolderEntry& f : FolderList(c, MAX_FOLDERS)) {
        Entry e;
        e.folder = f.folder;
        e.parent = f.parent;
        e.label = f.folder == c.root ? "All folders" : f.folder->name.Text();
        int type = static_cast<VGroup*>(f.folder)->folderType;
        e.image = type >= 0 && type <= 9 ? type : 0;
        e.bold = f.hasSubfolders;
        e.expanded = f.folder == c.root || (f.folder->flags & EXPANDED);
        entries.push_back(e);
    }
    return entries;
}

void CLeftView::SelectionChanged(VNode* folder) {
    CSkedraView* view = CSkedraView::Current();
    if (!folder || !view) return;
    view->SetFolder(folder);
    view->Redraw();
}

void CLeftView::SelectNode(VNode* folder) {
    if (!folder) return;
    SelectionChanged(folder);
    if (control) control->ShowSelected(folder);
}

void CLeftView::StartRename(VNode* folder) {
    if (control && folder && folder != document->Collection()->root) control->EditLabel(folder);
}

VNode* CLeftView::ContextFolder() const {
    // The menu may outlive its folder: a new document, a deletion from elsewhere.
    VCollection& c = *document->Collection();
    return contextFolder && c.Contains(contextFolder) && IsFolder(contextFolder) ? contextFolder
                                                                                 : nullptr;
}

bool CLeftView::BeginLabelEdit(VNode* folder) {
    if (!folder || folder == document->Collection()->root) return false;
    oldName = folder->name.Text();
    return true;
}

bool CLeftView::EndLabelEdit(VNode* folder, const std::string& text) {
    if (!folder || folder == document->Collection()->root || text.empty()) return false;
    folder->name = SingleLine(text.c_str()); // a pasted line break would make every row tall
    document->NameNextChange("Rename '" + oldName + "'");
    document->ItemEdited(folder);
    return true;
}

void CLeftView::Expanded(VNode* folder, bool expanded) {
    if (!folder || folder == document->Collection()->root) return;
    // An expansion counts only when the folder was not open yet; a collapse always.
    if (expanded && (folder->flags & EXPANDED)) return;
    if (expanded)
        folder->flags |= EXPANDED;
    else
        folder->flags &= ~EXPANDED;
    document->FolderExpansionChanged(folder);
}

bool CLeftView::Drop(VNode* node, VNode* target) {
    if (!node || !target || node == target) return true;
    if (target->IsDescendantOf(node)) {
        std::string text = "Can't make '" + std::string(node->name.Text()) +
                           "' a subfolder of one of its own subfolders.";
        ShowMessage(text.c_str(), "Error", MsgButtons::OK, MsgIcon::Error);
        return false;
    }
    node->parent = target;
    document->NameNextChange(
        "Move to '" +
        std::string(target == document->Collection()->root ? "All folders" : target->name.Text()) +
        "'");
    // Moving can change which folders hold what, and so what counts as inactive.
    document->ActivityChanged();
    return true;
}

bool CLeftView::DropData(const std::string& text, VNode* target) {
    VNode* node = NodeOfDragData(*document->Collection(), text);
    if (!node) return false;
    Drop(node, target);
    return true;
}
