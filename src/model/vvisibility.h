// Which nodes pass the collection's filters, decided for a whole collection at once:
// one walk over the list finds every folder's children and, from every item that
// passes and every empty folder that is shown, marks the folders above it as shown.
// Valid while the list and the filters stay as they were.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class VCollection;
class VNode;

class VVisibility {
public:
    explicit VVisibility(const VCollection& collection);

    bool IsVisible(const VNode* node) const;
    bool FolderVisible(const VNode* folder) const;
    // Children of a node in list order.
    const std::vector<VNode*>& Children(const VNode* node) const;

private:
    bool itemPasses(const VNode* item);
    bool emptyFolderShown(const VNode* folder);
    bool isActive(const VNode* node);

    const VCollection& collection;
    std::unordered_map<const VNode*, std::vector<VNode*>> children;
    std::unordered_set<const VNode*> shownFolders;
    std::unordered_set<const VNode*> passingItems;
    std::unordered_map<const VNode*, bool> activeFolders;
};

// The rules for one node, as the filters have them (no children involved).
bool ItemPassesFilters(const VCollection& collection, const VNode* item, bool active);
bool EmptyFolderShown(const VCollection& collection, const VNode* folder, bool active);
bool IsFolder(const VNode* node);
