#include "app/install_layout.h"

#include <filesystem>

namespace {

std::string prefixOf(const std::string& executableDirectory) {
    return executableDirectory + "/..";
}

} // namespace

bool IsInstalledLayout(const std::string& executableDirectory) {
    std::error_code error;
    return std::filesystem::path(executableDirectory).filename() == "bin" &&
           std::filesystem::is_directory(prefixOf(executableDirectory) + "/lib/vantry", error);
}

std::string ModuleDirectory(const std::string& executableDirectory) {
    if (!IsInstalledLayout(executableDirectory)) return executableDirectory;
    return prefixOf(executableDirectory) + "/lib/vantry";
}

std::string DataDirectory(const std::string& executableDirectory) {
    if (!IsInstalledLayout(executableDirectory)) return prefixOf(executableDirectory);
    return prefixOf(executableDirectory) + "/share/vantry";
}
