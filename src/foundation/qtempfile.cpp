#include "foundation/qtempfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

qstring QTempFileName() {
    const char* folder = std::getenv("TMPDIR");
    if (!folder || !folder[0]) folder = "/tmp";
    std::string pattern = std::string(folder) + "/tmp_XXXXXX";
    if (pattern.size() <= 259) {
        int fd = mkstemp(pattern.data());
        if (fd >= 0) {
            close(fd);
            return qstring(pattern.c_str());
        }
    }
    return qstring("temp.$$$");
}

bool QReplaceFile(const char* target, const void* bytes, long count) {
    if (!target || !target[0]) return false;
    std::string temporary = std::string(target) + ".saving-XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return false;

    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (stat(target, &old) == 0)
        fchmod(fd, old.st_mode & 07777);
    else
        fchmod(fd, 0644);

    bool ok = true;
    const char* p = static_cast<const char*>(bytes);
    for (long left = count; ok && left > 0;) {
        ssize_t written = write(fd, p, (size_t)left);
        if (written < 0 && errno == EINTR) continue;
        ok = written > 0;
        p += written;
        left -= written;
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), target) == 0;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}
