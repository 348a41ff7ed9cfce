#include "wx/item_view_window.h"

#include "app/skedraDoc.h"
#include "views/skedraView.h"
#include "views/zoom.h"
#include "wx/popup_menu.h"
#include "wx/wx_canvas.h"
#include "wx/wx_ids.h"

#include <wx/dataobj.h>
#include <wx/dcbuffer.h>
#include <wx/dnd.h>

namespace {

ViewKey KeyOf(const wxKeyEvent& event) {
    if (event.HasAnyModifiers()) return ViewKey::Other;
    switch (event.GetKeyCode()) {
    case WXK_DOWN:
        return ViewKey::Down;
    case WXK_UP:
        return ViewKey::Up;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        return ViewKey::Home;
    case WXK_END:
    case WXK_NUMPAD_END:
        return ViewKey::End;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
        return ViewKey::PageUp;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
        return ViewKey::PageDown;
    case WXK_SPACE:
        return ViewKey::Space;
    case WXK_DELETE:
        return ViewKey::Delete;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        return ViewKey::Enter;
    case WXK_F2:
        return ViewKey::F2;
    case WXK_BACK:
        return ViewKey::Backspace;
    case 'F':
        return ViewKey::F;
    default:
        return ViewKey::Other;
    }
}

} // namespace

ItemViewWindow::ItemViewWindow(wxWindow* parent, CSkedraDoc* document)
    : wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(100, 100), wxWANTS_CHARS),
      view(std::make_unique<CSkedraView>(document)) {
    view->SetWindow(this);
    SetBackgroundStyle(wxBG_STYLE_PAINT); // every paint covers the whole window
    SetScrollRate(10, 10);
    EnableScrolling(true, true);
    Bind(wxEVT_PAINT, &ItemViewWindow::onPaint, this);
    Bind(wxEVT_LEFT_DOWN, &ItemViewWindow::onMouse, this);
    Bind(wxEVT_LEFT_UP, &ItemViewWindow::onMouse, this);
    Bind(wxEVT_LEFT_DCLICK, &ItemViewWindow::onMouse, this);
    Bind(wxEVT_MOTION, &ItemViewWindow::onMouse, this);
    Bind(wxEVT_MOUSEWHEEL, &ItemViewWindow::onMouse, this);
    Bind(wxEVT_KEY_DOWN, &ItemViewWindow::onKey, this);
    BindItemViewContextMenu(*this);
}

ItemViewWindow::~ItemViewWindow() {
    view->SetWindow(nullptr);
}

void ItemViewWindow::onPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    PrepareDC(dc);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!view->document) return;
    WxCanvas canvas(dc);
    // GTK already draws logical pixels at the monitor's integer scale; what is left to
    // follow is the desktop's text resolution.
    double screenScale = ScreenScaleForDpi(GetDPI().y);
    if (screenScale != view->screenScale) {
        view->screenScale = screenScale;
        view->needsRebuild = true;
    }
    view->OnPrepareDC(false);
    wxSize client = GetClientSize();
    view->OnDraw(canvas, {0, 0, client.x, client.y});
    wxSize wanted(view->ScrollWidth(), view->ScrollHeight());
    if (GetVirtualSize() != wanted) SetVirtualSize(wanted);
    // A box shown from inside a paint would come back with every repaint.
    if (view->HasDeferredMessage()) CallAfter([this] { view->ShowDeferredMessages(); });
}

void ItemViewWindow::onMouse(wxMouseEvent& event) {
    wxEventType type = event.GetEventType();
    // The platform's own handling first (focus), except for the wheel, which scrolls by
    // rows or months instead of by lines.
    if (type != wxEVT_MOUSEWHEEL) event.Skip();
    if (type == wxEVT_LEFT_DOWN) SetFocus();
    wxPoint at = CalcUnscrolledPosition(event.GetPosition());
    if (type == wxEVT_LEFT_DOWN)
        view->OnLButtonDown(at.x, at.y);
    else if (type == wxEVT_LEFT_UP)
        view->OnLButtonUp(at.x, at.y);
    else if (type == wxEVT_LEFT_DCLICK)
        view->OnLButtonDblClk(at.x, at.y);
    else if (type == wxEVT_MOTION)
        view->OnMouseMove(at.x, at.y, event.LeftIsDown());
    else if (type == wxEVT_MOUSEWHEEL && event.GetWheelAxis() == wxMOUSE_WHEEL_VERTICAL)
        view->OnMouseWheel(event.GetWheelRotation(), event.ControlDown());
}

void ItemViewWindow::onKey(wxKeyEvent& event) {
    ViewKey key = KeyOf(event);
    if (key == ViewKey::Other) {
        event.Skip();
        return;
    }
    view->OnKeyDown(key);
}

void ItemViewWindow::StartDrag(const std::string& text) {
    wxTextDataObject data(wxString::FromAscii(text.c_str()));
    wxDropSource source(data, this);
    source.DoDragDrop(wxDrag_DefaultMove);
}

int ItemViewWindow::ScrollTop() {
    int unitX, unitY;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    return GetViewStart().y * unitY;
}

int ItemViewWindow::VisibleHeight() {
    return GetClientSize().y;
}

void ItemViewWindow::ScrollTo(int top) {
    int unitX, unitY;
    GetScrollPixelsPerUnit(&unitX, &unitY);
    if (unitY <= 0) return;
    // Round so that what was asked for is wholly shown in either direction.
    Scroll(-1, top > ScrollTop() ? (top + unitY - 1) / unitY : top / unitY);
}

void ItemViewWindow::FocusFilterText() {
    if (focusFilterText) focusFilterText();
}

void ItemViewWindow::SendCommand(int command) {
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    wxGetTopLevelParent(this)->GetEventHandler()->ProcessEvent(event);
}
