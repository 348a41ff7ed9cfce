// The wx document and view that hand new, open, save and the save question to the
// program's own document, CSkedraDoc.
#pragma once

#include <wx/docview.h>

// A path as the user reads it: wx keeps the bytes of a name that is not UTF-8 in
// characters of their own (so the file can be opened again); shown, they read as the
// 8-bit text documents are written in.
wxString DisplayFileName(const wxString& path);

class VantryDocument : public wxDocument {
  public:
    bool OnNewDocument() override;
    bool OnSaveModified() override;
    wxString GetUserReadableName() const override;

  protected:
    bool DoOpenDocument(const wxString& file) override;
    bool DoSaveDocument(const wxString& file) override;

  private:
    wxDECLARE_DYNAMIC_CLASS(VantryDocument);
};

// The document's one view: the panes of the main frame show the document.
class VantryView : public wxView {
  public:
    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    // The document refreshes the windows itself (DocumentHost); wx's own path stays idle.
    void OnUpdate(wxView*, wxObject*) override {}
    bool OnClose(bool deleteWindow) override;
    wxPrintout* OnCreatePrintout() override;
    // wx would title the frame with the document's name alone: the title keeps the
    // program's name and version in front.
    void OnChangeFilename() override;

  private:
    wxDECLARE_DYNAMIC_CLASS(VantryView);
};

// Keeps four recent documents, names a new document "Vantry" and titles the window
// with the program's name and the document's.
class VantryDocManager : public wxDocManager {
  public:
    VantryDocManager();
    wxFileHistory* OnCreateFileHistory() override;
    wxString MakeNewDocumentName() override { return "Vantry"; }
    wxString MakeFrameTitle(wxDocument* doc) override;
    // Any file the user names is a document, whatever its extension (a backup
    // "doc.bak" too): there is one document type.
    wxDocTemplate* FindTemplateForPath(const wxString& path) override;
    wxPreviewFrame* CreatePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent,
                                       const wxString& title) override;

  private:
    // A recent document that is no longer there: said in a box and taken off the list.
    void OnRecentDocument(wxCommandEvent& event);
};
