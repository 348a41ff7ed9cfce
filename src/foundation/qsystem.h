// System services: where the running program lives.
#pragma once

#include "foundation/qstring.h"

// The folder of the running executable, without a trailing '/'.
qstring QExecutableDirectory();
