#include "foundation/qsystem.h"

#include <climits>
#include <unistd.h>

qstring QExecutableDirectory() {
    char path[PATH_MAX + 1] = {0};
    ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) return qstring(".");
    path[length] = 0;
    qstring directory(path);
    if (!directory.CutFile()) return qstring(".");
    return directory;
}
