// The form of the dialog that edits a node (the node says which, `VNode::Dialog`).
#pragma once

#include "app/forms/item_form.h"

#include <memory>

class VNode;

// Null for a kind without a dialog (an old file location).
std::unique_ptr<ItemForm> MakeForm(VNode& node);
