// Stable identities of exported items: a random UUID given once and kept in the
// node's extension record.
#pragma once

#include <string>

class VCollection;
class VNode;

// A new random (version 4) UUID in its 36-character text form.
std::string NewUuid();
// The node's UID; a node without one gets a new one, and `assigned` is set then.
std::string ItemUid(VCollection& collection, const VNode* node, bool& assigned);
