// The program's own icon: a calendar page with a check mark, drawn from the same SVG the
// desktop's icon theme gets (data/icons/vantry.svg), at the sizes the desktop asks for
// (title bar, task switcher, About box) and the screen's scale.
#pragma once

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

wxBitmapBundle ProgramIconBundle();
wxBitmap ProgramIconBitmap(int size);
wxIconBundle ProgramIcons();
