// The one crossing between the document's 8-bit texts (a byte a character, as the file
// stores them) and the toolkit's Unicode strings: Windows-1252 both ways.
#pragma once

#include "foundation/qstring.h"

#include <string>
#include <wx/string.h>

wxString ToWx(const char* bytes);
inline wxString ToWx(const qstring& text) {
    return ToWx(text.Text());
}
inline wxString ToWx(const std::string& bytes) {
    return ToWx(bytes.c_str());
}

// What was typed, as document bytes: a character the code page cannot hold becomes "?"
// (`lost` counts them). Says nothing: a user action reads through TypedText.
std::string FromWx(const wxString& text, int* lost = nullptr);

// A message's text: messages carry file paths (UTF-8, as the system gives them) as well as
// document texts, so a text that is no UTF-8 is read as a document's.
wxString MessageToWx(const char* text);

// Reads what the user typed during one action (a dialog's OK, a rename, a filter).
// A character the document cannot hold becomes "?"; when any did, the user is told once,
// as the reader goes out of scope.
class TypedText {
  public:
    TypedText() = default;
    TypedText(const TypedText&) = delete;
    TypedText& operator=(const TypedText&) = delete;
    ~TypedText();

    std::string Bytes(const wxString& text);
    qstring operator()(const wxString& text) { return qstring(Bytes(text).c_str()); }
    int Lost() const { return lost; }

  private:
    int lost = 0;
};
