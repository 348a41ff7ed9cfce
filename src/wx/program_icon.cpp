#include "wx/program_icon.h"

#include "wx/program_icon_svg.h"

#include <wx/bmpbndl.h>
#include <wx/icon.h>

wxBitmapBundle ProgramIconBundle() {
    return wxBitmapBundle::FromSVG(PROGRAM_ICON_SVG, wxSize(16, 16));
}

wxBitmap ProgramIconBitmap(int size) {
    return ProgramIconBundle().GetBitmap(wxSize(size, size));
}

wxIconBundle ProgramIcons() {
    wxIconBundle icons;
    wxBitmapBundle bundle = ProgramIconBundle();
    for (int size : {16, 32, 48, 64, 128}) {
        wxIcon icon;
        icon.CopyFromBitmap(bundle.GetBitmap(wxSize(size, size)));
        icons.AddIcon(icon);
    }
    return icons;
}
