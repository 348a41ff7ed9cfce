#include "app/history/undo_history.h"

#include "app/history/change_names.h"
#include "model/vcollection.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

const std::string NONE;

// Puts the document from one side of a change to the other.
class SideApplier {
  public:
    explicit SideApplier(VCollection& collection) : c(collection) {
        for (VNode* n = c.root->next; n; n = n->next)
            bySerial[n->Serial()] = n;
    }

    // The nodes that go; the view's folder moves up to the nearest one that stays.
    void Discard(const std::vector<NodeImage>& going, VNode*& folder) {
        std::unordered_set<std::uint32_t> serials;
        for (const NodeImage& image : going)
            serials.insert(image.serial);
        while (folder && folder != c.root && serials.count(folder->Serial()))
            folder = folder->parent;
        if (!folder) folder = c.root;
        for (const NodeImage& image : going)
            if (VNode* node = find(image.serial)) {
                c.Discard(node);
                bySerial.erase(image.serial);
            }
    }

    // The nodes that come back, each after the node it followed (in list order, so that
    // node is back already when it came too).
    void Restore(const std::vector<NodeImage>& coming) {
        std::unordered_set<std::uint32_t> serials;
        for (const NodeImage& image : coming) {
            VNode* node =
                c.RestoreNode(bytes(image), length(image), image.serial, find(image.after));
            if (!node) continue;
            bySerial[image.serial] = node;
            serials.insert(image.serial);
            resolve.push_back(node);
        }
        // The change is about the topmost node that came back.
        for (const NodeImage& image : coming)
            if (!subject && !serials.count(image.parentSerial)) subject = find(image.serial);
    }

    void Reload(const std::vector<NodeImage>& changed) {
        for (const NodeImage& image : changed)
            if (VNode* node = find(image.serial)) {
                // Whether a folder is open is no edit: undo and redo leave it as it is.
                std::uint32_t open = node->flags & EXPANDED;
                c.ReloadNode(node, bytes(image), length(image));
                node->flags = (node->flags & ~EXPANDED) | open;
                resolve.push_back(node);
                if (!subject) subject = node;
            }
    }

    // Parents and contacts by serial, and the whole order when nodes changed places.
    VNode* Finish(const std::vector<std::uint32_t>& order) {
        c.ResolveSerials(resolve);
        VNode* previous = nullptr;
        for (std::uint32_t serial : order)
            if (VNode* node = find(serial)) {
                c.MoveAfter(node, previous);
                previous = node;
            }
        return subject;
    }

  private:
    VNode* find(std::uint32_t serial) const {
        auto found = bySerial.find(serial);
        return found == bySerial.end() ? nullptr : found->second;
    }
    static const unsigned char* bytes(const NodeImage& image) {
        return (const unsigned char*)image.record.data();
    }
    static std::uint32_t length(const NodeImage& image) {
        return (std::uint32_t)image.record.size();
    }

    VCollection& c;
    std::unordered_map<std::uint32_t, VNode*> bySerial;
    std::vector<VNode*> resolve;
    VNode* subject = nullptr;
};

VNode* applySide(VCollection& c, const std::vector<NodeImage>& going,
                 const std::vector<NodeImage>& coming, const std::vector<NodeImage>& changed,
                 const std::vector<std::uint32_t>& order, VNode*& folder) {
    SideApplier apply(c);
    apply.Discard(going, folder);
    apply.Restore(coming);
    apply.Reload(changed);
    return apply.Finish(order);
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
    collection.textEncoding = back ? change.encodingBefore : change.encodingAfter;
    if (change.topBefore != change.topAfter)
        collection.extensions.SetFields(collection.root, back ? change.topBefore : change.topAfter);
    result.subject = back ? applySide(collection, change.added, change.removed, change.before,
                                      change.orderBefore, folder)
                          : applySide(collection, change.removed, change.added, change.after,
                                      change.orderAfter, folder);
    position = back ? position - 1 : position + 1;
    mirror.Take(collection);
    return true;
}
