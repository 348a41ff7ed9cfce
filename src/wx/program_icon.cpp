#include "wx/program_icon.h"

#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/icon.h>
#include <wx/image.h>

#include <algorithm>
#include <memory>

wxBitmap ProgramIconBitmap(int size) {
    wxImage canvas(size, size);
    canvas.InitAlpha();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            canvas.SetAlpha(x, y, 0);
    wxBitmap bitmap(canvas);
    {
        wxMemoryDC dc(bitmap);
        std::unique_ptr<wxGraphicsContext> g(wxGraphicsContext::Create(dc));
        if (!g) return bitmap;
        double s = size / 16.0;
        // The page: white with a blue band on top, as a calendar sheet.
        g->SetPen(wxPen(wxColour(32, 74, 135), std::max(1, (int)s)));
        g->SetBrush(*wxWHITE_BRUSH);
        g->DrawRoundedRectangle(1 * s, 1.5 * s, 14 * s, 13 * s, 2 * s);
        g->SetBrush(wxBrush(wxColour(52, 101, 164)));
        g->DrawRoundedRectangle(1 * s, 1.5 * s, 14 * s, 4 * s, 2 * s);
        // The check mark.
        g->SetPen(wxPen(wxColour(78, 154, 6), std::max(2, (int)(2 * s))));
        wxGraphicsPath tick = g->CreatePath();
        tick.MoveToPoint(4 * s, 9.5 * s);
        tick.AddLineToPoint(7 * s, 12 * s);
        tick.AddLineToPoint(12 * s, 7 * s);
        g->StrokePath(tick);
    }
    return bitmap;
}

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    for (int size : {16, 32, 48, 64}) {
        wxIcon icon;
        icon.CopyFromBitmap(ProgramIconBitmap(size));
        icons.AddIcon(icon);
    }
    return icons;
}
