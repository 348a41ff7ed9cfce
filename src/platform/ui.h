// User-interface services that the toolkit-free code asks for: message boxes.
// The wx program installs its implementation; tests install a scripted one. Without
// any (the command-line modes) a message goes to standard error and answers OK.
#pragma once

#include <cstdio>

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { OK, Cancel, Yes, No };

class UIServices {
  public:
    virtual ~UIServices() = default;
    virtual MsgAnswer MessageBox(const char* text, const char* caption, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    // A question between two answers named by their buttons, and Cancel: Yes for the
    // first, No for the second. Without names of its own it is a Yes/No/Cancel box.
    virtual MsgAnswer AskBetween(const char* text, const char* caption, const char* /*first*/,
                                 const char* /*second*/) {
        return MessageBox(text, caption, MsgButtons::YesNoCancel, MsgIcon::Question);
    }
};

// The installed services, or null.
inline UIServices*& CurrentUI() {
    static UIServices* ui = nullptr;
    return ui;
}

inline MsgAnswer AskBetween(const char* text, const char* caption, const char* first,
                            const char* second) {
    if (UIServices* ui = CurrentUI()) return ui->AskBetween(text, caption, first, second);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return MsgAnswer::Cancel;
}

inline MsgAnswer ShowMessage(const char* text, const char* caption,
                             MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None) {
    if (UIServices* ui = CurrentUI()) return ui->MessageBox(text, caption, buttons, icon);
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                              : MsgAnswer::OK;
}
