// Finds nodes by their stored number while a document is being loaded. Sound files
// number their nodes 1..n, so numbers go in a plain array; any other number (a damaged
// or foreign file) goes in a hash map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class VNode;

class VNodeIndex {
  public:
    // Later calls for the same number replace earlier ones.
    void Put(std::int32_t id, VNode* node) {
        if (id >= 0 && (size_t)id < dense.size() + DENSE_STEP) {
            if ((size_t)id >= dense.size()) dense.resize((size_t)id + DENSE_STEP, nullptr);
            dense[id] = node;
        } else {
            sparse[id] = node;
        }
    }
    VNode* Find(std::int32_t id) const {
        if (id >= 0 && (size_t)id < dense.size() && dense[id]) return dense[id];
        auto found = sparse.find(id);
        return found == sparse.end() ? nullptr : found->second;
    }
    void Clear() {
        dense.clear();
        dense.shrink_to_fit();
        sparse.clear();
    }

  private:
    static constexpr size_t DENSE_STEP = 4096;
    std::vector<VNode*> dense;
    std::unordered_map<std::int32_t, VNode*> sparse;
};
