#include "foundation/xdg_dirs.h"

#include <cstdlib>

std::string XdgDirectory(const char* variable, const char* defaultUnderHome) {
    if (const char* value = std::getenv(variable); value && value[0] == '/') return value;
    if (const char* home = std::getenv("HOME"); home && home[0])
        return std::string(home) + "/" + defaultUnderHome;
    return "";
}

std::string XdgConfigHome() {
    return XdgDirectory("XDG_CONFIG_HOME", ".config");
}

std::string XdgDataHome() {
    return XdgDirectory("XDG_DATA_HOME", ".local/share");
}
