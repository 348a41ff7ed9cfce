#include "app/settings_place.h"

#include "foundation/user_folders.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* SETTINGS_NAME = "vantry.ini";
constexpr const char* DEFAULTS = ": the program runs with its default settings.";

bool readWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream whole;
    whole << in.rdbuf();
    text = whole.str();
    return !in.bad();
}

bool isRegularFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// Copies the old file beside the executable into the fresh folder, once: only when
// the folder has no settings file of its own.
void takeOver(const std::string& old, const std::string& file) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(file, error)) || !isRegularFile(old)) return;
    std::string text;
    if (!readWhole(old, text) || !IsSettingsText(text)) return;
    fs::copy_file(old, file, error);
}

} // namespace

std::string SettingsFolder(const std::string& configHome) {
    return configHome.empty() ? "" : configHome + "/vantry";
}

bool IsSettingsText(const std::string& text) {
    int depth = 0;
    bool seenWord = false;
    for (unsigned char c : text) {
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') return false;
        if (c == '[' && !seenWord) return false;
        if (c == '{') ++depth;
        if (c == '}' && --depth < 0) return false;
        if (c > ' ') seenWord = true;
    }
    return depth == 0;
}

SettingsPlace PrepareSettingsPlace(const std::string& configHome,
                                   const std::string& executableDirectory) {
    SettingsPlace place;
    place.folder = SettingsFolder(configHome);
    if (place.folder.empty()) {
        place.writable = false;
        place.problem = std::string("There is no home folder for the settings") + DEFAULTS;
        return place;
    }
    // The settings say what the user works on: a folder made for them is theirs alone.
    std::error_code error;
    if (!MakeFolders(place.folder)) {
        place.writable = false;
        place.problem = "Can't make the settings folder " + place.folder + DEFAULTS;
        return place;
    }
    std::string file = place.folder + "/" + SETTINGS_NAME;
    takeOver(executableDirectory + "/" + SETTINGS_NAME, file);

    bool exists = fs::exists(file, error);
    if (exists && !isRegularFile(file)) {
        place.writable = false;
        place.problem = "The settings file " + file + " is not a file" + DEFAULTS;
        return place;
    }
    std::string text;
    if (exists && !readWhole(file, text)) {
        place.writable = false;
        place.problem = "Can't read the settings file " + file + DEFAULTS;
        return place;
    }
    if (exists && !IsSettingsText(text)) {
        place.writable = false;
        place.problem = "The settings file " + file +
                        " is not a Vantry settings file; it is left as it is" + DEFAULTS;
        return place;
    }
    place.file = file;
    if (access(exists ? file.c_str() : place.folder.c_str(), W_OK) != 0) {
        place.writable = false;
        place.problem = "The settings file " + file +
                        " can't be written: changes to the settings are not kept.";
    }
    return place;
}

std::string SettingsFileToRead(const std::string& configHome,
                               const std::string& executableDirectory) {
    std::string folder = SettingsFolder(configHome);
    if (!folder.empty() && isRegularFile(folder + "/" + SETTINGS_NAME))
        return folder + "/" + SETTINGS_NAME;
    std::string old = executableDirectory + "/" + SETTINGS_NAME;
    return isRegularFile(old) ? old : "";
}
