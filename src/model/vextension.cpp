#include "model/vextension.h"

#include "foundation/qfile.h"
#include "model/vnode.h"

#include <algorithm>

const VExtensionFields* VExtensions::Find(const VNode* node) const {
    if (byNode.empty()) return nullptr;
    auto it = byNode.find(node->Serial());
    return it == byNode.end() ? nullptr : &it->second;
}

std::string VExtensions::Field(const VNode* node, const char* name) const {
    const VExtensionFields* fields = Find(node);
    if (!fields) return {};
    auto it = fields->find(name);
    return it == fields->end() ? std::string() : it->second;
}

void VExtensions::SetField(const VNode* node, const char* name, const std::string& value) {
    if (value.empty()) {
        auto it = byNode.find(node->Serial());
        if (it == byNode.end()) return;
        it->second.erase(name);
        if (it->second.empty()) byNode.erase(it);
        return;
    }
    byNode[node->Serial()][name] = value;
}

void VExtensions::SetFields(const VNode* node, VExtensionFields fields) {
    for (auto it = fields.begin(); it != fields.end();)
        it = it->second.empty() ? fields.erase(it) : std::next(it);
    if (fields.empty())
        byNode.erase(node->Serial());
    else
        byNode[node->Serial()] = std::move(fields);
}

void VExtensions::Forget(const VNode* node) {
    if (!byNode.empty()) byNode.erase(node->Serial());
}

void VExtensions::writeRecord(QFile& file, const VNode* node, std::int32_t number) const {
    const VExtensionFields* fields = Find(node);
    if (!fields) return;
    file.Write(TAG, 4);
    long at = file.BeginSize();
    file.Write32(number);
    for (const auto& [name, value] : *fields) {
        // Names are ours and short; a longer one would not read back, so it is cut.
        std::size_t nameLength = std::min<std::size_t>(name.size(), QFile::MAX_STRING);
        file.Write16((std::int16_t)nameLength);
        file.Write(name.data(), (int)nameLength);
        file.Write32((std::int32_t)value.size());
        file.Write(value.data(), (int)value.size());
    }
    file.EndSize(at);
}

bool VExtensions::ReadBody(QFile& file, std::int32_t& number, VExtensionFields& fields) {
    fields.clear();
    if (!file.Read32(number)) return false;
    for (;;) {
        std::int16_t nameLength = 0;
        if (!file.Read16(nameLength) || nameLength < 0) break;
        std::string name((std::size_t)nameLength, '\0');
        if (file.Read(name.data(), nameLength) != nameLength) break;
        std::int32_t valueLength = 0;
        if (!file.Read32(valueLength) || valueLength < 0) break;
        // Read in pieces: a damaged count stops at the record's end (the read end)
        // instead of asking for its whole size first.
        std::string value;
        bool complete = true;
        for (std::int32_t left = valueLength; left > 0 && complete;) {
            int piece = std::min<std::int32_t>(left, 1 << 16);
            std::size_t at = value.size();
            value.resize(at + (std::size_t)piece);
            complete = file.Read(value.data() + at, piece) == piece;
            left -= piece;
        }
        if (!complete) break;
        if (!name.empty() && !value.empty()) fields[name] = std::move(value);
    }
    return true;
}
