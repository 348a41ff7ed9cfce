#include "app/register_mode.h"

#include "app/desktop_entry.h"
#include "app/install_layout.h"

#include <filesystem>
#include <ostream>

bool IsRegisterMode(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "--register" || args[0] == "--unregister");
}

int RunRegisterMode(const std::vector<std::string>& args, const std::string& executable,
                    const std::string& dataHome, std::ostream& out, std::ostream& err) {
    const std::string& mode = args[0];
    if (args.size() > 1) {
        err << "vantry: " << mode << " takes no other argument\n";
        return 1;
    }
    if (dataHome.empty()) {
        err << "vantry: there is no data folder to " << mode.substr(2)
            << " in (neither XDG_DATA_HOME nor HOME is set)\n";
        return 1;
    }
    if (mode == "--unregister") {
        std::string problem;
        if (!UnregisterDocumentType(dataHome, problem)) {
            err << "vantry: " << problem << "\n";
            return 1;
        }
        out << "vantry: \".vnt\" documents no longer open with Vantry from "
            << dataHome << "/applications/vantry.desktop\n";
        return 0;
    }
    if (IsInstalledLayout(std::filesystem::path(executable).parent_path().string())) {
        err << "vantry: an installed Vantry is registered by its package; nothing to do\n";
        return 1;
    }
    if (!RegisterDocumentType(dataHome, executable)) {
        err << "vantry: can't write the desktop entry under " << dataHome << "\n";
        return 1;
    }
    out << "vantry: \".vnt\" documents open with " << executable << " (written to " << dataHome
        << "/applications/vantry.desktop; undo with vantry --unregister)\n";
    return 0;
}
