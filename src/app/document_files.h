// Reading a document file into a fresh collection, and the message for one that can't
// be read.
#pragma once

#include <memory>
#include <string>

class VCollection;
struct VLoadResult;

// An empty collection in this date format.
std::unique_ptr<VCollection> NewCollection(int dateFormat);

// The collection the file holds, or null (after telling the user) when the path names
// no regular file that can be read (a directory, a FIFO or a device is refused before
// any byte is read) or the file holds no document at all. `result` (when given) says how
// much of the file could be read.
std::unique_ptr<VCollection> ReadDocumentFile(const char* path, int dateFormat,
                                              VLoadResult* result = nullptr);

// The opened file when it was damaged: saving over it loses what could not be read, so
// the user is told when it opens and asked before a save over it.
class DamagedFile {
  public:
    // An opened file: remembered (and the user told) when the load says it was damaged.
    void Opened(const char* path, const VLoadResult& result);
    void Forget() { file.clear(); }
    // Whether a save to the path may go ahead: asks when it would replace the damaged
    // file. Saving elsewhere leaves that file as it is, for another try to read it.
    bool MaySaveTo(const char* path) const;
    // A save to the path went through.
    void Saved(const char* path);

  private:
    std::string file; // absolute; empty when the open file was whole
    std::string text; // what the user was told about it
};

// Says "Can't open file (...)." to the user.
void ReportUnreadable(const char* path);
