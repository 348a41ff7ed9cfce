// Opening a path or URL with the system's handler. The foundation only calls a
// replaceable handler; the default runs xdg-open and waits for its answer, the
// user interface may install its own and tests install a recording one.
#pragma once

#include <functional>

using QShellHandler = std::function<bool(const char* target)>;

// Opens the target with its default handler; true when the handler succeeded.
bool QShellOpen(const char* target);

// Installs a handler (an empty one restores the default) and returns the previous one.
QShellHandler QSetShellHandler(QShellHandler handler);

// The default handler: runs "xdg-open target" and answers whether it exited with 0.
bool QXdgOpen(const char* target);
