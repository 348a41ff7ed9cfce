// Finding a folder by the title the user sees, without building any title: a chain of
// thousands of folders would otherwise cost a title as long as the chain per folder.
#include "model/vcollection.h"
#include "model/vvisibility.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

bool endsPath(const VNode* n) {
    return !n || n->name == "root";
}

// FolderPath joins the names from the outermost down with " / ", but a name only gets
// its separator when something before it in the path has text. NamedAbove answers, per
// node and remembered, whether any node from it up to the end of the path has a name.
class NamedAbove {
  public:
    bool operator()(const VNode* n) {
        std::vector<const VNode*> path;
        bool named = false;
        for (;; n = n->parent) {
            if (endsPath(n)) break;
            if (auto known = memo.find(n); known != memo.end()) {
                named = known->second;
                break;
            }
            path.push_back(n);
            if (n->name.Text()[0]) {
                named = true;
                break;
            }
        }
        // Everything walked up to the answer shares it: below a named node, or below
        // nothing but empty names.
        for (const VNode* p : path)
            memo[p] = named;
        return named;
    }

  private:
    std::unordered_map<const VNode*, bool> memo;
};

// Whether the folder's FolderPath is the wanted text, matched from its end: each step up
// takes a name and its separator off the end, so the walk is never longer than the text.
bool pathIs(const VNode* folder, std::string_view wanted, NamedAbove& namedAbove) {
    size_t end = wanted.size();
    for (const VNode* n = folder; !endsPath(n); n = n->parent) {
        std::string_view name(n->name.Text());
        if (!namedAbove(n->parent)) // the first name of the path: nothing before it
            return end == name.size() && wanted.substr(0, end) == name;
        if (end < name.size() + 3 || wanted.substr(end - name.size(), name.size()) != name ||
            wanted.substr(end - name.size() - 3, 3) != " / ")
            return false;
        end -= name.size() + 3;
    }
    return end == 0;
}

} // namespace

VNode* VCollection::FindFolder(const char* title) const {
    std::string_view wanted(title ? title : "");
    if (wanted.empty()) return nullptr;        // an empty path is titled "All folders"
    bool allFolders = wanted == "All folders"; // the title of an empty path
    NamedAbove namedAbove;
    for (VNode* node = root; node; node = node->next) {
        if (!IsFolder(node)) continue;
        if (pathIs(node, wanted, namedAbove) || (allFolders && pathIs(node, "", namedAbove)))
            return node;
    }
    return nullptr;
}
