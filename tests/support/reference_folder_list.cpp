#include "support/reference_folder_list.h"

#include "support/reference_chain.h"

#include <cstring>
#include <utility>

std::vector<VNode*> ReferenceFolderList(const VCollection& c, int maxFolders) {
    std::vector<VNode*> folders;
    for (VNode* node = c.root; node && (int)folders.size() < maxFolders; node = node->next)
        if (!std::strcmp(node->TypeName(), "group") &&
            (node == c.root || ReferenceFolderVisible(c, node)))
            folders.push_back(node);
    for (size_t pass = 0; pass < folders.size(); ++pass) {
        bool exchanged = false;
        for (size_t i = 0; i < folders.size(); ++i)
            for (size_t j = i + 1; j < folders.size(); ++j) {
                VNode* a = folders[i];
                VNode* b = folders[j];
                if (a->IsDescendantOf(b) ||
                    (a->parent == b->parent && CompareText(b->name, a->name) < 0)) {
                    std::swap(folders[i], folders[j]);
                    exchanged = true;
                }
            }
        if (!exchanged) break;
    }
    return folders;
}
