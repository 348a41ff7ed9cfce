#include "app/desktop_entry.h"

#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>

extern char** environ;

namespace {

const char* const MIME_TYPE = "application/x-vantry-document";

bool writeIfChanged(const std::filesystem::path& path, const std::string& text, bool& changed) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream existing;
    existing << in.rdbuf();
    if (in && existing.str() == text) return true;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary);
    out << text;
    changed = true;
    return (bool)out;
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
