#include "app/desktop_entry.h"

#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace {

const char* const MIME_TYPE = "application/x-vantry-document";

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeIfChanged(const std::filesystem::path& path, const std::string& text, bool& changed) {
    std::error_code error;
    if (std::filesystem::exists(path, error) && readFile(path) == text) return true;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary);
    out << text;
    changed = true;
    return (bool)out;
}

// The executable a desktop entry of ours starts; empty when the text is no entry we write.
std::string executableOf(const std::string& entry) {
    const std::string before = "\nExec=\"";
    size_t start = entry.find(before);
    if (start == std::string::npos) return "";
    start += before.size();
    size_t end = entry.find("\" %f\n", start);
    if (end == std::string::npos) return "";
    std::string executable = entry.substr(start, end - start);
    return entry == DesktopEntryText(executable) ? executable : "";
}

void runQuietly(const char* program, const std::string& argument) {
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 0, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0)
        waitpid(pid, nullptr, 0);
    posix_spawn_file_actions_destroy(&actions);
}

} // namespace

std::string DesktopEntryText(const std::string& executable) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vantry\n"
           "Comment=Agenda and task manager\n"
           "Exec=\"" +
           executable +
           "\" %f\n"
           "Icon=vantry\n"
           "Terminal=false\n"
           "Categories=Office;ProjectManagement;\n"
           "MimeType=" +
           std::string(MIME_TYPE) + ";\n";
}

std::string MimeTypeText() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"" +
           std::string(MIME_TYPE) +
           "\">\n"
           "    <comment>Vantry Document</comment>\n"
           "    <magic priority=\"60\"><match type=\"string\" value=\"VGZ1\" "
           "offset=\"0\"/></magic>\n"
           "    <glob pattern=\"*.vnt\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool RegisterDocumentType(const std::string& dataHome, const std::string& executable) {
    if (dataHome.empty()) return false;
    std::filesystem::path home(dataHome);
    bool desktopChanged = false, mimeChanged = false;
    bool ok = writeIfChanged(home / "applications" / "vantry.desktop", DesktopEntryText(executable),
                             desktopChanged);
    ok = writeIfChanged(home / "mime" / "packages" / "vantry.xml", MimeTypeText(), mimeChanged) &&
         ok;
    if (mimeChanged) runQuietly("update-mime-database", (home / "mime").string());
    if (desktopChanged) runQuietly("update-desktop-database", (home / "applications").string());
    return ok;
}

bool UnregisterDocumentType(const std::string& dataHome, std::string& problem) {
    std::filesystem::path home(dataHome);
    std::filesystem::path entry = home / "applications" / "vantry.desktop";
    std::filesystem::path mime = home / "mime" / "packages" / "vantry.xml";
    std::error_code error;
    bool hasEntry = std::filesystem::exists(entry, error);
    bool hasMime = std::filesystem::exists(mime, error);
    if (hasEntry && executableOf(readFile(entry)).empty()) {
        problem = entry.string() + " was not written by vantry --register; it is left as it is";
        return false;
    }
    if (hasMime && readFile(mime) != MimeTypeText()) {
        problem = mime.string() + " was not written by vantry --register; it is left as it is";
        return false;
    }
    if (hasEntry && !std::filesystem::remove(entry, error)) {
        problem = "can't remove " + entry.string() + " (" + error.message() + ")";
        return false;
    }
    if (hasEntry) runQuietly("update-desktop-database", (home / "applications").string());
    if (hasMime && !std::filesystem::remove(mime, error)) {
        problem = "can't remove " + mime.string() + " (" + error.message() + ")";
        return false;
    }
    if (hasMime) runQuietly("update-mime-database", (home / "mime").string());
    return true;
}
