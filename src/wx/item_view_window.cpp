#include "wx/item_view_window.h"

#include "app/skedradoc.h"
#include "views/skedraView.h"
#include "wx/context_menu.h"
#include "wx/wx_canvas.h"

#include <wx/dcbuffer.h>

ItemViewWindow::ItemViewWindow(wxWindow* parent, CSkedraDoc* document)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(100, 100)),
      view(std::make_unique<CSkedraView>(document)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT); // every paint covers the whole window
    SetScrollRate(10, 10);
    Bind(wxEVT_PAINT, &ItemViewWindow::onPaint, this);
    BindItemViewContextMenu(*this);
}

ItemViewWindow::~ItemViewWindow() = default;

void ItemViewWindow::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    PrepareDC(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!view->document) return;
    WxCanvas canvas(dc);
    view->OnPrepareDC(false);
    wxSize client = GetClientSize();
    view->OnDraw(canvas, {0, 0, client.x, client.y});
    wxSize wanted(view->scrollWidth, view->scrollHeight);
    if (GetVirtualSize() != wanted) SetVirtualSize(wanted);
}
