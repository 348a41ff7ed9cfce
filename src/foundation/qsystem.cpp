#include "foundation/qsystem.h"

#include <climits>
#include <cstring>
#include <unistd.h>

qstring QAbsolutePath(const char* path) {
    if (!path || path[0] == '/') return qstring(path);
    char folder[PATH_MAX + 1] = {0};
    if (!getcwd(folder, PATH_MAX)) return qstring(path);
    qstring absolute(folder);
    if (std::strcmp(folder, "/") != 0) absolute += "/";
    absolute += path;
    return absolute;
}

qstring QExecutableDirectory() {
    char path[PATH_MAX + 1] = {0};
    ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) return qstring(".");
    path[length] = 0;
    qstring directory(path);
    if (!directory.CutFile()) return qstring(".");
    return directory;
}
