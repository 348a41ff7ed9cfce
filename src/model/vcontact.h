// VContact: a person that actions are assigned to and that items can be filtered by.
#pragma once

#include "model/vnode.h"

class VContact : public VNode {
  public:
    enum : std::uint32_t { EXTERNAL = 0x1 };

    explicit VContact(VCollection* collection);

    const char* TypeName() const override { return "contact"; }
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&firstName, &lastName});
    }
    bool Edit() override { return RunEditor(); }
    // Its row may carry CAN_WAIT, but the waiting commands leave contacts alone.
    ItemDialog Dialog() const override { return ItemDialog::Contact; }
    void Describe(qstring& out, bool shortForm) const override;
    bool ComesBefore(const VNode* other) const override;
    const VContact* MainContact() const override { return this; }
    void Paint(VCollectionViewer& v) override;

    // 1 when this contact sorts first, -1 when the other does, 0 when equal:
    // by first name, then last name, byte-wise.
    int ContactOrder(const VContact* other) const;

    // How an action lists this contact: initials in the short form, else the first
    // name and, when there is one, the last name.
    void AppendNamePart(qstring& out, bool shortForm) const;

    qstring spareText1;
    qstring firstName;
    qstring lastName;
    qstring spareText2;
    qstring initials;
    qstring email;
    std::uint32_t contactFlags = 0;
};
