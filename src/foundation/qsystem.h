// System services: where the running program lives.
#pragma once

#include "foundation/qstring.h"

// The folder of the running executable, without a trailing '/'.
qstring QExecutableDirectory();

// The path as seen from the root: a relative one is joined to the current folder.
qstring QAbsolutePath(const char* path);
