#include "foundation/user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    // A service or a stripped environment may have no HOME: ask the user database.
    if (passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && entry->pw_dir[0] == '/')
        return entry->pw_dir;
    return "";
}

} // namespace

std::string UserBaseFolder(const char* variable, const char* fallback) {
    // The base directory rules ignore a relative value.
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    std::string home = homeFolder();
    return home.empty() ? "" : home + "/" + fallback;
}

std::string XdgConfigHome() {
    return UserBaseFolder("XDG_CONFIG_HOME", ".config");
}

std::string XdgDataHome() {
    return UserBaseFolder("XDG_DATA_HOME", ".local/share");
}

bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string VantryStateFolder() {
    std::string base = UserBaseFolder("XDG_STATE_HOME", ".local/state");
    if (base.empty()) return "";
    std::string folder = base + "/vantry";
    return MakeFolders(folder) ? folder : "";
}
