#include "wx/program_icon.h"

#include "wx/svg_icons.h"

#include <wx/bmpbndl.h>
#include <wx/icon.h>

wxBitmapBundle ProgramIconBundle() {
    return SvgIcon("vantry");
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
