// The About box: "About Vantry", the program's icon, its name and version, a word on
// the maker and the web site, and an OK button.
#pragma once

class wxWindow;

void ShowAboutBox(wxWindow* parent);

// The title the box carries, for tests that look for it on the screen.
constexpr const char* ABOUT_BOX_TITLE = "About Vantry";
