#include "wx/svg_icons.h"

#include "views/zoom.h"
#include "wx/svg_icons_table.h"

#include <cmath>
#include <cstring>
#include <wx/window.h>

wxBitmapBundle SvgIcon(const char* name) {
    for (const SvgIconText& icon : SVG_ICONS)
        if (std::strcmp(icon.name, name) == 0)
            return wxBitmapBundle::FromSVG(icon.svg, wxSize(16, 16));
    return {};
}

wxBitmap SvgIconBitmap(const char* name, int device, double density) {
    wxBitmap bitmap = SvgIcon(name).GetBitmap(wxSize(device, device));
    if (bitmap.IsOk()) bitmap.SetScaleFactor(density);
    return bitmap;
}

wxBitmap SvgIconFor(const char* name, const wxWindow& window, int size) {
    double density = window.GetContentScaleFactor();
    double shown = size * ScreenScaleForDpi(window.GetDPI().y);
    return SvgIconBitmap(name, (int)std::lround(shown * density), density);
}
