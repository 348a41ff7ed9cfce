#include "app/history/undo_history.h"

#include "app/history/change_names.h"
#include "model/vcollection.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <unordered_set>

namespace {

const std::string NONE;

// Puts the document from one side of a change to the other: the nodes that go, the
// nodes that come back (after the node they followed), the changed ones reloaded, and
// their parents and contacts found again by serial.
VNode* applySide(VCollection& c, const std::vector<NodeImage>& going,
                 const std::vector<NodeImage>& coming, const std::vector<NodeImage>& reloaded,
                 const std::vector<std::uint32_t>& order, VNode*& folder) {
    std::unordered_map<std::uint32_t, VNode*> bySerial;
    for (VNode* n = c.root->next; n; n = n->next)
        bySerial[n->Serial()] = n;

    std::unordered_set<std::uint32_t> goingSerials;
    for (const NodeImage& image : going)
        goingSerials.insert(image.serial);
    // The view leaves a folder that goes for the nearest one that stays.
    while (folder && folder != c.root && goingSerials.count(folder->Serial()))
        folder = folder->parent;
    if (!folder) folder = c.root;
    for (const NodeImage& image : going) {
        auto found = bySerial.find(image.serial);
        if (found == bySerial.end()) continue;
        c.Discard(found->second);
        bySerial.erase(found);
    }

    std::vector<VNode*> resolve;
    std::unordered_set<std::uint32_t> comingSerials;
    VNode* subject = nullptr;
    for (const NodeImage& image : coming) {
        auto after = bySerial.find(image.after);
        auto* record = (const unsigned char*)image.record.data();
        VNode* node = c.RestoreNode(record, (std::uint32_t)image.record.size(), image.serial,
                                    after == bySerial.end() ? nullptr : after->second);
        if (!node) continue;
        bySerial[image.serial] = node;
        comingSerials.insert(image.serial);
        resolve.push_back(node);
    }
    for (const NodeImage& image : coming)
        if (!subject && !comingSerials.count(image.parentSerial)) subject = bySerial[image.serial];
    for (const NodeImage& image : reloaded) {
        auto found = bySerial.find(image.serial);
        if (found == bySerial.end()) continue;
        c.ReloadNode(found->second, (const unsigned char*)image.record.data(),
                     (std::uint32_t)image.record.size());
        resolve.push_back(found->second);
        if (!subject) subject = found->second;
    }
    c.ResolveSerials(resolve);

    VNode* previous = nullptr;
    for (std::uint32_t serial : order) {
        auto found = bySerial.find(serial);
        if (found == bySerial.end()) continue;
        c.MoveAfter(found->second, previous);
        previous = found->second;
    }
    return subject;
}

} // namespace

void UndoHistory::Reset(VCollection& collection) {
    changes.clear();
    position = 0;
    savedAt = 0;
    mirror.Take(collection);
}

bool UndoHistory::Record(VCollection& collection, const std::string& name) {
    spare.Take(collection);
    DocumentChange change = CompareMirrors(mirror, spare);
    std::swap(mirror, spare);
    if (change.Empty()) return false;
    change.name = name.empty() ? DescribeChange(change, collection) : name;
    // A new change after undos: the undone ones can no longer be redone.
    changes.erase(changes.begin() + (long)position, changes.end());
    if (savedAt > (long)position) savedAt = -1;
    changes.push_back(std::move(change));
    ++position;
    if (changes.size() > MAX_CHANGES) {
        changes.pop_front();
        --position;
        savedAt = savedAt > 0 ? savedAt - 1 : -1;
    }
    return true;
}

bool UndoHistory::AtSavedState() const {
    if (savedAt < 0) return false;
    std::size_t from = std::min((std::size_t)savedAt, position);
    std::size_t to = std::max((std::size_t)savedAt, position);
    for (std::size_t i = from; i < to; ++i)
        if (changes[i].ChangesNodes()) return false;
    return true;
}

const std::string& UndoHistory::UndoName() const {
    return CanUndo() ? changes[position - 1].name : NONE;
}

const std::string& UndoHistory::RedoName() const {
    return CanRedo() ? changes[position].name : NONE;
}

bool UndoHistory::Undo(VCollection& collection, VNode*& folder, HistoryStep& result) {
    return step(collection, true, folder, result);
}

bool UndoHistory::Redo(VCollection& collection, VNode*& folder, HistoryStep& result) {
    return step(collection, false, folder, result);
}

bool UndoHistory::step(VCollection& collection, bool back, VNode*& folder, HistoryStep& result) {
    if (back ? !CanUndo() : !CanRedo()) return false;
    const DocumentChange& change = changes[back ? position - 1 : position];
    result.name = change.name;
    result.foldersChanged = change.TouchesFolders();
    result.dateFormatChanged = change.dateFormatBefore != change.dateFormatAfter;
    collection.dateFormat = back ? change.dateFormatBefore : change.dateFormatAfter;
    result.subject = back ? applySide(collection, change.added, change.removed, change.before,
                                      change.orderBefore, folder)
                          : applySide(collection, change.removed, change.added, change.after,
                                      change.orderAfter, folder);
    position = back ? position - 1 : position + 1;
    mirror.Take(collection);
    return true;
}
