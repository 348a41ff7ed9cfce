// The shown chain built exactly as the rules describe it, walking the whole list for
// every folder: slow, plain, and the yardstick for the collection's own MakeView.
#pragma once

#include "model/vcollection.h"

#include <string>
#include <vector>

bool ReferenceIsVisible(const VCollection& collection, const VNode* node);
bool ReferenceFolderVisible(const VCollection& collection, const VNode* folder);
void ReferenceMakeView(VCollection& collection, VNode* folder);

// What a chain holds, for comparing two builds: every node with its level and sibling
// index, and the date range of every folder on the chain.
struct ChainEntry {
    const VNode* node;
    int level;
    int siblingIndex;
    std::string firstStart, lastEnd;
    bool operator==(const ChainEntry&) const = default;
};
std::vector<ChainEntry> ChainOf(const VNode* folder);
