// Entry point of vantry: a headless mode when the arguments ask for one, else the window.
#include "app/command_line.h"
#include "app/install_layout.h"
#include "app/register_mode.h"
#include "app/settings_place.h"
#include "foundation/qclock.h"
#include "foundation/qmessage.h"
#include "foundation/qsystem.h"
#include "foundation/user_folders.h"
#include "remoteview/serve_mode.h"
#include "wx/window_module.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // The log belongs to the user, not to whatever folder the program was started in.
    qlog_set_folder(VantryStateFolder());
    QSetClockFromEnvironment();
    // The headless modes only read the settings (the date format), wherever they are now.
    std::string settings = SettingsFileToRead(XdgConfigHome(), QExecutableDirectory().Text());
    if (IsServeMode(args)) return RunServeMode(args, settings, std::cout, std::cerr);
    if (IsRegisterMode(args)) {
        std::error_code error;
        std::string executable = std::filesystem::read_symlink("/proc/self/exe", error).string();
        return RunRegisterMode(args, executable, XdgDataHome(), std::cout, std::cerr);
    }
    int code = RunCommandLine(args, settings, std::cout, std::cerr);
    if (code >= 0) return code;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !display[0]) && (!wayland || !wayland[0])) {
        std::cerr << "vantry: there is no display to open the window on (DISPLAY is not set).\n"
                     "Without a display, use the headless modes, for example:\n"
                     "  vantry --list FILE.vnt\n"
                     "  vantry --export-html FILE.vnt\n"
                     "See vantry --help.\n";
        // Asked for nothing but the window: that is no failure. A named document that
        // can't be shown is.
        return args.empty() ? 0 : 1;
    }
    std::string module = ModuleDirectory(QExecutableDirectory().Text()) + "/" + WINDOW_MODULE_FILE;
    void* window = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto run = window ? (WindowModuleEntry)dlsym(window, WINDOW_MODULE_ENTRY) : nullptr;
    if (!run) {
        std::cerr << "vantry: can't load the window program (" << dlerror() << ")\n";
        return 1;
    }
    return run(argc, argv);
}
