// The document as the undo history keeps it: node records numbered by serial numbers,
// and the way back from them to nodes.
#include "foundation/qfile.h"
#include "model/vcollection.h"
#include "model/vkinds.h"
#include "model/vvisibility.h"

#include <algorithm>
#include <cstring>

void VCollection::WriteSerialRecords(std::vector<unsigned char>& bytes,
                                     std::vector<VSerialRecord>& records) {
    // Every node is numbered by its serial for the length of the walk, so the records
    // name parents and contacts by serial; the stored numbers go back afterwards.
    std::vector<std::int32_t> stored;
    for (VNode* node = root; node; node = node->next) {
        stored.push_back(node->id);
        stored.push_back(node->parentId);
        node->id = (std::int32_t)node->serial;
    }
    QFile out;
    records.clear();
    for (VNode* node = root->next; node; node = node->next) {
        node->parentId = parentNumber(node);
        long start = out.Tell();
        saveNode(out, node);
        records.push_back({node->serial, node->parent ? node->parent->serial : 0, node->flags,
                           IsFolder(node), (std::size_t)start,
                           (std::uint32_t)(out.Tell() - start)});
    }
    std::size_t i = 0;
    for (VNode* node = root; node; node = node->next) {
        node->id = stored[i++];
        node->parentId = stored[i++];
    }
    bytes.assign(out.OutputBytes(), out.OutputBytes() + out.OutputSize());
}

VNode* VCollection::RestoreNode(const unsigned char* record, std::uint32_t length,
                                std::uint32_t serial, VNode* after) {
    if (length < 8) return nullptr;
    VNode* node = MakeNodeForTag((const char*)record, this);
    if (!node) return nullptr;
    node->serial = serial;
    ReloadNode(node, record, length);
    linkAfter(node, after ? after : root);
    return node;
}

void VCollection::ReloadNode(VNode* node, const unsigned char* record, std::uint32_t length) {
    if (length < 8) return;
    // A kind's Load starts after the record's tag and length, as in a file.
    QFile file(record + 8, (long)length - 8);
    node->Load(file);
    // The node's extension record, when it has one, follows its own record, and the
    // records of unknown tags it keeps follow that.
    std::size_t restAt = std::min<std::size_t>(VUnknownRecords::RecordSize(record), length);
    VExtensionFields fields;
    if (restAt + 8 <= length && std::memcmp(record + restAt, VExtensions::TAG, 4) == 0) {
        std::size_t extensionEnd =
            std::min<std::size_t>(restAt + VUnknownRecords::RecordSize(record + restAt), length);
        QFile extension(record + restAt + 8, (long)(extensionEnd - restAt - 8));
        std::int32_t number;
        VExtensions::ReadBody(extension, number, fields);
        restAt = extensionEnd;
    }
    extensions.SetFields(node, std::move(fields));
    unknownRecords.Set(node, std::string((const char*)record + restAt, length - restAt));
}

void VCollection::ResolveSerials(const std::vector<VNode*>& nodes) {
    loadIndex.Clear();
    for (VNode* node = root; node; node = node->next)
        loadIndex.Put((std::int32_t)node->serial, node);
    indexing = true;
    for (VNode* node : nodes) {
        node->PostLoad();
        node->id = 0;
        node->parentId = 0;
    }
    indexing = false;
    loadIndex.Clear();
}

void VCollection::Discard(VNode* node) {
    if (!node || node == root) return;
    unlink(node);
    deleteUnlinked(node);
}

void VCollection::MoveAfter(VNode* node, VNode* after) {
    if (!node || node == root || node == after) return;
    unlink(node);
    linkAfter(node, after ? after : root);
}
