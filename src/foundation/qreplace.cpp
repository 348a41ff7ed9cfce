#include "foundation/qreplace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel follows before it says ELOOP.
constexpr int MAX_LINKS = 40;

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

QReplaceResult failed(QReplaceStep step, int error, bool existed) {
    QReplaceResult result;
    result.step = step;
    result.error = error;
    result.targetExisted = existed;
    return result;
}

// A new document gets the permissions any new file would get here.
mode_t newFileMode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The new file takes over the old one's permissions and, where allowed, its owner.
void copyAttributes(int fd, const struct stat* old) {
    if (!old) {
        fchmod(fd, newFileMode());
        return;
    }
    if (fchown(fd, old->st_uid, old->st_gid) != 0) {
        // Not ours to give away: the file keeps our ownership.
    }
    fchmod(fd, old->st_mode & 07777);
}

bool flushFile(int fd) {
    while (fsync(fd) != 0)
        if (errno != EINTR) return false;
    return true;
}

// Makes the rename itself durable. Some file systems cannot flush a folder; the new
// file is in place by then, so that is no failure of the save.
void flushFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    flushFile(fd);
    close(fd);
}

bool writeAll(int fd, const void* bytes, long count) {
    const char* p = static_cast<const char*>(bytes);
    while (count > 0) {
        ssize_t written = write(fd, p, (size_t)count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
        p += written;
        count -= written;
    }
    return true;
}

// The kernel's rule for following a link (may_follow_link): we own it, or its folder is
// not both sticky and writable by all, or the folder's owner owns the link too.
bool foreignLink(const std::string& link, const struct stat& linkInfo) {
    if (linkInfo.st_uid == geteuid()) return false;
    struct stat folder {};
    if (stat(folderOf(link).c_str(), &folder) != 0) return true; // can't tell: don't follow
    constexpr mode_t SHARED = S_ISVTX | S_IWOTH;
    return (folder.st_mode & SHARED) == SHARED && folder.st_uid != linkInfo.st_uid;
}

} // namespace

bool QResolveLinks(const char* path, qstring& resolved) {
    std::string current = path ? path : "";
    for (int hops = 0; hops <= MAX_LINKS; ++hops) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            resolved = current.c_str();
            return true;
        }
        if (foreignLink(current, info)) {
            errno = EACCES;
            return false;
        }
        char link[PATH_MAX];
        ssize_t length = readlink(current.c_str(), link, sizeof link - 1);
        if (length < 0) break;
        link[length] = 0;
        // A relative link is read from the folder the link itself is in.
        size_t slash = current.rfind('/');
        current = link[0] == '/' || slash == std::string::npos
                      ? std::string(link)
                      : current.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    return false;
}

QReplaceResult QReplaceFile(const char* target, const std::function<bool(const char*)>& write) {
    qstring real;
    if (!target || !target[0]) return failed(QReplaceStep::Temporary, ENOENT, false);
    if (!QResolveLinks(target, real)) {
        // A foreign link is refused before anything is made or read beside its file.
        if (errno == EACCES) return failed(QReplaceStep::ForeignLink, EACCES, true);
        return failed(QReplaceStep::Links, ELOOP, false);
    }

    struct stat old {};
    bool existed = stat(real.Text(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return failed(QReplaceStep::NotAFile, S_ISDIR(old.st_mode) ? EISDIR : EINVAL, true);

    std::string folder = folderOf(real.Text());
    std::string temporary = folder + "/" + Q_REPLACE_TEMPORARY_PREFIX + "XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return failed(QReplaceStep::Temporary, errno, existed);
    copyAttributes(fd, existed ? &old : nullptr);

    auto abandon = [&](QReplaceStep step, int error) {
        close(fd);
        unlink(temporary.c_str());
        return failed(step, error, existed);
    };
    errno = 0;
    if (!write(temporary.c_str())) return abandon(QReplaceStep::Write, errno);
    // The writer wrote through its own stream; this descriptor names the same file.
    if (!flushFile(fd)) return abandon(QReplaceStep::Flush, errno);
    if (close(fd) != 0) {
        int error = errno;
        unlink(temporary.c_str());
        return failed(QReplaceStep::Flush, error, existed);
    }
    if (std::rename(temporary.c_str(), real.Text()) != 0) {
        int error = errno;
        unlink(temporary.c_str());
        return failed(QReplaceStep::Rename, error, existed);
    }
    flushFolder(folder);
    QReplaceResult done;
    done.targetExisted = existed;
    return done;
}

QReplaceResult QReplaceFile(const char* target, const void* bytes, long count) {
    return QReplaceFile(target, [&](const char* temporary) {
        int fd = open(temporary, O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) return false;
        bool ok = writeAll(fd, bytes, count);
        int error = errno;
        ok = close(fd) == 0 && ok;
        if (!ok && error) errno = error;
        return ok;
    });
}
