// Files may not grow past a given size while the guard lives: a full disk, as root too.
// SIGXFSZ is ignored, so a write past the limit fails with EFBIG instead of ending the
// process (and programs started meanwhile inherit both).
#pragma once

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old{};
    void (*oldHandler)(int) = SIG_DFL;
};
