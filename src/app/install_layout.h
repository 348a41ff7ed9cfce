// Where the program's parts lie. Installed: bin/vantry, lib/vantry/ (the window module) and
// share/vantry/ (the user guide) under one prefix. In the build tree the module sits beside
// the executable and the data at the top of the tree, one folder up from every program
// (src/vantry, tests/gui_tests).
#pragma once

#include <string>

// True when the executable in this folder is an installed one (prefix/bin with
// prefix/lib/vantry beside it); an installed program leaves the desktop's files alone.
bool IsInstalledLayout(const std::string& executableDirectory);

// The folder holding the window module.
std::string ModuleDirectory(const std::string& executableDirectory);

// The folder holding the program's data: the user guide is its "help" folder.
std::string DataDirectory(const std::string& executableDirectory);
