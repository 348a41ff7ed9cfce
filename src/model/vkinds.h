// The record tags of the document file and the kinds they make.
#pragma once

class QArena;
class VNode;
class VCollection;

// A new node of the kind whose record carries this 4-byte tag, or null for an unknown tag.
// With an arena the node is made there (the collection's loader); delete still ends it.
VNode* MakeNodeForTag(const char tag[4], VCollection* collection, QArena* arena = nullptr);
