// The program's own icon: a calendar page with a check mark, drawn at the sizes the
// desktop asks for (title bar, task switcher, About box).
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

wxBitmap ProgramIconBitmap(int size);
wxIconBundle ProgramIcons();
