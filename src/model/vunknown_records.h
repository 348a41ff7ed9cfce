// Records this version does not know: a newer version's data, which a load and save must
// not lose. Each is kept byte for byte with the node whose record it followed in the file
// (the top folder for those before any node) and written back right after that node's
// record and extension record, in the order they came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class QFile;
class VNode;

// The kept records of every node of one collection, by the node's serial number: the
// records' bytes one after another, as the file held them. Rare, so nothing is spent on
// a node without any.
class VUnknownRecords {
  public:
    bool Empty() const { return byNode.empty(); }
    // Appends one whole record (tag, length, body) to the node's.
    void Add(const VNode* node, std::string_view record);
    // The node's records, one after another; null when it has none.
    const std::string* Find(const VNode* node) const;
    // Replaces the node's records (none when empty).
    void Set(const VNode* node, std::string records);
    // A removed node's records go with it: they are its data.
    void Forget(const VNode* node);
    void Clear() { byNode.clear(); }

    // Writes the node's records. An extension record kept among them (one that named a
    // field the node's first record already had) names its node by number, as any
    // extension record does: it is written with the number the node has in this file.
    void Write(QFile& file, const VNode* node, std::int32_t number) const {
        if (!byNode.empty()) writeRecords(file, node, number);
    }

    // The size of a whole record (tag, length and body) from its first 8 bytes.
    static std::size_t RecordSize(const void* record);

  private:
    void writeRecords(QFile& file, const VNode* node, std::int32_t number) const;
    std::unordered_map<std::uint32_t, std::string> byNode;
};
