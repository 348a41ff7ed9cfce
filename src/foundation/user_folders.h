// The per-user folders of the XDG base directory layout, where the program keeps what
// belongs to the user rather than to the installation or the current folder.
#pragma once

#include <string>

// $variable when it names an absolute path, else $HOME/fallback (for example
// "XDG_STATE_HOME" and ".local/state"); empty when neither can be found.
std::string UserBaseFolder(const char* variable, const char* fallback);

std::string XdgConfigHome(); // $XDG_CONFIG_HOME, by default ~/.config: the settings
std::string XdgDataHome();   // $XDG_DATA_HOME, by default ~/.local/share: desktop files

// The program's own folder under the state base ($XDG_STATE_HOME/vantry, by default
// ~/.local/state/vantry): logs and other state that survives a run. Created when missing;
// empty when it cannot be.
std::string VantryStateFolder();

// Creates the folder and its missing parents, each for the user alone (0700, as the base
// directory rules ask); true when it is there afterwards. Folders that are there already
// keep their modes.
bool MakeFolders(const std::string& path);
