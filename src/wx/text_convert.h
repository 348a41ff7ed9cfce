// The one crossing between the document's texts (bytes, as the file stores them, in the
// document's encoding: Windows-1252 or UTF-8) and the toolkit's Unicode strings.
#pragma once

#include "foundation/qstring.h"
#include "foundation/text_encoding.h"

#include <string>
#include <wx/string.h>

class VCollection;

// The encoding of the open document's texts: Windows-1252 without a document.
TextEncoding ShownEncoding();

// Document texts as characters. Broken UTF-8 shows as U+FFFD.
wxString ToWx(const char* bytes, TextEncoding encoding);
inline wxString ToWx(const char* bytes) {
    return ToWx(bytes, ShownEncoding());
}
inline wxString ToWx(const qstring& text) {
    return ToWx(text.Text());
}
inline wxString ToWx(const std::string& bytes) {
    return ToWx(bytes.c_str());
}

// A toolkit text as UTF-8 (the text filter, which is no document text).
std::string ToUtf8(const wxString& text);

// A message's text: messages carry file paths (UTF-8, as the system gives them) as well as
// document texts, so a text that is no UTF-8 is read as Windows-1252.
wxString MessageToWx(const char* text);

// Reads what the user typed during one action (a dialog's OK, a rename) as document
// bytes. A character the document cannot hold changes it to UTF-8 first (one step of the
// undo history with the edit, as both happen in the same action), so nothing typed is
// lost.
class TypedText {
  public:
    // The document the texts go into: the open one by default.
    explicit TypedText(VCollection* into = nullptr);
    TypedText(const TypedText&) = delete;
    TypedText& operator=(const TypedText&) = delete;

    // Makes the document able to hold the text before anything is read: a dialog calls
    // it for every field first, so that all fields are read in the same encoding.
    void MakeRoomFor(const wxString& text);
    // The bytes to store. `shown`: the bytes the control was filled with; a text left as
    // it was shown keeps them, so bytes shown as U+FFFD are never replaced.
    std::string Bytes(const wxString& text, const char* shown = nullptr);
    qstring operator()(const wxString& text, const char* shown = nullptr) {
        return qstring(Bytes(text, shown).c_str());
    }

  private:
    VCollection* collection;
};
