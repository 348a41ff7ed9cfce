#include "model/vreference.h"

#include "foundation/qfile.h"
#include "foundation/qshell.h"
#include "model/vcollection.h"
#include "model/vdates.h"
#include "platform/ui.h"

#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace {

// Why a location's address is not opened, or null when it may be: a web page, a mail
// address, or a file or folder of this machine by its full path. A document may come
// from anyone, and the system's handler would run a script ("javascript:"), show a
// file through the browser ("file:") or read a leading "-" as an option of its own.
const char* refusalOf(const char* address) {
    static const char* const NOT_A_LOCATION = ": a location opens a web page (http, https), a "
                                              "mail address (mailto) or a file or folder by its "
                                              "full path.";
    for (const char* p = address; *p; ++p)
        if ((unsigned char)*p < 0x20 || *p == 0x7F) return NOT_A_LOCATION;
    for (const char* scheme : {"http://", "https://", "mailto:"}) {
        size_t length = std::strlen(scheme);
        if (strncasecmp(address, scheme, length) == 0)
            return address[length] ? nullptr : NOT_A_LOCATION;
    }
    if (address[0] != '/') return NOT_A_LOCATION;
    struct stat info {};
    return stat(address, &info) == 0 ? nullptr : ": there is no such file or folder.";
}

} // namespace

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
    const char* refusal = refusalOf(address);
    if (refusal || !QShellOpen(address)) {
        qstring text("Can't open url (");
        text += address;
        text += ")";
        if (refusal) text += refusal;
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
