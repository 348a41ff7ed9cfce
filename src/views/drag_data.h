// What a drag carries between the item view and the folder tree: the dragged node's
// serial number as 8 hexadecimal digits of plain text. A drop accepts it only when it
// names a node of the open document, so text from other programs moves nothing.
#pragma once

#include <string>

class VCollection;
class VNode;

std::string DragDataOf(const VNode& node);

// The node of the collection that the text names, or null.
VNode* NodeOfDragData(const VCollection& collection, const std::string& text);
