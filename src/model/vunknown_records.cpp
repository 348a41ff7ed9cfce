#include "model/vunknown_records.h"

#include "foundation/qfile.h"
#include "model/vextension.h"
#include "model/vnode.h"

#include <cstring>

std::size_t VUnknownRecords::RecordSize(const void* record) {
    auto* b = (const unsigned char*)record + 4;
    return 4 + ((std::size_t)b[0] | ((std::size_t)b[1] << 8) | ((std::size_t)b[2] << 16) |
                ((std::size_t)b[3] << 24));
}

void VUnknownRecords::Add(const VNode* node, std::string_view record) {
    byNode[node->Serial()].append(record);
}

const std::string* VUnknownRecords::Find(const VNode* node) const {
    if (byNode.empty()) return nullptr;
    auto it = byNode.find(node->Serial());
    return it == byNode.end() ? nullptr : &it->second;
}

void VUnknownRecords::Forget(const VNode* node) {
    if (!byNode.empty()) byNode.erase(node->Serial());
}

void VUnknownRecords::Set(const VNode* node, std::string records) {
    if (records.empty())
        byNode.erase(node->Serial());
    else
        byNode[node->Serial()] = std::move(records);
}

void VUnknownRecords::writeRecords(QFile& file, const VNode* node, std::int32_t number) const {
    const std::string* records = Find(node);
    if (!records) return;
    // Only whole records are kept, so each length leads to the next one.
    const char* at = records->data();
    const char* end = at + records->size();
    while (at + 8 <= end) {
        std::size_t size = RecordSize(at);
        if (size < 8 || size > (std::size_t)(end - at)) break; // not a record we kept
        if (std::memcmp(at, VExtensions::TAG, 4) == 0 && size >= 12) {
            file.Write(at, 8);
            file.Write32(number);
            file.Write(at + 12, (int)(size - 12));
        } else {
            file.Write(at, (int)size);
        }
        at += size;
    }
}
