// Entry point of vantry: the headless modes, else the program's window.
#include "app/commandline.h"
#include "foundation/qsystem.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string settings = std::string(QExecutableDirectory().Text()) + "/vantry.ini";
    int code = RunCommandLine(args, settings, std::cout, std::cerr);
    if (code >= 0) return code;
    // The window comes with the application shell; until then say how to use the modes.
    PrintUsage(std::cout);
    return 0;
}
