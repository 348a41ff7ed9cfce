#include "model/vcollection.h"

#include "foundation/qfile.h"
#include "foundation/qmessage.h"
#include "foundation/qreplace.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vkinds.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstring>
#include <vector>

VCollection::VCollection() {
    CreateRoot();
}

VCollection::~VCollection() {
    Clear();
}

void VCollection::CreateRoot() {
    root = new VGroup(this);
    root->folderType = FOLDER_NONE;
    root->tempFlags |= NOT_SAVED;
    root->name = "root";
}

void VCollection::Clear() {
    for (VNode* node = root; node;) {
        VNode* next = node->next;
        delete node;
        node = next;
    }
    nodeArena.Release();
    extensions.Clear();
    unknownRecords.Clear();
    root = nullptr;
    contactFilter = nullptr;
}

void VCollection::linkAfterRoot(VNode* node) {
    linkAfter(node, root);
}

void VCollection::linkAfter(VNode* node, VNode* after) {
    node->prev = after;
    node->next = after->next;
    if (after->next) after->next->prev = node;
    after->next = node;
}

void VCollection::unlink(VNode* node) {
    if (node->prev) node->prev->next = node->next;
    if (node->next) node->next->prev = node->prev;
    node->prev = node->next = nullptr;
}

VNode* VCollection::Add(VNode* node, VNode* parent) {
    linkAfterRoot(node);
    node->parent = parent;
    return node;
}

void VCollection::Remove(VNode* node) {
    DbgPrint("Remove1");
    if (!node || node == root) return;
    unlink(node);
    DbgPrint("Remove2");
    deleteUnlinked(node);
    DbgPrint("Remove3");
}

void VCollection::deleteUnlinked(VNode* node) {
    if (contactFilter == (const VNode*)node) contactFilter = nullptr;
    extensions.Forget(node);
    // Records of tags this version does not know are the node's data: they go with it.
    unknownRecords.Forget(node);
    delete node;
}

void VCollection::RemoveTree(VNode* node) {
    for (;;) {
        VNode* child = root;
        while (child && child->parent != node)
            child = child->next;
        if (!child) break;
        RemoveTree(child);
    }
    for (VNode* n = root; n; n = n->next)
        n->ForgetContact(node);
    Remove(node);
}

VNode* VCollection::FindById(std::int32_t id) const {
    if (indexing) return loadIndex.Find(id);
    for (VNode* node = root; node; node = node->next)
        if (node->id == id) return node;
    return nullptr;
}

VNode* VCollection::Selected() const {
    for (VNode* node = root; node; node = node->next)
        if (node->tempFlags & SELECTED) return node;
    return nullptr;
}

bool VCollection::Contains(const VNode* node) const {
    for (VNode* n = root; n; n = n->next)
        if (n == node) return true;
    return false;
}

int VCollection::CountChildren(const VNode* folder, bool foldersOnly) const {
    int count = 0;
    for (VNode* node = root; node; node = node->next)
        if (node->parent == folder && (!foldersOnly || node->IsFolderKind())) ++count;
    return count;
}

int VCollection::CountTree(const VNode* node) const {
    int count = 1;
    for (VNode* n = root; n; n = n->next)
        if (n->parent == node && n != node) count += CountTree(n);
    return count;
}

void VCollection::DbgPrint(const char* label) const {
    qtrace(QLOC("VCollection::DbgPrint"), "VCollection (%s)\n", label);
    for (VNode* node = root; node; node = node->next)
        qtrace(QLOC("VCollection::DbgPrint"), "  %s (%p; next=%p, prev=%p)\n", node->name.Text(),
               (void*)node, (void*)node->next, (void*)node->prev);
}

const char* VCollection::FormatDate(const QDate& date) const {
    switch (dateFormat) {
    case 0:
        return date.Format(6);
    case 1:
        return date.Format(3);
    case 2:
        return date.Format(7);
    default:
        qerr(QLOC("VCollection::FormatDate"), "VCollection:FormatDate(); unknown format");
        return date.Format(6);
    }
}

std::string VLoadResult::DamageText(const std::string& file) const {
    return file + " is damaged: only " + std::to_string(bytesRead) + " of " +
           std::to_string(fileSize) + " bytes could be read (" + std::to_string(records) +
           " records)";
}

