// Which dialog edits a node, and its form built on the node's fields.
#pragma once

#include "app/forms/item_form.h"

#include <memory>

class VNode;

enum class DialogKind { None, Todo, Task, Agreement, Call, Mail, Pay, Contact, Fact, URL, Group };

// None for a kind without a dialog (an old file location).
DialogKind DialogFor(const VNode& node);

// The form of the node's dialog, null when it has none.
std::unique_ptr<ItemForm> MakeForm(VNode& node);
