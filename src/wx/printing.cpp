#include "wx/printing.h"

#include "platform/ui.h"

#include "views/skedraView.h"
#include "wx/wx_canvas.h"

#include <algorithm>
#include <wx/display.h>
#include <wx/print.h>

namespace {

// The printer's page in its own device units: one logical unit is one printer dot.
class PrinterCanvas : public WxCanvas {
  public:
    explicit PrinterCanvas(wxPrintout& printout)
        : WxCanvas(*printout.GetDC(), true), printout(printout) {}
    int DeviceCaps(DeviceCap cap) const override {
        int w = 0, h = 0, x = 0, y = 0;
        printout.GetPageSizePixels(&w, &h);
        printout.GetPPIPrinter(&x, &y);
        switch (cap) {
        case DeviceCap::HorzRes:
            return w;
        case DeviceCap::VertRes:
            return h;
        case DeviceCap::LogPixelsY:
            return y;
        }
        return 0;
    }
    CanvasRect ClipBox() const override {
        int w = 0, h = 0;
        printout.GetPageSizePixels(&w, &h);
        return {0, 0, w, h};
    }

  private:
    wxPrintout& printout;
};

class PagePreviewFrame : public wxPreviewFrame {
  public:
    using wxPreviewFrame::wxPreviewFrame;

    void Initialize() override {
        wxPreviewFrame::Initialize();
        wxRect screen = wxDisplay(this).GetClientArea();
        // Smaller zooms until the page fits the screen, in the zoom list's steps of 5 %.
        for (int zoom = m_printPreview->GetZoom(); zoom > 10 && !fits(screen); zoom -= 5) {
            m_printPreview->SetZoom(zoom - 5);
            if (m_controlBar) m_controlBar->SetZoomControl(zoom - 5);
        }
        SetSize(wanted(screen));
        Centre();
    }

  private:
    // The frame's size that shows the canvas's whole page, within the screen.
    wxSize wanted(const wxRect& screen) const {
        wxSize page = m_previewCanvas->GetVirtualSize();
        wxSize canvas = m_previewCanvas->GetClientSize();
        wxSize frame = GetSize();
        return wxSize(std::min(frame.x + page.x - canvas.x, screen.width),
                      std::min(frame.y + page.y - canvas.y, screen.height));
    }
    bool fits(const wxRect& screen) const {
        wxSize page = m_previewCanvas->GetVirtualSize();
        wxSize canvas = m_previewCanvas->GetClientSize();
        wxSize frame = GetSize();
        return frame.x + page.x - canvas.x <= screen.width &&
               frame.y + page.y - canvas.y <= screen.height;
    }
};

} // namespace

wxPreviewFrame* MakePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent,
                                 const wxString& title) {
    return new PagePreviewFrame(preview, parent, title);
}

ItemViewPrintout::ItemViewPrintout(CSkedraView& itemView) : wxPrintout("Vantry"), view(itemView) {}

void ItemViewPrintout::countPages() {
    if (!GetDC()) return;
    MapScreenSizeToDevice();
    PrinterCanvas canvas(*this);
    view.DetermineNoofPages(canvas);
}

void ItemViewPrintout::OnPreparePrinting() {
    countPages();
}

void ItemViewPrintout::OnBeginPrinting() {
    wxPrintout::OnBeginPrinting();
    countPages();
}

void ItemViewPrintout::GetPageInfo(int* minPage, int* maxPage, int* selectionFrom,
                                   int* selectionTo) {
    int pages = view.PageCount() < 1 ? 1 : view.PageCount(); // a maximum of 0 would be an error
    *minPage = 1;
    *maxPage = pages;
    *selectionFrom = 1;
    *selectionTo = pages;
}

bool ItemViewPrintout::HasPage(int page) {
    return page >= 1 && page <= (view.PageCount() < 1 ? 1 : view.PageCount());
}

bool ItemViewPrintout::OnPrintPage(int page) {
    if (!GetDC()) return false;
    MapScreenSizeToDevice();
    PrinterCanvas canvas(*this);
    view.OnPrepareDC(true, page);
    int w = canvas.DeviceCaps(DeviceCap::HorzRes), h = canvas.DeviceCaps(DeviceCap::VertRes);
    view.OnDraw(canvas, {0, 0, w, h});
    return true;
}

void ItemViewPrintout::OnEndPrinting() {
    view.EndPrinting();
}

void ReportQuickPrint(bool printed, wxPrinterError error) {
    if (printed || error == wxPRINTER_CANCELLED) return;
    ShowMessage("Quick Print could not print the document. Choose a printer with Print or Print "
                "Setup and try again.",
                "Error", MsgButtons::OK, MsgIcon::Error);
}
