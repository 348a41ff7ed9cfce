// Opening what a user names: only a regular file is read. A directory, a FIFO or a
// device is refused before any read, and the check itself never blocks.
#pragma once

#include <string>

// The path names a regular file that can be opened for reading. False otherwise, with
// errno telling why (EISDIR for a directory, ENXIO for a FIFO, socket or device).
bool QIsReadableRegularFile(const char* path);

// Reads the whole regular file, however long it turns out to be; false as above, or
// when a read fails.
bool QReadRegularFile(const char* path, std::string& bytes);
