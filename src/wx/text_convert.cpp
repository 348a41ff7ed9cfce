#include "wx/text_convert.h"

#include "app/skedradoc.h"
#include "model/vcollection.h"

namespace {

std::u32string characters(const wxString& text) {
    std::u32string out;
    out.reserve(text.length());
    for (wxUniChar c : text)
        out += (char32_t)c.GetValue();
    return out;
}

VCollection* openCollection() {
    CSkedraDoc* document = CSkedraDoc::Current();
    return document ? document->Collection() : nullptr;
}

} // namespace

TextEncoding ShownEncoding() {
    VCollection* collection = openCollection();
    return collection ? collection->textEncoding : TextEncoding::Windows1252;
}

wxString ToWx(const char* bytes, TextEncoding encoding) {
    wxString text;
    if (!bytes) return text;
    std::u32string decoded = DecodeText(bytes, encoding);
    text.reserve(decoded.size());
    for (char32_t c : decoded)
        text += wxUniChar((wxUint32)c);
    return text;
}

std::string ToUtf8(const wxString& text) {
    return EncodeText(characters(text), TextEncoding::Utf8);
}

wxString MessageToWx(const char* text) {
    wxString utf8 = wxString::FromUTF8(text ? text : "");
    return utf8.empty() && text && *text ? ToWx(text, TextEncoding::Windows1252) : utf8;
}

TypedText::TypedText(VCollection* into) : collection(into ? into : openCollection()) {}

void TypedText::MakeRoomFor(const wxString& text) {
    if (collection) collection->MakeRoomFor(characters(text));
}

std::string TypedText::Bytes(const wxString& text, const char* shown) {
    TextEncoding encoding = collection ? collection->textEncoding : TextEncoding::Windows1252;
    if (shown && ToWx(shown, encoding) == text) return shown;
    std::u32string typed = characters(text);
    return collection ? collection->EnteredText(typed) : EncodeText(typed, encoding);
}
