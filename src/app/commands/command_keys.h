// Keys as data: modifiers as flags, the key as a letter or a named key. The window turns
// them into its own key codes.
#pragma once

enum KeyModifier { KEY_PLAIN = 0, KEY_SHIFT = 1, KEY_CTRL = 2, KEY_ALT = 4 };
enum class NamedKey {
    None,
    F1,
    F2,
    F5,
    F6,
    Delete,
    Insert,
    Back,
    PageUp,
    PageDown,
    Enter,
    NumpadAdd,
    NumpadSubtract
};

struct KeyStroke {
    int modifiers = KEY_PLAIN;
    char letter = 0; // 0 when a named key
    NamedKey key = NamedKey::None;
};
