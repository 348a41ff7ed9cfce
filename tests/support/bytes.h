// Writing expected file bytes in tests: raw bytes, little-endian integers, counted texts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += (char)v;
    return s;
}

inline std::string Int(std::int32_t v) {
    return Bytes({v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, (v >> 24) & 0xFF});
}

inline std::string Text(const std::string& s) {
    return Bytes({(int)s.size() & 0xFF, ((int)s.size() >> 8) & 0xFF}) + s;
}
