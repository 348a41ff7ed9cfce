#include "model/vcontact.h"

#include "foundation/qfile.h"

#include <cstring>

VContact::VContact(VCollection* collection)
    : VNode(collection), firstName("Firstname"), lastName("LastName") {
    tempFlags = (tempFlags | CAN_WAIT) & ~HAS_CHECKBOX;
    icon = ItemIcon::Contact;
}

void VContact::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(spareText1);
    file.ReadString(firstName);
    file.ReadString(lastName);
    file.ReadString(spareText2);
    file.ReadString(initials);
    file.ReadString(email);
    std::int32_t storedFlags = 0;
    file.Read32(storedFlags);
    contactFlags = (std::uint32_t)storedFlags;
}

void VContact::Save(QFile& file) {
    long at = BeginRecord(file, "CONT");
    file.WriteString(spareText1);
    file.WriteString(firstName);
    file.WriteString(lastName);
    file.WriteString(spareText2);
    file.WriteString(initials);
    file.WriteString(email);
    file.Write32((std::int32_t)contactFlags);
    EndRecord(file, at);
}

void VContact::Describe(qstring& out, bool) const {
    out = firstName;
    out += " ";
    out += lastName;
    out += " / ";
    out += initials;
    if (contactFlags & EXTERNAL) out += " [external]";
}

int VContact::ContactOrder(const VContact* other) const {
    int order = CompareText(firstName, other->firstName);
    if (order == 0) order = CompareText(lastName, other->lastName);
    return order < 0 ? 1 : order > 0 ? -1 : 0;
}

bool VContact::ComesBefore(const VNode* other) const {
    if (int byContact = ContactSortOrder(other)) return byContact > 0;
    if (!std::strcmp(other->TypeName(), "contact")) {
        int order = ContactOrder(static_cast<const VContact*>(other));
        if (order != 0) return order > 0;
    }
    return NameBefore(other);
}

void VContact::AppendNamePart(qstring& out, bool shortForm) const {
    if (shortForm) {
        out += initials;
        return;
    }
    out += firstName;
    if (!lastName.IsEmpty()) {
        out += " ";
        out += lastName;
    }
}
