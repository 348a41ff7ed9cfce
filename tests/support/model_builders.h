// Small helpers that build nodes and documents for model tests.
#pragma once

#include "model/vcollection.h"

#include <string>

// Adds a node of the given kind under the parent (the root when null) and returns it.
template <class Kind> Kind* AddNode(VCollection& collection, VNode* parent = nullptr) {
    auto* node = new Kind(&collection);
    collection.Add(node, parent ? parent : (VNode*)collection.root);
    return node;
}

// The bytes one node writes as its record.
std::string RecordBytes(VNode& node);

// The bytes the collection writes as its document file.
std::string DocumentBytes(VCollection& collection);

// Loads a document made of these bytes into the collection.
void LoadBytes(VCollection& collection, const std::string& bytes);
