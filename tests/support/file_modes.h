// Permission bits in tests: a umask for the life of an object, and a file's mode.
#pragma once

#include <string>
#include <sys/stat.h>

// The usual desktop umask (or another) while the object lives, so that what a test sees
// of new files' modes does not depend on how the tests were started.
class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask = 022) : previous(umask(mask)) {}
    ~ScopedUmask() { umask(previous); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

  private:
    mode_t previous;
};

// The permission bits of the file or folder (links followed); -1 when there is none.
inline int FileMode(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? (int)(info.st_mode & 07777) : -1;
}
