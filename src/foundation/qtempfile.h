// Temporary files.
#pragma once

#include "foundation/qstring.h"

// A new empty file "tmp_XXXXXX" in the system's temporary folder, or "temp.$$$" in the
// current folder when none can be made there.
qstring QTempFileName();
