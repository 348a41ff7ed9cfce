// CLeftView: the folder tree's rules without its window: which folders show and in
// which order, renaming in place, expanding, and moving nodes by drag and drop. The wx
// tree window builds its items from Refill's entries and reports what the user does.
#pragma once

#include "model/vfolderlist.h"

#include <string>
#include <vector>

class ViewDocument;
class VCollection;
class VNode;

class CLeftView {
  public:
    static constexpr int MAX_FOLDERS = MAX_TREE_FOLDERS;

    struct Entry {
        VNode* folder;
        int parent; // index of the parent's entry, -1 for the tree's root
        std::string label;
        int image; // the folder's default item type, 0 to 9
        bool bold; // it holds at least one subfolder
        bool expanded;
    };

    explicit CLeftView(ViewDocument* document);
    ~CLeftView();
    static CLeftView* Current();

    // The folders to show (FolderList) with their labels and pictures.
    std::vector<Entry> Refill();

    // Renaming: the top folder's label never changes; an empty name is refused.
    bool BeginLabelEdit(VNode* folder);
    bool EndLabelEdit(VNode* folder, const std::string& text);
    // Expanding and collapsing is stored with the document (and marks it modified).
    void Expanded(VNode* folder, bool expanded);
    // Moves the dragged node into the target folder; false after telling the user when the
    // target lies inside the node.
    bool Drop(VNode* node, VNode* target);

    ViewDocument* document;
    std::string oldName;
};
