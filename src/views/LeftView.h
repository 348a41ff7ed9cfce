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

// What CLeftView asks of the tree's window: show a folder's item as the selected one,
// and start editing a folder's label in place.
class FolderTreeControl {
  public:
    virtual ~FolderTreeControl() = default;
    virtual void ShowSelected(VNode* folder) = 0;
    virtual void EditLabel(VNode* folder) = 0;
};

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

    // The tree's window; none headless.
    void SetControl(FolderTreeControl* window) { control = window; }

    // The folders to show (FolderList) with their labels and pictures.
    std::vector<Entry> Refill();

    // Selects the folder's item; the folder becomes the item view's current folder.
    void SelectNode(VNode* folder);
    // The user selected the folder's item: the item view shows the folder.
    void SelectionChanged(VNode* folder);
    // Starts editing the folder's label (not the top folder's).
    void StartRename(VNode* folder);

    // The folder the context menu was opened for (or the keys act on), if it is still
    // a folder of the document; none otherwise.
    VNode* ContextFolder() const;

    // Renaming: the top folder's label never changes; an empty name is refused.
    bool BeginLabelEdit(VNode* folder);
    bool EndLabelEdit(VNode* folder, const std::string& text);
    // Expanding and collapsing is stored with the document (and marks it modified).
    void Expanded(VNode* folder, bool expanded);
    // Moves the dragged node into the target folder; false after telling the user when the
    // target lies inside the node.
    bool Drop(VNode* node, VNode* target);
    // A drop of drag data (drag_data.h) on the target folder: false, and nothing moved,
    // unless the text names a node of the open document.
    bool DropData(const std::string& text, VNode* target);

    ViewDocument* document;
    FolderTreeControl* control = nullptr; // the window, when there is one
    VNode* contextFolder = nullptr;
    std::string oldName;
};