VLoadResult VCollection::Load(const char* path) {
    VLoadResult result;
    Clear();
    CreateRoot();
    fileName = path;
    textEncoding = TextEncoding::Windows1252;

    loadIndex.Clear();
    // The loaded nodes in record order: walking this backwards visits them in list order,
    // with addresses known ahead, which is much faster than chasing the links.
    std::vector<VNode*> loaded;
    // Extension records name their node by number; they are matched once all are read.
    std::vector<LoadedExtension> extensionRecords;
    std::unordered_map<std::int32_t, std::size_t> extensionOf; // number -> its entry
    // Records of unknown tags belong to the node whose record they follow; those before
    // any node to the top folder, which is written first.
    VNode* lastNode = root;
    QFile file(path, QFile::READ | QFile::MEMORY);
    file.SetTextArena(&nodeArena);
    if (file.IsOpen()) {
        result.fileSize = std::max(0L, QFileSize(path));
        char header[8];
        if (file.Read(header, 8) == 8) {
            result.headerOk = std::memcmp(header, "VGZ1", 4) == 0;
            result.bytesRead = 8;
            for (;;) {
                char tag[4];
                std::int32_t length = 0;
                file.SetReadEnd(-1);
                if (file.Read(tag, 4) != 4 || !file.Read32(length)) break;
                if (length < 4) {
                    // A length that does not even cover itself leaves no way to the next record.
                    qerr(QLOC("VCollection::Load"),
                         "VCollection::Load: record at offset %ld of '%s' has the bad length %d; "
                         "the rest of the file is skipped",
                         file.Tell() - 8, path, length);
                    break;
                }
                long recordEnd = file.Tell() + (long)length - 4;
                if (std::memcmp(tag, TEXT_ENCODING_TAG, 4) == 0) {
                    file.SetReadEnd(recordEnd);
                    readEncodingRecord(file, path);
                } else if (VNode* node = MakeNodeForTag(tag, this, &nodeArena)) {
                    file.SetReadEnd(recordEnd); // a damaged record cannot read into the next
                    node->Load(file);
                    Add(node, root);
                    // The list runs newest first, so the last record of an id is the one a
                    // walk from the root would find first.
                    loadIndex.Put(node->id, node);
                    loaded.push_back(node);
                    lastNode = node;
                    ++result.records;
                } else if (std::memcmp(tag, VExtensions::TAG, 4) == 0) {
                    file.SetReadEnd(recordEnd);
                    LoadedExtension record;
                    if (!VExtensions::ReadBody(file, record.number, record.fields))
                        keepUnknownRecord(file, lastNode, recordEnd, length, result.fileSize);
                    else if (!record.fields.empty())
                        addExtensionRecord(file, std::move(record), extensionRecords,
                                           extensionOf, recordEnd, length, lastNode);
                } else {
                    keepUnknownRecord(file, lastNode, recordEnd, length, result.fileSize);
                }
                file.SetReadEnd(-1);
                if (recordEnd > result.fileSize || !file.Seek(recordEnd, 0) ||
                    file.Tell() != recordEnd)
                    break; // cut off
                result.bytesRead = recordEnd;
            }
        }
        file.Close();
    }

    // Numbers are resolved through the index; the root answers 0 before any record does.
    loadIndex.Put(0, root);
    indexing = true;
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it)
        (*it)->PostLoad();
    for (LoadedExtension& record : extensionRecords) {
        VNode* node = loadIndex.Find(record.number);
        // Number 0 is the top folder: document-wide data such as the sync account.
        if (node) {
            extensions.SetFields(node, std::move(record.fields));
            if (!record.keptWhole.empty()) unknownRecords.Add(node, record.keptWhole);
        } else {
            qerr(QLOC("VCollection::Load"), "Extension record for node %d: no such node",
                 record.number);
        }
    }
    indexing = false;
    loadIndex.Clear();
    repairParents(loaded);
    result.isDocument = result.headerOk || result.records > 0;
    return result;
}

namespace {

// The whole record (tag, length, body) that ends there; empty when it cannot be read.
std::string wholeRecord(QFile& file, long recordEnd, std::int32_t length) {
    std::string record((std::size_t)length + 4, '\0');
    file.SetReadEnd(recordEnd);
    if (!file.Seek(recordEnd - (long)record.size(), 0) ||
        file.Read(record.data(), (int)record.size()) != (int)record.size())
        record.clear();
    return record;
}

} // namespace

void VCollection::keepUnknownRecord(QFile& file, VNode* owner, long recordEnd,
                                    std::int32_t length, long fileSize) {
    // A record cut off by the end of the file is damage, not data: written back whole
    // it would swallow what a later save puts after it.
    if (recordEnd > fileSize) return;
    std::string record = wholeRecord(file, recordEnd, length);
    if (!record.empty()) unknownRecords.Add(owner, record);
}

void VCollection::addExtensionRecord(QFile& file, LoadedExtension record,
                                     std::vector<LoadedExtension>& records,
                                     std::unordered_map<std::int32_t, std::size_t>& byNumber,
                                     long recordEnd, std::int32_t length, VNode* lastNode) {
    auto [at, first] = byNumber.try_emplace(record.number, records.size());
    if (first) {
        records.push_back(std::move(record));
        return;
    }
    // A second record for the same node. Fields of other names join the first record's
    // (a save writes them as one record). A record that names a field again cannot join
    // without losing one of the two values, so it is kept whole instead, byte for byte,
    // as the node's own unknown record: the node keeps its first value, and the second
    // goes back into the file unchanged (with the node's number of that file). Following
    // its own node's record, it keeps its place among that node's unknown records.
    LoadedExtension& earlier = records[at->second];
    for (const auto& field : record.fields) {
        if (earlier.fields.count(field.first)) {
            std::string whole = wholeRecord(file, recordEnd, length);
            if (lastNode->id == record.number && (lastNode == root) == (record.number == 0))
                unknownRecords.Add(lastNode, whole);
            else
                earlier.keptWhole += whole;
            return;
        }
    }
    earlier.fields.merge(record.fields);
}

