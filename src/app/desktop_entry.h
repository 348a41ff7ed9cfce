// Makes the desktop know ".vnt" files as "Vantry Document" and open them with this
// program: a desktop entry and a MIME type in the user's own data folder.
#pragma once

#include <string>

// The desktop entry for the program at this path.
std::string DesktopEntryText(const std::string& executable);
// The shared-mime-info description of the document type.
std::string MimeTypeText();

// Writes both under dataHome (normally ~/.local/share) when they differ from what is
// there, and asks the desktop's tools to take them up; true when both are in place.
bool RegisterDocumentType(const std::string& dataHome, const std::string& executable);

// Removes what RegisterDocumentType wrote under dataHome, for whichever executable, and asks
// the desktop's tools to forget it. A file of that name that Vantry did not write (edited by
// hand, another program's) is left alone: false, with `problem` naming it. Nothing there is
// no failure.
bool UnregisterDocumentType(const std::string& dataHome, std::string& problem);
