// VCollection: all nodes of one document in one list headed by the top folder, the
// document file they are stored in, and the filter state the views apply.
#pragma once

#include "foundation/date.h"
#include "foundation/qarena.h"
#include "foundation/qstring.h"
#include "foundation/text_encoding.h"
#include "model/vextension.h"
#include "model/vgroup.h"
#include "model/vnodeindex.h"
#include "model/vunknown_records.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class VContact;
class QFile;
class QInfo;
struct QReplaceResult;

// One node in the undo history's form of the document (VCollection::WriteSerialRecords).
struct VSerialRecord {
    std::uint32_t serial;
    std::uint32_t parentSerial; // 0 without a parent
    std::uint32_t flags;
    bool folder;
    std::size_t offset; // of the record in the bytes
    std::uint32_t length;
};

// What a load found: whether the file holds a document at all, and how much of it.
struct VLoadResult {
    bool isDocument = false; // starts with "VGZ1", or holds at least one record
    bool headerOk = false;
    long fileSize = 0;
    long bytesRead = 0; // up to the end of the last whole record
    int records = 0;    // records of a known kind
    // Something could not be read: the rest of the file is lost on the next save.
    bool Damaged() const { return isDocument && (!headerOk || bytesRead < fileSize); }
    // "FILE is damaged: only N of M bytes could be read (R records)".
    std::string DamageText(const std::string& file) const;
};

class VCollection {
  public:
    VCollection();
    ~VCollection();
    VCollection(const VCollection&) = delete;
    VCollection& operator=(const VCollection&) = delete;

    void CreateRoot();
    void Clear(); // deletes every node, the root included
    VNode* Add(VNode* node, VNode* parent);
    void Remove(VNode* node);
    void RemoveTree(VNode* node);

    VNode* FindById(std::int32_t id) const;
    VNode* Selected() const;
    bool Contains(const VNode* node) const;
    int CountChildren(const VNode* folder, bool foldersOnly) const;
    int CountTree(const VNode* node) const;
    // The first folder, in list order, whose FolderTitle is the title; none without one.
    // Linear in the list (times the title's length), however deep the folders nest.
    VNode* FindFolder(const char* title) const;
    void DbgPrint(const char* label) const;

    const char* FormatDate(const QDate& date) const;
    void LoadSettings(QInfo& settings);
    void SaveSettings(QInfo& settings) const;

    // Filters and the shown chain.
    bool IsVisible(const VNode* node) const;
    bool FolderVisible(const VNode* folder) const;
    // Builds the filtered, sorted, depth-first chain (nextShown, level, siblingIndex) of
    // everything shown below the folder, and the folders' date ranges.
    void MakeView(VNode* folder);
    bool InShownChain(const VNode* node, const VNode* start) const;
    VNode* NextShown(VNode* node) const;
    VNode* PreviousShown(VNode* start) const;
    bool SelectNext(VNode* node);
    bool SelectPrevious(VNode* start);
    void ShiftTree(VNode* node, int days);
    void ResizeTree(VNode* node, int days);
    // Contacts sorted by first name, then last name; at most maximum of them.
    int Contacts(VContact** out, int maximum) const;

    // Writes the folder's shown chain (as last built) as "export.htm" in the current
    // folder and, when asked, opens it with the system's handler. The file is replaced
    // in one step (QReplaceFile). False when it cannot be written (nothing is changed or
    // opened then).
    static constexpr const char* EXPORT_FILE = "export.htm";
    bool ExportHTML(const char* title, VNode* folder, bool openAfterwards = true,
                    const char* path = EXPORT_FILE) const;

    // The undo history's form of the document: every node after the root, in list order,
    // as the record the document file would hold, but with each node number in it (the
    // node's own, its parent's, its contacts') replaced by that node's serial number, so
    // that records taken at different times compare byte for byte and read back without a
    // save. The nodes keep their stored numbers.
    void WriteSerialRecords(std::vector<unsigned char>& bytes, std::vector<VSerialRecord>& records);
    // Brings back a node from such a record, with the serial number it had, linked in just
    // after `after` (the root when null); ResolveSerials finds its parent and contacts.
    // Null for a record of no known kind.
    VNode* RestoreNode(const unsigned char* record, std::uint32_t length, std::uint32_t serial,
                       VNode* after);
    // Reads a node's fields back from such a record; ResolveSerials follows.
    void ReloadNode(VNode* node, const unsigned char* record, std::uint32_t length);
    // Parents and contacts of these nodes from the serial numbers their records held; they
    // count as changed since the last save (stored numbers 0).
    void ResolveSerials(const std::vector<VNode*>& nodes);
    // Takes one node out of the list and deletes it, quietly; nodes below it must be gone.
    void Discard(VNode* node);
    // Moves a node of the list to just after another (the root when null).
    void MoveAfter(VNode* node, VNode* after);

