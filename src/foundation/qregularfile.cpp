#include "foundation/qregularfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A descriptor for reading the regular file, or -1. Opening does not wait for a FIFO's
// writer (O_NONBLOCK), and a terminal never becomes ours (O_NOCTTY).
int openRegular(const char* path, struct stat& info) {
    if (!path || !path[0]) {
        errno = ENOENT;
        return -1;
    }
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        int error = S_ISDIR(info.st_mode) ? EISDIR : ENXIO;
        close(fd);
        errno = error;
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

bool QIsReadableRegularFile(const char* path) {
    struct stat info {};
    int fd = openRegular(path, info);
    if (fd < 0) return false;
    close(fd);
    return true;
}

bool QReadRegularFile(const char* path, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    int fd = openRegular(path, info);
    if (fd < 0) return false;
    // The size is only a first guess: the file is read to its real end.
    size_t used = 0;
    bytes.resize(info.st_size > 0 ? (size_t)info.st_size + 1 : 4096);
    for (;;) {
        if (used == bytes.size()) bytes.resize(bytes.size() * 2);
        ssize_t got = read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            int error = errno;
            close(fd);
            bytes.clear();
            errno = error;
            return false;
        }
        if (got == 0) break;
        used += (size_t)got;
    }
    close(fd);
    bytes.resize(used);
    return true;
}
