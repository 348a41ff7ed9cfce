// Writing expected file bytes in tests: raw bytes, little-endian integers, counted texts.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
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

// A node's record as the document file frames it: tag, length, the "NODE" chunk (name,
// id, parent id, flags; 0x10 is NO_DATE), then the kind's fields.
inline std::string NodeRecord(const std::string& tag, const std::string& name, int id,
                              int parentId, const std::string& fields,
                              std::uint32_t flags = 0x10) {
    std::string node = Text(name) + Int(id) + Int(parentId) + Int((std::int32_t)flags);
    std::string body = "NODE" + Int(4 + (int)node.size()) + node + fields;
    return tag + Int(4 + (int)body.size()) + body;
}

// An extension record: the node's number, then each field's counted name and value.
inline std::string ExtensionRecord(int number, const std::map<std::string, std::string>& fields) {
    std::string body = Int(number);
    for (const auto& [name, value] : fields)
        body += Text(name) + Int((int)value.size()) + value;
    return "VEXT" + Int(4 + (int)body.size()) + body;
}
