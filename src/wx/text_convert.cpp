#include "wx/text_convert.h"

#include "foundation/cp1252.h"
#include "platform/ui.h"

wxString ToWx(const char* bytes) {
    wxString text;
    if (!bytes) return text;
    for (const char* p = bytes; *p; ++p)
        text += wxUniChar((wxUint32)Cp1252ToUnicode((unsigned char)*p));
    return text;
}

wxString MessageToWx(const char* text) {
    wxString utf8 = wxString::FromUTF8(text ? text : "");
    return utf8.empty() && text && *text ? ToWx(text) : utf8;
}

std::string FromWx(const wxString& text, int* lost) {
    std::u32string characters;
    characters.reserve(text.length());
    for (wxUniChar c : text)
        characters += (char32_t)c.GetValue();
    return UnicodeToCp1252(characters, lost);
}

std::string TypedText::Bytes(const wxString& text) {
    int missing = 0;
    std::string bytes = FromWx(text, &missing);
    lost += missing;
    return bytes;
}

TypedText::~TypedText() {
    if (lost > 0)
        ShowMessage("Some of the characters typed cannot be stored in a document; each was "
                    "replaced by \"?\".",
                    "Vantry", MsgButtons::OK, MsgIcon::Warning);
}
