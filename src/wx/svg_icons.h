// The program's pictures (ribbon buttons, row icons, the program's own icon), kept as SVG and
// drawn at the size the screen needs, so that they stay sharp at any scale.
#pragma once

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>

class wxWindow;

// The picture of this name at 16 pixels by default; an empty bundle for a name without one.
wxBitmapBundle SvgIcon(const char* name);

// The picture `size` pixels square at 96 dpi as `window` shows it: grown with the desktop's
// text resolution and drawn at the screen's pixel density (a HiDPI screen's 2 device pixels
// per pixel).
wxBitmap SvgIconFor(const char* name, const wxWindow& window, int size = 16);

// The picture drawn `device` pixels square, shown `device / density` pixels square.
wxBitmap SvgIconBitmap(const char* name, int device, double density);
