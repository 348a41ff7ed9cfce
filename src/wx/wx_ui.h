// Message boxes as real wx dialogs.
#pragma once

#include "platform/ui.h"

class WxUIServices : public UIServices {
  public:
    MsgAnswer MessageBox(const char* text, const char* caption, MsgButtons buttons,
                         MsgIcon icon) override;
    MsgAnswer AskBetween(const char* text, const char* caption, const char* first,
                         const char* second) override;
};
