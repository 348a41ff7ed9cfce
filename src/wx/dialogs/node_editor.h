// WxNodeEditor: shows the dialog of a node's kind (and Preferences, and the sync account)
// as a modal window.
#pragma once

#include "platform/editor.h"

class WxNodeEditor : public NodeEditor {
  public:
    bool EditNode(VNode& node) override;
    bool EditPreferences(VCollection& collection) override;
    bool EditSyncAccount(VCollection& collection) override;
};
