// Temporary files and replacing a file in one step.
#pragma once

#include "foundation/qstring.h"

// A new empty file "tmp_XXXXXX" in the system's temporary folder, or "temp.$$$" in the
// current folder when none can be made there.
qstring QTempFileName();

// Writes the bytes to a new file beside the target, flushes it to the disk and renames
// it over the target, so the target holds either its old bytes or all the new ones.
bool QReplaceFile(const char* target, const void* bytes, long count);
