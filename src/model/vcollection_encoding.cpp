// The document's text encoding: its record in the file, and the one-time change of a
// Windows-1252 document to UTF-8 when a text it cannot hold enters it.
#include "foundation/qfile.h"
#include "foundation/qmessage.h"
#include "model/vcollection.h"

void VCollection::readEncodingRecord(QFile& file, const char* path) {
    qstring name;
    file.ReadString(name);
    TextEncoding named = TextEncoding::Windows1252;
    if (TextEncodingNamed(name.Text(), named)) {
        textEncoding = named;
        return;
    }
    qwarn(QLOC("VCollection::Load"),
          "VCollection::Load: unknown text encoding '%s' in '%s'; its texts are read as %s",
          name.Text(), path, TextEncodingName(textEncoding));
}

void VCollection::ConvertTexts(TextEncoding to) {
    if (to == textEncoding) return;
    // Every text a node has is in its record: reading the records back through a
    // converting reader changes them all, whatever the kind. The records name parents
    // and contacts by serial number, which ResolveSerials follows again.
    std::vector<unsigned char> bytes;
    std::vector<VSerialRecord> records;
    WriteSerialRecords(bytes, records);
    std::vector<VNode*> nodes;
    nodes.reserve(records.size());
    std::size_t i = 0;
    for (VNode* node = root->next; node; node = node->next, ++i) {
        const VSerialRecord& r = records[i];
        if (r.length < 8) continue;
        QFile file(bytes.data() + r.offset + 8, (long)r.length - 8);
        file.SetTextConversion(textEncoding, to);
        node->Load(file);
        nodes.push_back(node);
    }
    ResolveSerials(nodes);
    textEncoding = to;
}

void VCollection::MakeRoomFor(std::u32string_view text) {
    if (!CanHold(text, textEncoding)) ConvertTexts(TextEncoding::Utf8);
}

std::string VCollection::EnteredText(std::u32string_view text) {
    MakeRoomFor(text);
    return EncodeText(text, textEncoding);
}

std::string VCollection::EnteredUtf8(std::string_view utf8) {
    return EnteredText(DecodeText(utf8, TextEncoding::Utf8));
}
