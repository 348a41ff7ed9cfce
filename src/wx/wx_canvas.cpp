#include "wx/wx_canvas.h"

#include "wx/svg_icons.h"
#include "wx/text_convert.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/settings.h>

#include <cmath>
#include <map>
#include <utility>

namespace {

wxColour toWx(Colour c) {
    return wxColour(c.r, c.g, c.b);
}

const char* iconName(ItemIcon icon) {
    switch (icon) {
    case ItemIcon::Contact:
        return "contact";
    case ItemIcon::Call:
        return "call";
    case ItemIcon::Mail:
        return "mail";
    case ItemIcon::Pay:
        return "pay";
    case ItemIcon::Agreement:
        return "agreement";
    case ItemIcon::Location:
        return "location";
    case ItemIcon::None:
        break;
    }
    return nullptr;
}

// The rules name Windows faces; this desktop's sans-serif face takes their place.
bool isWindowsFace(const std::string& face) {
    return face == "MS Sans Serif" || face == "Arial";
}

} // namespace

void WxCanvas::SetPen(PenStyle style, int width, Colour colour) {
    dc.SetPen(wxPen(toWx(colour), width < 1 ? 1 : width,
                    style == PenStyle::Dotted ? wxPENSTYLE_DOT : wxPENSTYLE_SOLID));
}

void WxCanvas::SetFont(int height, int weight, const std::string& face) {
    // Every row sets its font again: a font is made only when it differs from the last.
    if (fontMade && height == fontHeight && weight == fontWeight && face == fontFace) return;
    fontMade = true;
    fontHeight = height;
    fontWeight = weight;
    fontFace = face;
    int characterHeight = height < 0 ? -height : height;
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (isWindowsFace(face) && printing) {
        // On paper the rows are only 1.5 character heights high: the letters keep to the
        // character height asked for.
        font.SetPixelSize(wxSize(0, characterHeight * 6 / 5));
    } else if (isWindowsFace(face)) {
        font.SetPixelSize(wxSize(0, ScreenPixelSize(dc, characterHeight)));
    } else {
        font.SetPixelSize(wxSize(0, characterHeight));
        if (!face.empty()) font.SetFaceName(wxString::FromUTF8(face));
    }
    font.SetWeight(weight >= 700 ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    dc.SetFont(font);
}

int WxCanvas::ScreenPixelSize(const wxDC& dc, int characterHeight) {
    // The rules' geometry was drawn for MS Sans Serif, which at a character height of 8
    // shows its smallest strike: letters 11 pixels high, digits 6 pixels wide, so two of
    // them fit a 14-pixel day of the Gantt chart. The desktop's sans-serif is wider: it
    // takes the largest size up to those 11/8 of the character height whose digits are
    // no wider than 3/4 of it, and never less than the character height itself.
    static std::map<int, int> fitted;
    auto known = fitted.find(characterHeight);
    if (known != fitted.end()) return known->second;
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    int size = characterHeight * 11 / 8;
    for (; size > characterHeight; --size) {
        font.SetPixelSize(wxSize(0, size));
        wxCoord width = 0, ignored = 0;
        dc.GetTextExtent("0123456789", &width, &ignored, nullptr, nullptr, &font);
        if (width * 4 <= characterHeight * 3 * 10) break;
    }
    fitted[characterHeight] = size;
    return size;
}

CanvasSize WxCanvas::TextExtent(const std::string& text) const {
    wxCoord width = 0, height = 0;
    dc.GetTextExtent(wxString::From8BitData(text.c_str()), &width, &height);
    return {width, height};
}

void WxCanvas::SetTextColour(Colour colour) {
    dc.SetTextForeground(toWx(colour));
}

void WxCanvas::SetTransparentBackground() {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}

void WxCanvas::FillRect(const CanvasRect& r, Colour colour) {
    // A fill leaves the pen as it was: outlines and lines that follow still use it.
    wxPen pen = dc.GetPen();
    dc.SetBrush(wxBrush(toWx(colour)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
    dc.SetPen(pen);
}

void WxCanvas::Rectangle(const CanvasRect& r) {
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void WxCanvas::MoveTo(int x, int y) {
    penX = x;
    penY = y;
}

void WxCanvas::LineTo(int x, int y) {
    // wx leaves the end point out as the rules do.
    dc.DrawLine(penX, penY, x, y);
    penX = x;
    penY = y;
}

void WxCanvas::Text(int x, int y, const std::string& text) {
    dc.DrawText(ToWx(text), x, y);
}

void WxCanvas::TextEllipsis(const CanvasRect& r, const std::string& text) {
    wxString whole = ToWx(text);
    // Most texts fit: those are drawn as they are, without cutting or clipping.
    wxCoord width = 0, height = 0;
    dc.GetTextExtent(whole, &width, &height);
    if (width <= r.right - r.left && height <= r.bottom - r.top) {
        dc.DrawText(whole, r.left, r.top);
        return;
    }
    wxString shown =
        wxControl::Ellipsize(whole, dc, wxELLIPSIZE_END, r.right - r.left, wxELLIPSIZE_FLAGS_NONE);
    wxDCClipper clip(dc, wxRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    dc.DrawText(shown, r.left, r.top);
}

void WxCanvas::Icon(const CanvasRect& box, ItemIcon icon) {
    const char* name = iconName(icon);
    int size = box.right - box.left;
    if (!name || size < 1) return;
    // Drawn from the SVG at the box's size in the screen's own pixels (or the printer's
    // dots), made once for each size.
    double density = dc.GetContentScaleFactor();
    static std::map<std::pair<ItemIcon, std::pair<int, double>>, wxBitmap> drawn;
    wxBitmap& picture = drawn[{icon, {size, density}}];
    if (!picture.IsOk()) picture = SvgIconBitmap(name, (int)std::lround(size * density), density);
    dc.DrawBitmap(picture, box.left, box.top, true);
}

CanvasRect WxCanvas::ClipBox() const {
    wxCoord x, y, w, h;
    dc.GetClippingBox(&x, &y, &w, &h);
    if (w <= 0 || h <= 0) {
        // No clipping region: the whole surface, from the logical origin.
        wxSize size = dc.GetSize();
        x = dc.DeviceToLogicalX(0);
        y = dc.DeviceToLogicalY(0);
        w = size.x;
        h = size.y;
    }
    return {x, y, x + w, y + h};
}

int WxCanvas::DeviceCaps(DeviceCap cap) const {
    switch (cap) {
    case DeviceCap::HorzRes:
        return dc.GetSize().GetWidth();
    case DeviceCap::VertRes:
        return dc.GetSize().GetHeight();
    case DeviceCap::LogPixelsY:
        return dc.GetPPI().GetHeight();
    }
    return 0;
}
