// wx keeps window and menu ids below 32767, and the command numbers lie above it (the
// program's, then the framework's): each command has one wx id.
#pragma once

#include "platform/command_ids.h"

constexpr int WX_PROGRAM_IDS = 10000, WX_FRAMEWORK_IDS = 11000;

constexpr int WxIdOf(int command) {
    return command >= FIRST_FRAMEWORK_COMMAND
               ? WX_FRAMEWORK_IDS + (command - FIRST_FRAMEWORK_COMMAND)
               : WX_PROGRAM_IDS + (command - FIRST_PROGRAM_COMMAND);
}

constexpr int CommandOf(int wxId) {
    return wxId >= WX_FRAMEWORK_IDS ? FIRST_FRAMEWORK_COMMAND + (wxId - WX_FRAMEWORK_IDS)
                                    : FIRST_PROGRAM_COMMAND + (wxId - WX_PROGRAM_IDS);
}

static_assert(CommandOf(WxIdOf(CMD_NEXT_WEEK)) == CMD_NEXT_WEEK &&
              CommandOf(WxIdOf(CMD_EXIT)) == CMD_EXIT);
static_assert(WxIdOf(LAST_PROGRAM_COMMAND) < WX_FRAMEWORK_IDS);
static_assert(WxIdOf(LAST_FRAMEWORK_COMMAND) < 0x7fff && WxIdOf(FIRST_PROGRAM_COMMAND) > 5999);
