// What the window's sync is given by the window program: wx's event queue for the end of
// a sync, the status bar, whether a modal dialog (or message box) is open, the system's
// clock and the real exchange.
#pragma once

#include "app/window_sync.h"

class wxFrame;

WindowSyncServices WxSyncServices(wxFrame& frame);
