// Reading a document file into a fresh collection, and the message for one that can't
// be read.
#pragma once

#include <memory>

class VCollection;

// An empty collection in this date format.
std::unique_ptr<VCollection> NewCollection(int dateFormat);

// The collection the file holds, or null (after telling the user) when the path names
// no regular file that can be read: a directory, a FIFO or a device is refused before
// any byte is read.
std::unique_ptr<VCollection> ReadDocumentFile(const char* path, int dateFormat);

// Says "Can't open file (...)." to the user.
void ReportUnreadable(const char* path);
