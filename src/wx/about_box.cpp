#include "wx/about_box.h"

#include "app/version.h"
#include "wx/program_icon.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

void ShowAboutBox(wxWindow* parent) {
    wxDialog box(parent, wxID_ANY, ABOUT_BOX_TITLE);
    box.SetIcons(ProgramIcons());
    auto* columns = new wxBoxSizer(wxHORIZONTAL);
    columns->Add(new wxStaticBitmap(&box, wxID_ANY, ProgramIconBitmap(48)), 0, wxALL, 12);
    auto* texts = new wxBoxSizer(wxVERTICAL);
    auto* name = new wxStaticText(&box, wxID_ANY, VANTRY_VERSION_TEXT);
    name->SetFont(name->GetFont().Bold().Larger());
    texts->Add(name, 0, wxBOTTOM, 8);
    auto* product = new wxStaticText(
        &box, wxID_ANY,
        "Vantry keeps your to-dos, actions, contacts and reference notes in one tree of "
        "folders, with a list, a Gantt chart and a month calendar to plan them.");
    product->Wrap(360);
    texts->Add(product, 0, wxBOTTOM, 8);
    texts->Add(new wxStaticText(&box, wxID_ANY,
                                "Made by Nimbrel. News, help and updates: https://vantry.app/"));
    columns->Add(texts, 1, wxTOP | wxRIGHT | wxBOTTOM, 12);
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(columns, 1, wxEXPAND);
    auto* ok = new wxButton(&box, wxID_OK, "OK");
    ok->SetDefault();
    all->Add(ok, 0, wxALIGN_RIGHT | wxRIGHT | wxBOTTOM, 12);
    box.SetSizerAndFit(all);
    box.CentreOnParent();
    box.ShowModal();
}
