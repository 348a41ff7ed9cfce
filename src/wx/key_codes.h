// The wx key code of each named key of the command table's rows.
#pragma once

#include "app/commands/command_keys.h"

#include <wx/defs.h>

inline int WxKeyCode(NamedKey key) {
    switch (key) {
    case NamedKey::F1:
        return WXK_F1;
    case NamedKey::F2:
        return WXK_F2;
    case NamedKey::F5:
        return WXK_F5;
    case NamedKey::F6:
        return WXK_F6;
    case NamedKey::Delete:
        return WXK_DELETE;
    case NamedKey::Insert:
        return WXK_INSERT;
    case NamedKey::Back:
        return WXK_BACK;
    case NamedKey::PageUp:
        return WXK_PAGEUP;
    case NamedKey::PageDown:
        return WXK_PAGEDOWN;
    case NamedKey::Enter:
        return WXK_RETURN;
    case NamedKey::NumpadAdd:
        return WXK_NUMPAD_ADD;
    case NamedKey::NumpadSubtract:
        return WXK_NUMPAD_SUBTRACT;
    case NamedKey::None:
        break;
    }
    return 0;
}
