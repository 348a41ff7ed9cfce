// The canvas over a wx DC, against wx's own drawing of the same shapes.
#include "gui/gui_support.h"
#include "wx/wx_canvas.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>

namespace {

struct Line {
    int x1, y1, x2, y2, width;
    Colour colour;
};

// What the canvas is asked to draw: black dotted lines of every direction, met again at
// other places, over a white and a grey background, and coloured ones (which wx draws
// itself: a picture of one blends a shade off).
const Line LINES[] = {
    {10, 5, 10, 25, 1, {}},
    {40, 30, 40, 4, 1, {}},
    {5, 40, 205, 40, 1, {}},
    {205, 50, 5, 50, 1, {}},
    {60, 5, 60, 25, 1, {}},
    {61, 6, 61, 26, 1, {}},
    {5, 80, 205, 80, 1, {}},
    {70, 60, 170, 60, 2, {200, 30, 0}},
    {70, 90, 170, 90, 2, {200, 30, 0}},
    {10, 70, 10, 71, 1, {}},
};

wxImage Drawn(bool throughCanvas) {
    wxBitmap bitmap(240, 100);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    WxCanvas canvas(dc);
    canvas.FillRect({0, 75, 240, 100}, {220, 220, 220});
    for (const Line& l : LINES)
        if (throughCanvas) {
            canvas.SetPen(PenStyle::Dotted, l.width, l.colour);
            canvas.MoveTo(l.x1, l.y1);
            canvas.LineTo(l.x2, l.y2);
        } else {
            dc.SetPen(wxPen(wxColour(l.colour.r, l.colour.g, l.colour.b), l.width, wxPENSTYLE_DOT));
            dc.DrawLine(l.x1, l.y1, l.x2, l.y2);
        }
    dc.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

// The canvas puts a dotted line down as a picture it drew once: the pixels are those wx
// draws for the line itself.
TEST(WxCanvasTest, DottedLinesShowTheSamePixelsAsWxDrawsThem) {
    wxImage byWx = Drawn(false), byCanvas = Drawn(true);
    int differing = 0;
    for (int y = 0; y < byWx.GetHeight(); ++y)
        for (int x = 0; x < byWx.GetWidth(); ++x)
            differing += byWx.GetRed(x, y) != byCanvas.GetRed(x, y) ||
                         byWx.GetGreen(x, y) != byCanvas.GetGreen(x, y) ||
                         byWx.GetBlue(x, y) != byCanvas.GetBlue(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(SamePixels(byWx, Drawn(true).Mirror())) << "the lines are there to compare";
}

} // namespace
