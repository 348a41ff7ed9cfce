#include "foundation/qtempfile.h"

#include <cstdlib>
#include <string>
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
