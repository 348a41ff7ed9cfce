// The XDG base directories: where a Linux program keeps its per-user files.
#pragma once

#include <string>

// The variable's folder when it holds an absolute path (a relative one is ignored, as the
// XDG rules say), else HOME joined with the default; "" without either.
std::string XdgDirectory(const char* variable, const char* defaultUnderHome);

std::string XdgConfigHome(); // $XDG_CONFIG_HOME, default ~/.config
std::string XdgDataHome();   // $XDG_DATA_HOME, default ~/.local/share