    // Texts that enter the document (typed, pasted, imported): the bytes to store for
    // them. A Windows-1252 document that cannot hold one becomes UTF-8 first
    // (ConvertTexts), once; a document never goes back by itself.
    std::string EnteredText(std::u32string_view text);
    std::string EnteredUtf8(std::string_view utf8);
    // Makes the document able to hold the text (as EnteredText) without storing it: for
    // a dialog that reads several fields, so that all are read in the same encoding.
    void MakeRoomFor(std::u32string_view text);
    // Stores every text of every node in the other encoding, and the document in it.
    void ConvertTexts(TextEncoding to);

    // Replaces all nodes by those of the file; a file that cannot be read gives the
    // empty collection. A damaged file gives what it holds; the result says how much.
    VLoadResult Load(const char* path);
    // Writes every node; without a path to the file last loaded. The file is replaced in
    // one step (QReplaceFile): it holds its old bytes or all the new ones. False (after
    // telling the user, and that the file on disk is unchanged) when it could not.
    bool Save(const char* path = nullptr);
    // What the user is told when saving to the target stopped as the result says.
    static std::string SaveFailureText(const char* target, const QReplaceResult& result);
    // The bytes Save would write now (the nodes numbered as Save numbers them): the same
    // bytes before and after a command mean it changed nothing worth a save.
    std::string FileBytes();

    VGroup* root = nullptr;
    qstring fileName;
    std::int32_t dateFormat = 1;
    std::int32_t sortMode = 0;
    std::uint32_t filterFlags = 5;
    // While frozen, nothing changes the nodes' places, kinds, flags or texts nor the
    // filters (a document that is only served, never edited): the walks that decide
    // what shows then share one index of every node's children instead of building it
    // each time. Freezing and thawing both drop the index.
    void FreezeStructure(bool on) {
        structureFrozen = on;
        frozenChildIndex.reset();
        ++freezes;
    }
    bool StructureFrozen() const { return structureFrozen; }
    // Changes at every freeze and thaw: what was kept during one freeze is not for another.
    std::uint64_t Freezes() const { return freezes; }
    // Kept for the walks by VVisibility, which alone knows its type.
    mutable std::shared_ptr<const void> frozenChildIndex;

    qstring filterText; // upper case, UTF-8 whatever the document's encoding
    // How the document's texts are stored (the file's "TENC" record); Windows-1252 for
    // every new document and every file without that record.
    TextEncoding textEncoding = TextEncoding::Windows1252;
    VContact* contactFilter = nullptr;
    // Data beyond the nodes' own records, saved and loaded with them.
    VExtensions extensions;
    // Records of tags this version does not know, kept to be written back as they came.
    VUnknownRecords unknownRecords;

  private:
    void linkAfterRoot(VNode* node);
    void linkAfter(VNode* node, VNode* after);
    static void unlink(VNode* node);
    void deleteUnlinked(VNode* node); // and forgets it as the contact filter
    void repairParents(const std::vector<VNode*>& loaded);
    // An extension record as the loader read it, before its number names a node.
    struct LoadedExtension {
        std::int32_t number = 0;
        VExtensionFields fields;
        std::string keptWhole; // later records for the node that could not be merged
    };
    // Keeps the record that ends at recordEnd with the node; a cut-off one is not kept.
    void keepUnknownRecord(QFile& file, VNode* owner, long recordEnd, std::int32_t length,
                           long fileSize);
    // Adds the record to those read so far, or to the earlier one of the same number;
    // lastNode is the node whose record came last.
    void addExtensionRecord(QFile& file, LoadedExtension record,
                            std::vector<LoadedExtension>& records,
                            std::unordered_map<std::int32_t, std::size_t>& byNumber,
                            long recordEnd, std::int32_t length, VNode* lastNode);
    // A node's record followed by its extension record, if any.
    void saveNode(QFile& file, VNode* node) const;
    static std::int32_t parentNumber(const VNode* node);
    void numberNodes(); // 1..n in the order of the records, and the parents' numbers
    VNode* lastNode() const; // the end of the list (the root when it holds nothing else)
    bool writeFile(const char* path) const; // the document file's bytes, in place
    void writeTo(QFile& file) const;
    void readEncodingRecord(QFile& file, const char* path);
    void changeTree(VNode* node, int days, void (VNode::*change)(int));
    // Moves the selection to the target; false (and nothing changed) without one.
    bool selectInstead(VNode* target);

    // The loaded nodes and their texts: one block per many nodes instead of a heap block
    // each. Given back when every node is gone (Clear).
    QArena nodeArena;
    // While a load resolves numbers, nodes are found by id here instead of by walking the list.
    VNodeIndex loadIndex;
    bool indexing = false;
    bool structureFrozen = false;
    std::uint64_t freezes = 0;
};
