#include "model/vcommitem.h"

#include "foundation/qfile.h"

#include <cstring>

VCommItem::VCommItem(VCollection* collection, const char* recordTag, ItemIcon kindIcon)
    : VNode(collection), tag(recordTag) {
    tempFlags |= HAS_CHECKBOX | CAN_WAIT;
    icon = kindIcon;
}

void VCommItem::Load(QFile& file) {
    VNode::Load(file);
    std::int32_t ignoredLink;
    file.Read32(ignoredLink);
    file.ReadString(who);
    file.ReadString(reason);
    file.ReadString(detail);
    LoadAccount(file);
    file.ReadString(spareText);
    file.Read32(priority);
}

void VCommItem::Save(QFile& file) {
    long at = BeginRecord(file, tag);
    file.Write32(0);
    file.WriteString(who);
    file.WriteString(reason);
    file.WriteString(detail);
    SaveAccount(file);
    file.WriteString(spareText);
    file.Write32(priority);
    EndRecord(file, at);
}

bool VCommItem::ComesBefore(const VNode* other) const {
    if (!std::strcmp(other->TypeName(), TypeName())) {
        auto* item = static_cast<const VCommItem*>(other);
        if (priority != item->priority) return priority > item->priority;
        int order = CompareText(who, item->who);
        if (order != 0) return order < 0;
    }
    return NameBefore(other);
}

VCall::VCall(VCollection* collection) : VCommItem(collection, "CALL", ItemIcon::Call) {
    who = "Call";
}

void VCommItem::AppendWhoReasonDetail(qstring& out) const {
    out += who;
    out += " (";
    out += reason;
    out += ")";
    if (!detail.IsEmpty()) {
        out += " @ ";
        out += detail;
    }
}

void VCall::Describe(qstring& out, bool) const {
    out = "Call ";
    AppendWhoReasonDetail(out);
}

VMail::VMail(VCollection* collection) : VCommItem(collection, "MAIL", ItemIcon::Mail) {
    who = "Mail";
}

void VMail::Describe(qstring& out, bool) const {
    out = "";
    AppendWhoReasonDetail(out);
}

VPay::VPay(VCollection* collection) : VCommItem(collection, "PAY1", ItemIcon::Pay) {
    who = "<name>";
    reason = "<reason>";
    detail = "$0";
}

void VPay::LoadAccount(QFile& file) {
    file.ReadString(account);
}

void VPay::SaveAccount(QFile& file) {
    file.WriteString(account);
}

void VPay::Describe(qstring& out, bool) const {
    out = who;
    out += " (";
    out += detail;
    if (!account.IsEmpty()) {
        out += " acct ";
        out += account;
    }
    out += ") - ";
    out += reason;
}
