// The headless modes of vantry, for scripts and machines without a display:
// listing a folder, exporting it as HTML, saving a document anew.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs the mode the arguments (without the program name) ask for and answers its exit
// code, or -1 when they ask for no headless mode (the window should open). settingsPath
// is the settings file whose global.dateformat the listing uses by default.
int RunCommandLine(const std::vector<std::string>& args, const std::string& settingsPath,
                   std::ostream& out, std::ostream& err);

void PrintUsage(std::ostream& out);
