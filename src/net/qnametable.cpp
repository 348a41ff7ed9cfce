#include "net/qnametable.h"

#include <cstring>

bool QNameTable::Add(const char* name, const char* value) {
    Entry* free = nullptr;
    for (Entry& e : entries) {
        if (e.used && e.name == name) {
            e.value = value;
            ++e.times;
            return true;
        }
        if (!e.used && !free) free = &e;
    }
    if (!free) return false;
    free->name = name;
    free->value = value;
    free->used = true;
    free->times = 1;
    return true;
}

const char* QNameTable::Get(const char* name) const {
    for (const Entry& e : entries)
        if (e.used && e.name == name) return e.value.c_str();
    return nullptr;
}

int QNameTable::Times(const char* name) const {
    for (const Entry& e : entries)
        if (e.used && e.name == name) return e.times;
    return 0;
}

int QNameTable::Count() const {
    int n = 0;
    while (n < SIZE && entries[n].used)
        ++n;
    return n;
}

void QDecodeForm(const char* text, QNameTable& table) {
    const char* pair = text;
    while (pair) {
        const char* end = std::strchr(pair, '&');
        std::string item = end ? std::string(pair, end) : std::string(pair);
        pair = end ? end + 1 : nullptr;
        size_t equals = item.find('=');
        if (equals == std::string::npos || equals + 1 == item.size()) continue;
        qstring name(item.substr(0, equals).c_str());
        qstring value(item.substr(equals + 1).c_str());
        name.URLDecode();
        value.URLDecode();
        table.Add(name, value);
    }
}
