#include "foundation/single_line.h"

#include <string>

qstring SingleLine(const char* text) {
    std::string line;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\r' && p[1] == '\n') ++p;
        line += *p == '\r' || *p == '\n' ? ' ' : *p;
    }
    return qstring(line.c_str());
}
