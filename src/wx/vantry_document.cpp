#include "wx/vantry_document.h"

#include "app/commandline.h"
#include "app/skedradoc.h"
#include "platform/ui.h"
#include "wx/main_frame.h"
#include "wx/printing.h"

#include <wx/app.h>

wxIMPLEMENT_DYNAMIC_CLASS(VantryDocument, wxDocument);
wxIMPLEMENT_DYNAMIC_CLASS(VantryView, wxView);

namespace {
void refreshFrame() {
    if (CMainFrame* frame = CMainFrame::Current()) frame->DocumentChanged();
}
} // namespace

wxString VantryDocManager::MakeFrameTitle(wxDocument* doc) {
    wxString title = VANTRY_VERSION_TEXT;
    if (doc) title += " - " + doc->GetUserReadableName() + (doc->IsModified() ? " *" : "");
    return title;
}

bool VantryDocument::OnNewDocument() {
    if (!wxDocument::OnNewDocument()) return false;
    if (!CSkedraDoc::Current()->OnNewDocument()) return false;
    refreshFrame();
    return true;
}

bool VantryDocument::DoOpenDocument(const wxString& file) {
    if (!CSkedraDoc::Current()->OpenDocument(file.utf8_str())) return false;
    refreshFrame();
    return true;
}

bool VantryDocument::DoSaveDocument(const wxString& file) {
    return CSkedraDoc::Current()->SaveDocument(file.utf8_str());
}

bool VantryDocument::OnSaveModified() {
    if (!IsModified()) return true;
    wxString question = wxString::Format("Save changes to %s?", GetUserReadableName());
    switch (
        ShowMessage(question.utf8_str(), "Vantry", MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgAnswer::Yes:
        return Save();
    case MsgAnswer::No:
        Modify(false);
        return true;
    default:
        return false;
    }
}

bool VantryView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags)) return false;
    SetFrame(CMainFrame::Current());
    return true;
}

void VantryView::OnUpdate(wxView*, wxObject*) {
    refreshFrame();
}

wxPrintout* VantryView::OnCreatePrintout() {
    CMainFrame* frame = CMainFrame::Current();
    return frame ? new ItemViewPrintout(frame->ItemView()) : nullptr;
}

bool VantryView::OnClose(bool) {
    return GetDocument() ? GetDocument()->Close() : true;
}