void VCollection::repairParents(const std::vector<VNode*>& loaded) {
    // Every parent must be a folder, and no folder may hold itself: a damaged file could
    // otherwise send every walk up the tree round in a circle. Each node is walked up
    // once; the marks of fresh nodes start out clear.
    enum : std::uint8_t { UNSEEN = 0, ON_PATH = 1, DONE = 2 };
    std::vector<VNode*> path;
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
        VNode* node = *it;
        path.clear();
        VNode* n = node;
        while (n != root && n->loadMark == UNSEEN) {
            if (!n->parent->IsFolderKind()) {
                qerr(QLOC("VCollection::Load"), "Node '%s' has a parent (id %d) that is no folder",
                     n->name.Text(), n->parentId);
                n->parent = root;
            }
            n->loadMark = ON_PATH;
            path.push_back(n);
            n = n->parent;
        }
        if (n != root && n->loadMark == ON_PATH) {
            qerr(QLOC("VCollection::Load"), "Node '%s' is inside itself (parent id %d)",
                 n->name.Text(), n->parentId);
            n->parent = root;
        }
        for (VNode* p : path)
            p->loadMark = DONE;
    }
}

std::int32_t VCollection::parentNumber(const VNode* node) {
    return node->parent ? node->parent->id : 0;
}

VNode* VCollection::lastNode() const {
    VNode* last = root;
    while (last->next)
        last = last->next;
    return last;
}

void VCollection::numberNodes() {
    // In the order of the records: the top folder 0, then from the end of the list back.
    std::int32_t number = 0;
    root->id = number++;
    for (VNode* node = lastNode(); node != root; node = node->prev)
        node->id = number++;
    // Every node is numbered by now.
    for (VNode* node = root->next; node; node = node->next)
        node->parentId = parentNumber(node);
}

std::string VCollection::FileBytes() {
    numberNodes();
    QFile file;
    writeTo(file);
    return std::string((const char*)file.OutputBytes(), (size_t)file.OutputSize());
}

bool VCollection::Save(const char* path) {
    qstring target(path ? path : fileName.Text());
    numberNodes();
    QReplaceResult result =
        QReplaceFile(target, [this](const char* temporary) { return writeFile(temporary); });
    if (!result.ok()) {
        ShowMessage(SaveFailureText(target, result).c_str(), "Error", MsgButtons::OK,
                    MsgIcon::Error);
        return false;
    }
    return true;
}

bool VCollection::writeFile(const char* path) const {
    QFile file(path, QFile::WRITE);
    if (!file.IsOpen()) return false;
    writeTo(file);
    return file.Close();
}

void VCollection::writeTo(QFile& file) const {
    file.Write("VGZ1", 4);
    file.Write32(1);
    if (textEncoding != TextEncoding::Windows1252) {
        file.Write(TEXT_ENCODING_TAG, 4);
        long at = file.BeginSize();
        file.WriteString(qstring(TextEncodingName(textEncoding)));
        file.EndSize(at);
    }
    // The top folder has no record of its own; its fields go first, numbered 0.
    extensions.Write(file, root, 0);
    unknownRecords.Write(file, root, 0);
    // From the end of the list back: a load puts each record it reads first in the list,
    // so the next load gives this list in this order again, and items that sort alike
    // keep their places across saves.
    for (VNode* node = lastNode(); node != root; node = node->prev)
        saveNode(file, node);
}

void VCollection::saveNode(QFile& file, VNode* node) const {
    if (node->tempFlags & NOT_SAVED) return;
    node->Save(file);
    extensions.Write(file, node, node->id);
    unknownRecords.Write(file, node, node->id);
}

std::string VCollection::SaveFailureText(const char* target, const QReplaceResult& result) {
    std::string text;
    std::string reason = result.error ? std::strerror(result.error) : "the disk may be full";
    switch (result.step) {
    case QReplaceStep::Write:
    case QReplaceStep::Flush:
        text = std::string("Can't write file (") + target + "): " + reason + ".";
        break;
    case QReplaceStep::Rename:
        text = std::string("Can't save file (") + target + "): " + reason + ".";
        break;
    case QReplaceStep::NotAFile:
        text =
            std::string("Can't open file (") + target + ") for writing: it is not a regular file.";
        break;
    case QReplaceStep::ForeignLink:
        text = std::string("Can't open file (") + target +
               ") for writing: it is another user's link in a shared folder.";
        break;
    default:
        text = std::string("Can't open file (") + target + ") for writing.";
        break;
    }
    text += result.targetExisted ? " The file on disk is unchanged." : " Nothing was written.";
    return text;
}
