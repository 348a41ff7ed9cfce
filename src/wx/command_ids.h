// wx keeps window and menu ids below 32767, and the program's command numbers lie above
// it (32778 to 32932, the framework's 57600 and up): each command has one wx id.
#pragma once

constexpr int WxIdOf(int command) {
    return command >= 57600 ? 11000 + (command - 57600) : 10000 + (command - 32768);
}

constexpr int CommandOf(int wxId) {
    return wxId >= 11000 ? 57600 + (wxId - 11000) : 32768 + (wxId - 10000);
}

static_assert(CommandOf(WxIdOf(32778)) == 32778 && CommandOf(WxIdOf(57665)) == 57665);
static_assert(WxIdOf(59393) < 0x7fff && WxIdOf(32768) > 5999);
