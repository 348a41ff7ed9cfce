#include "wx/wx_canvas.h"

#include "wx/svg_icons.h"
#include "wx/text_convert.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/settings.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>
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

WxCanvas::WxCanvas(wxDC& dc, bool printing) : dc(dc), printing(printing), pen(dc.GetPen()) {}

// Pens, brushes and fonts are made and handed to the DC only when they change (each makes a
// cairo source): rows set the same ones over and over.
void WxCanvas::SetPen(PenStyle style, int width, Colour colour) {
    if (width < 1) width = 1;
    if (penMade && style == penStyle && width == penWidth && colour == penColour) return;
    penMade = true;
    penStyle = style;
    penWidth = width;
    penColour = colour;
    pen = wxPen(toWx(colour), width, style == PenStyle::Dotted ? wxPENSTYLE_DOT : wxPENSTYLE_SOLID);
    penOnDc = false;
}

void WxCanvas::usePen() {
    if (penOnDc) return;
    dc.SetPen(pen);
    penOnDc = true;
}

void WxCanvas::useBrush(bool filled, Colour colour) {
    if (brushMade && filled == brushFilled && (!filled || colour == brushColour)) return;
    brushMade = true;
    brushFilled = filled;
    brushColour = colour;
    dc.SetBrush(filled ? wxBrush(toWx(colour)) : *wxTRANSPARENT_BRUSH);
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
    fontKey = font.GetNativeFontInfoDesc().utf8_string();
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

CanvasSize WxCanvas::measured(const wxString& shown) {
    // A repaint shows mostly the texts the last one showed: measuring one lays it out
    // completely, so the screen's sizes are kept by font and text (for a screenful of
    // fonts). Printers measure in their own dots.
    static std::unordered_map<std::string, CanvasSize> sizes;
    std::string key = fontKey + '\0' + shown.utf8_string();
    if (fontMade && !printing) {
        auto known = sizes.find(key);
        if (known != sizes.end()) return known->second;
    }
    wxCoord width = 0, height = 0;
    dc.GetTextExtent(shown, &width, &height);
    if (!fontMade || printing) return {width, height};
    if (sizes.size() > 20000) sizes.clear();
    return sizes[key] = {width, height};
}

void WxCanvas::SetTextColour(Colour colour) {
    dc.SetTextForeground(toWx(colour));
}

void WxCanvas::SetTransparentBackground() {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}

void WxCanvas::FillRect(const CanvasRect& r, Colour colour) {
    // A fill leaves the pen as it was: outlines and lines that follow still use it.
    if (penOnDc) dc.SetPen(*wxTRANSPARENT_PEN);
    penOnDc = false;
    useBrush(true, colour);
    dc.DrawRectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void WxCanvas::Rectangle(const CanvasRect& r) {
    usePen();
    useBrush(false, {});
    dc.DrawRectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void WxCanvas::MoveTo(int x, int y) {
    penX = x;
    penY = y;
}

void WxCanvas::LineTo(int x, int y) {
    // wx leaves the end point out as the rules do.
    usePen();
    if (!stampDottedLine(x, y)) dc.DrawLine(penX, penY, x, y);
    penX = x;
    penY = y;
}

void WxCanvas::Text(int x, int y, const std::string& text) {
    dc.DrawText(ToWx(text), x, y);
}

void WxCanvas::TextEllipsis(const CanvasRect& r, const std::string& text) {
    wxString whole = ToWx(text);
    // Most texts fit: those are drawn as they are, without cutting or clipping.
    CanvasSize size = measured(whole);
    if (size.width <= r.right - r.left && size.height <= r.bottom - r.top) {
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

bool WxCanvas::stampDottedLine(int x, int y) {
    // Cairo strokes a dotted line dot by dot, at three times the cost of a plain one. The
    // Gantt chart draws the same few dotted lines on every row: each is drawn once onto a
    // transparent bitmap, with the same pen, and that picture is put down wherever the line
    // goes again: the same pixels for a shift by whole pixels. (Black only: a coloured
    // picture's smoothed edge blends a shade off.)
    wxGraphicsContext* gc = dc.GetGraphicsContext();
    double xScale = 0, yScale = 0;
    dc.GetUserScale(&xScale, &yScale);
    if (penStyle != PenStyle::Dotted || !penMade || penColour != Colour{} || printing || !gc ||
        (x != penX && y != penY) || xScale != 1 || yScale != 1 || dc.GetContentScaleFactor() != 1)
        return false;
    int dx = x - penX, dy = y - penY, margin = penWidth + 1;
    wxSize size(std::abs(dx) + 2 * margin, std::abs(dy) + 2 * margin);
    wxPoint start(dx < 0 ? size.x - margin : margin, dy < 0 ? size.y - margin : margin);
    static std::map<std::tuple<int, int, int>, wxGraphicsBitmap> stamps;
    std::tuple<int, int, int> key{dx, dy, penWidth};
    auto found = stamps.find(key);
    if (found == stamps.end()) {
        if (stamps.size() > 256) stamps.clear();
        wxImage clear(size);
        clear.InitAlpha();
        std::memset(clear.GetAlpha(), 0, (size_t)size.x * size.y);
        wxBitmap picture(clear, 32);
        {
            wxMemoryDC onPicture(picture);
            onPicture.SetPen(pen);
            onPicture.DrawLine(start, start + wxPoint(dx, dy));
        }
        found = stamps.emplace(key, gc->CreateBitmap(picture)).first;
    }
    gc->DrawBitmap(found->second, penX - start.x, penY - start.y, size.x, size.y);
    return true;
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
