// Printing and print preview of the item view: wx's print flow calls the view's page
// count, per-page set-up and paint pass in the order the view expects.
#pragma once

#include <wx/prntbase.h>

class CSkedraView;
class wxPreviewFrame;
class wxPrintPreviewBase;
class wxWindow;

// Tells the user when a print run without the dialog did not print, unless they
// cancelled it themselves (error: wxPrinter::GetLastError()).
void ReportQuickPrint(bool printed, wxPrinterError error);

// The print preview's window, sized so that the whole page shows at the preview's zoom
// (or, on a screen too small for it, at the largest zoom that shows it whole).
wxPreviewFrame* MakePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent,
                                 const wxString& title);

class ItemViewPrintout : public wxPrintout {
  public:
    explicit ItemViewPrintout(CSkedraView& view);

    void OnPreparePrinting() override;
    void OnBeginPrinting() override;
    void GetPageInfo(int* minPage, int* maxPage, int* selectionFrom, int* selectionTo) override;
    bool HasPage(int page) override;
    bool OnPrintPage(int page) override;
    void OnEndPrinting() override;

  private:
    void countPages();
    CSkedraView& view;
};
