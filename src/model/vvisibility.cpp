#include "model/vvisibility.h"

#include "model/vcollection.h"

#include <cstring>

bool IsFolder(const VNode* node) { return !std::strcmp(node->TypeName(), "group"); }

bool ItemPassesFilters(const VCollection& c, const VNode* item, bool active) {
    std::uint32_t bits = c.filterFlags;
    if (c.contactFilter && (bits & 16) && !item->HasContact(c.contactFilter)) return false;
    bool done = item->flags & DONE;
    bool waiting = item->flags & WAITING;
    bool shown = false;
    if (bits & 1) shown = !waiting && !done;
    if ((bits & 2) && done) shown = true;
    if ((bits & 4) && waiting && !done) shown = true;
    if (bits & 8) {
        if (!done && !active) shown = true;
    } else if (!active) {
        shown = false;
    }
    if (!c.filterText.IsEmpty() && !item->Matches(c.filterText)) return false;
    return shown;
}

bool EmptyFolderShown(const VCollection& c, const VNode* folder, bool active) {
    return ((c.filterFlags & 8) && (folder->flags & INACTIVE)) || ((c.filterFlags & 1) && active);
}

VVisibility::VVisibility(const VCollection& owner) : collection(owner) {
    for (VNode* node = owner.root->next; node; node = node->next)
        if (node->parent) children[node->parent].push_back(node);

    for (VNode* node = owner.root->next; node; node = node->next) {
        bool folder = IsFolder(node);
        bool leafShown;
        if (!folder) {
            leafShown = itemPasses(node);
            if (leafShown) passingItems.insert(node);
        } else {
            leafShown = !children.count(node) && emptyFolderShown(node);
        }
        if (!leafShown) continue;
        // Every folder on the way up shows because of this one, up to the first
        // folder already known to show.
        for (const VNode* up = node->parent; up && IsFolder(up) && shownFolders.insert(up).second;
             up = up->parent) {
        }
    }
}

bool VVisibility::itemPasses(const VNode* item) {
    return ItemPassesFilters(collection, item, isActive(item));
}

bool VVisibility::emptyFolderShown(const VNode* folder) {
    return EmptyFolderShown(collection, folder, isActive(folder));
}

bool VVisibility::isActive(const VNode* node) {
    if (node->flags & INACTIVE) return false;
    // The answers of the folders above are kept: each folder is looked at once.
    std::vector<const VNode*> unknown;
    const VNode* up = node->parent;
    bool active = true;
    for (; up; up = up->parent) {
        auto known = activeFolders.find(up);
        if (known != activeFolders.end()) {
            active = known->second;
            break;
        }
        if (up->flags & INACTIVE) {
            active = false;
            activeFolders[up] = false;
            break;
        }
        unknown.push_back(up);
    }
    for (const VNode* n : unknown) activeFolders[n] = active;
    return active;
}

bool VVisibility::FolderVisible(const VNode* folder) const {
    if (children.count(folder)) return shownFolders.count(folder) > 0;
    bool active = folder->IsActive();
    return EmptyFolderShown(collection, folder, active);
}

bool VVisibility::IsVisible(const VNode* node) const {
    if (IsFolder(node)) return FolderVisible(node);
    return passingItems.count(node) > 0;
}

const std::vector<VNode*>& VVisibility::Children(const VNode* node) const {
    static const std::vector<VNode*> none;
    auto found = children.find(node);
    return found == children.end() ? none : found->second;
}
