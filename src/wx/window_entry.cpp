// The one symbol the window module shows to vantry; its name is WINDOW_MODULE_ENTRY.
#include "wx/skedra_app.h"
#include "wx/window_module.h"

extern "C" __attribute__((visibility("default"))) int vantry_run_window(int argc, char** argv) {
    return RunWindowProgram(argc, argv);
}
