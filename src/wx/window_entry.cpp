// The one symbol the window module shows to vantry; its name is WINDOW_MODULE_ENTRY.
#include "foundation/qmessage.h"
#include "foundation/userfolders.h"
#include "wx/skedra_app.h"
#include "wx/window_module.h"

extern "C" __attribute__((visibility("default"))) int vantry_run_window(int argc, char** argv) {
    // The module has its own copy of the log writer.
    qlog_set_folder(VantryStateFolder());
    return RunWindowProgram(argc, argv);
}
