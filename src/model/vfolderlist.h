// The folders a folder tree shows and their order: the top folder and every folder that
// passes the filters, at most a given number (taken in list order), parents before their
// subfolders and siblings by name. The folder tree of the window and the remote view
// both build on it.
#pragma once

#include <vector>

class VCollection;
class VNode;

struct VFolderEntry {
    VNode* folder;
    int parent;         // index of the parent's entry, -1 when the parent is not in the list
    int depth;          // 0 for the top folder and for folders whose parent is not in the list
    bool hasSubfolders; // it holds at least one folder, shown or not
};

constexpr int MAX_TREE_FOLDERS = 1000;

// Depth first: the top folder, then each subfolder (by name) followed at once by its own
// subfolders, and so on down. Folders whose parent did not make the list
// follow at the top level, each with its own subfolders: those of one parent together
// and by name, the groups in the order their first folder comes in the list. One walk over the list
// plus a sort per group, so a document of 100,000 nodes takes milliseconds.
std::vector<VFolderEntry> FolderList(const VCollection& collection,
                                     int maxFolders = MAX_TREE_FOLDERS);
