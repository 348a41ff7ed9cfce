#include "wx/vantry_document.h"

#include "app/skedradoc.h"
#include "app/version.h"
#include "platform/ui.h"
#include "views/skedraView.h"
#include "wx/main_frame.h"
#include "wx/printing.h"
#include "wx/text_convert.h"

#include "foundation/qfile.h"

#include <wx/app.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

wxIMPLEMENT_DYNAMIC_CLASS(VantryDocument, wxDocument);
wxIMPLEMENT_DYNAMIC_CLASS(VantryView, wxView);

namespace {

// Recent documents are kept by their absolute paths, so each entry opens its document
// from whatever folder the program was started in.
class VantryFileHistory : public wxFileHistory {
  public:
    VantryFileHistory() : wxFileHistory(4) {}
    void AddFileToHistory(const wxString& file) override {
        std::string absolute = QAbsolutePath(std::string(file.fn_str()));
        wxFileHistory::AddFileToHistory(wxString(absolute.c_str(), *wxConvFileName));
    }
};

} // namespace

VantryDocManager::VantryDocManager() {
    // Bound handlers come before the framework's own, which would try to open it.
    Bind(wxEVT_MENU, &VantryDocManager::OnRecentDocument, this, wxID_FILE1, wxID_FILE9);
}

wxFileHistory* VantryDocManager::OnCreateFileHistory() {
    return new VantryFileHistory;
}

void VantryDocManager::OnRecentDocument(wxCommandEvent& event) {
    wxFileHistory* history = GetFileHistory();
    size_t n = (size_t)(event.GetId() - wxID_FILE1);
    if (!history || n >= history->GetCount() || wxFileExists(history->GetHistoryFile(n))) {
        event.Skip();
        return;
    }
    wxString path = history->GetHistoryFile(n);
    history->RemoveFileFromHistory(n);
    wxMessageBox("The recent document \"" + path +
                     "\" is no longer there. It has been taken off the list of recent "
                     "documents.",
                 VANTRY_VERSION_TEXT, wxOK | wxICON_WARNING);
}

wxDocTemplate* VantryDocManager::FindTemplateForPath(const wxString&) {
    return GetTemplates().empty() ? nullptr : static_cast<wxDocTemplate*>(GetTemplates()[0]);
}

wxPreviewFrame* VantryDocManager::CreatePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent,
                                                     const wxString& title) {
    return MakePreviewFrame(preview, parent, title);
}

wxString VantryDocManager::MakeFrameTitle(wxDocument* doc) {
    wxString title = VANTRY_VERSION_TEXT;
    if (doc) title += " - " + doc->GetUserReadableName() + (doc->IsModified() ? " *" : "");
    return title;
}

bool VantryDocument::OnNewDocument() {
    if (!wxDocument::OnNewDocument()) return false;
    return CSkedraDoc::Current()->OnNewDocument();
}

// The file's own bytes, whatever they are: fn_str gives back a name that is not UTF-8.
bool VantryDocument::DoOpenDocument(const wxString& file) {
    return CSkedraDoc::Current()->OpenDocument(file.fn_str());
}

bool VantryDocument::DoSaveDocument(const wxString& file) {
    return CSkedraDoc::Current()->SaveDocument(file.fn_str());
}

wxString VantryDocument::GetUserReadableName() const {
    if (GetFilename().empty()) return wxDocument::GetUserReadableName();
    return DisplayFileName(wxFileName(GetFilename()).GetFullName());
}

wxString DisplayFileName(const wxString& path) {
    return MessageToWx(path.fn_str());
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

wxPrintout* VantryView::OnCreatePrintout() {
    CSkedraView* view = CSkedraView::Current();
    return view ? new ItemViewPrintout(*view) : nullptr;
}

void VantryView::OnChangeFilename() {
    wxWindow* frame = GetFrame();
    wxDocument* doc = GetDocument();
    if (frame && doc) frame->SetLabel(doc->GetDocumentManager()->MakeFrameTitle(doc));
}

bool VantryView::OnClose(bool) {
    return GetDocument() ? GetDocument()->Close() : true;
}
