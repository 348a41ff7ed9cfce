// Where the settings file lives: $XDG_CONFIG_HOME/vantry/vantry.ini, the folder made on the
// first start, a vantry.ini beside the executable taken over once. A file that is not ours,
// can't be read or can't be written leaves the program running on defaults (or on what it
// could read), with one message for the user.
#pragma once

#include <string>

struct SettingsPlace {
    std::string folder;   // $XDG_CONFIG_HOME/vantry; "" without a home
    std::string file;     // the settings file to read; "" for none: the defaults
    bool writable = true; // false: the file is never written back
    std::string problem;  // the one message for the user, or ""
};

// The settings file's folder for this config home ("" without one).
std::string SettingsFolder(const std::string& configHome);

// Prepares the place for a window program whose executable is in executableDirectory:
// makes the folder and takes over an old vantry.ini beside the executable when the
// folder has none yet.
SettingsPlace PrepareSettingsPlace(const std::string& configHome,
                                   const std::string& executableDirectory);

// The settings file a headless run reads, changing nothing on the disk: the one in the
// config folder, else an old one beside the executable, else "".
std::string SettingsFileToRead(const std::string& configHome,
                               const std::string& executableDirectory);

// True for text that can be our settings file: no binary bytes, no "[section]" of
// another format first, braces that pair up.
bool IsSettingsText(const std::string& text);
