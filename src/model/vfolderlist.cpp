#include "model/vfolderlist.h"

#include "model/vcollection.h"
#include "model/vvisibility.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

// The folders below the top that pass the filters, found in one walk down the tree.
std::unordered_set<const VNode*> shownFolders(VVisibility& visibility, const VNode* root) {
    std::unordered_set<const VNode*> shown;
    visibility.Evaluate(root);
    std::vector<const VNode*> stack{root};
    while (!stack.empty()) {
        const VNode* folder = stack.back();
        stack.pop_back();
        VVisibility::Range children = visibility.Children(folder);
        for (size_t i = children.begin; i < children.end; ++i) {
            VNode* child = visibility.Child(i);
            if (!IsFolder(child) || !visibility.Visible(i)) continue;
            // A damaged tree could loop: every folder is looked into once.
            if (shown.insert(child).second) stack.push_back(child);
        }
    }
    return shown;
}

} // namespace

std::vector<VFolderEntry> FolderList(const VCollection& c, int maxFolders) {
    VVisibility visibility(c);
    std::unordered_set<const VNode*> shown = shownFolders(visibility, c.root);

    // The folders to take, in list order, and which folders hold subfolders.
    std::vector<VNode*> taken;
    std::unordered_set<const VNode*> withSubfolders;
    for (VNode* node = c.root; node; node = node->next) {
        if (!IsFolder(node)) continue;
        if (node->parent && node != c.root) withSubfolders.insert(node->parent);
        if ((int)taken.size() >= maxFolders) continue;
        // Folders outside the tree below the top are asked one by one.
        bool show = node == c.root || shown.count(node) ||
                    (!node->parent && visibility.FolderVisible(node));
        if (show) taken.push_back(node);
    }

    // Each taken folder's taken subfolders, by name (list order on equal names).
    std::unordered_map<const VNode*, std::vector<VNode*>> children;
    std::unordered_set<const VNode*> takenSet(taken.begin(), taken.end());
    // Folders whose parent is not listed stand at the top after the root, siblings
    // together (in the order their first one comes in the list) and by name.
    std::vector<VNode*> tops;
    std::unordered_map<const VNode*, std::vector<VNode*>> orphans;
    std::vector<const VNode*> orphanParents;
    for (VNode* folder : taken) {
        if (folder == c.root) {
            tops.push_back(folder);
        } else if (folder->parent && takenSet.count(folder->parent)) {
            children[folder->parent].push_back(folder);
        } else {
            auto& group = orphans[folder->parent];
            if (group.empty()) orphanParents.push_back(folder->parent);
            group.push_back(folder);
        }
    }
    auto byName = [](const VNode* a, const VNode* b) {
        return a->CompareText(a->name, b->name) < 0;
    };
    for (auto& [parent, group] : children)
        std::stable_sort(group.begin(), group.end(), byName);
    for (const VNode* parent : orphanParents) {
        std::vector<VNode*>& group = orphans[parent];
        std::stable_sort(group.begin(), group.end(), byName);
        tops.insert(tops.end(), group.begin(), group.end());
    }

    std::vector<VFolderEntry> entries;
    entries.reserve(taken.size());
    auto add = [&](VNode* folder, int parent) {
        int depth = parent < 0 ? 0 : entries[parent].depth + 1;
        entries.push_back({folder, parent, depth, withSubfolders.count(folder) > 0});
    };
    // Depth first below each top, as the tree shows them: each folder right after its
    // parent, the subfolders of one parent by name.
    std::vector<std::pair<VNode*, int>> pending; // folder, its parent's entry
    for (VNode* top : tops) {
        pending.push_back({top, -1});
        while (!pending.empty()) {
            auto [folder, parent] = pending.back();
            pending.pop_back();
            int index = (int)entries.size();
            add(folder, parent);
            auto group = children.find(folder);
            if (group == children.end()) continue;
            for (auto child = group->second.rbegin(); child != group->second.rend(); ++child)
                pending.push_back({*child, index});
        }
    }
    return entries;
}
