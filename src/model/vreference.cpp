#include "model/vreference.h"

#include "foundation/qfile.h"
#include "foundation/qshell.h"
#include "model/vcollection.h"
#include "model/vdates.h"
#include "platform/ui.h"

VAgreement::VAgreement(VCollection* collection)
    : VNode(collection), agreement("Agreement"), withWho("<person>") {
    icon = ItemIcon::Agreement;
}

void VAgreement::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(agreement);
    file.ReadString(withWho);
    file.ReadString(agreedOn);
}

void VAgreement::Save(QFile& file) {
    long at = BeginRecord(file, "AGRE");
    file.WriteString(agreement);
    file.WriteString(withWho);
    file.WriteString(agreedOn);
    EndRecord(file, at);
}

void VAgreement::Describe(qstring& out, bool) const {
    out = "With ";
    out += withWho;
    out += ": ";
    out += agreement;
    out += " (on ";
    QDate on;
    if (ParseDate(agreedOn, on)) out += collection->FormatDate(on);
    out += ")";
}

VFact::VFact(VCollection* collection) : VNode(collection), description("<description>") {
    name = "Fact";
}

void VFact::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(description);
}

void VFact::Save(QFile& file) {
    long at = BeginRecord(file, "FACT");
    file.WriteString(description);
    EndRecord(file, at);
}

void VFact::Describe(qstring& out, bool) const {
    out = name;
    out += ": ";
    out += description;
    out.ReplaceAll("\r\n", " ");
    out.ReplaceAll("\n", " "); // texts typed on this platform end their lines with LF alone
    out.ReplaceAll("\t", " ");
}

VFile::VFile(VCollection* collection) : VNode(collection), location("C:\\") {
    name = "File";
}

void VFile::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(location);
}

void VFile::Save(QFile& file) {
    long at = BeginRecord(file, "FILE");
    file.WriteString(location);
    EndRecord(file, at);
}

VURL::VURL(VCollection* collection)
    : VNode(collection), url(DEFAULT_URL), description("<url description>") {
    icon = ItemIcon::Location;
}

void VURL::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(url);
    file.ReadString(description);
}

void VURL::Save(QFile& file) {
    long at = BeginRecord(file, "URL1");
    file.WriteString(url);
    file.WriteString(description);
    EndRecord(file, at);
}

bool VURL::Open() {
    qstring address(url);
    if (!QShellOpen(address)) {
        qstring text("Can't open url (");
        text += address;
        text += ")";
        ShowMessage(text, "Error", MsgButtons::OK, MsgIcon::Error);
    }
    return false;
}

void VURL::Describe(qstring& out, bool) const {
    out = description;
    out += " [";
    out += url;
    out += "]";
}
