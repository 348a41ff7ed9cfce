// Which nodes pass the collection's filters. One walk over the list indexes every
// node's children; a walk down from a folder then decides its whole subtree at once,
// each node once: an item by its own flags and texts, a folder by whether anything
// below it shows (or, when empty, by its own activity). Valid while the list and the
// filters stay as they were.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class VCollection;
class VNode;

class VVisibility {
  public:
    explicit VVisibility(const VCollection& collection);

    // Decides every node below the folder; call before asking about them.
    void Evaluate(const VNode* folder);
    bool FolderVisible(const VNode* folder);

    struct Range {
        size_t begin, end;
    };
    // The children of a node in list order, as positions for Child and Visible.
    Range Children(const VNode* node) const;
    VNode* Child(size_t position) const { return (*index)[position].node; }
    bool Visible(size_t position) const { return visible[position] != 0; }

  private:
    struct Entry {
        const VNode* parent;
        VNode* node;
    };
    static void sortByParent(std::vector<Entry>& entries);

    const VCollection& collection;
    // Grouped by parent, list order within a group; shared while the structure is frozen.
    std::shared_ptr<const std::vector<Entry>> index;
    std::vector<char> visible;
};

// The rules for one node as the filters have them, given whether it is active.
bool ItemPassesFilters(const VCollection& collection, const VNode* item, bool active);
bool EmptyFolderShown(const VCollection& collection, const VNode* folder, bool active);
bool IsFolder(const VNode* node);
