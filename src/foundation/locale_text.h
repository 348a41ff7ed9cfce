// The one place where the document's text (Windows-1252 or UTF-8) meets the text of the
// user's terminal and command line, which is in the locale's character set. Under a
// UTF-8 locale texts are converted both ways; under any other (C, Latin-1,
// Windows-1252) the bytes pass unchanged, as they did before.
#pragma once

#include "foundation/text_encoding.h"

#include <string>

class LocaleText {
  public:
    // The character set of the environment's locale (LC_ALL, LC_CTYPE, LANG).
    static LocaleText FromEnvironment();
    explicit LocaleText(bool utf8) : utf8(utf8) {}

    bool IsUtf8() const { return utf8; }
    // A document text as the terminal should print it: its control characters written
    // out (EscapeControls), so that it stays on its line and sends the terminal nothing.
    std::string ToTerminal(const std::string& documentText,
                           TextEncoding document = TextEncoding::Windows1252) const;
    // An argument as typed, as the document spells it. Characters the document can't
    // hold become "?" (and match nothing); bytes that are not UTF-8 are taken as they are.
    std::string FromTerminal(const std::string& typed,
                             TextEncoding document = TextEncoding::Windows1252) const;
    // An argument as typed, as UTF-8 (the text filter's form); bytes that are not UTF-8
    // are read as Windows-1252.
    std::string ToUtf8(const std::string& typed) const;

  private:
    bool utf8;
};
