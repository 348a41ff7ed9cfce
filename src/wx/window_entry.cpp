// The one symbol the window module shows to vantry; its name is WINDOW_MODULE_ENTRY.
#include "foundation/qclock.h"
#include "foundation/qmessage.h"
#include "foundation/user_folders.h"
#include "wx/skedra_app.h"
#include "wx/window_module.h"

extern "C" __attribute__((visibility("default"))) int vantry_run_window(int argc, char** argv) {
    // The module has its own copy of the log writer and of the clock.
    qlog_set_folder(VantryStateFolder());
    QSetClockFromEnvironment();
    return RunWindowProgram(argc, argv);
}
