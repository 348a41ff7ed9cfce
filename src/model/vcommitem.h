// VCommItem: what the things to call, to mail and to pay share: the other party as
// free text, a reason, a detail (phone, address or amount) and a priority.
#pragma once

#include "model/vnode.h"

class VCommItem : public VNode {
  public:
    bool HasContact(const VContact* contact) const override { return contact == contactLink; }
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Edit() override { return RunEditor(); }
    bool CanWait() const override { return true; }
    bool ComesBefore(const VNode* other) const override;
    void Paint(VCollectionViewer& v) override;

    VContact* contactLink = nullptr; // never set: stored as 0, read back and ignored
    qstring who;
    qstring reason;
    qstring detail;
    qstring spareText;
    std::int32_t priority = 1;

  protected:
    VCommItem(VCollection* collection, const char* tag, ItemIcon kindIcon);
    // The to-pay item stores its account between the detail and the spare text.
    virtual void LoadAccount(QFile&) {}
    virtual void SaveAccount(QFile&) {}
    // who, " (", reason, ")" and " @ " detail when there is one.
    void AppendWhoReasonDetail(qstring& out) const;

  private:
    const char* tag;
};

class VCall : public VCommItem {
  public:
    explicit VCall(VCollection* collection);
    const char* TypeName() const override { return "call"; }
    ItemDialog Dialog() const override { return ItemDialog::Call; }
    bool Matches(const qstring& upperText) const override { return AnyContains(upperText, {&who}); }
    void Describe(qstring& out, bool shortForm) const override;
};

class VMail : public VCommItem {
  public:
    explicit VMail(VCollection* collection);
    const char* TypeName() const override { return "mail"; }
    ItemDialog Dialog() const override { return ItemDialog::Mail; }
    bool Matches(const qstring& upperText) const override { return AnyContains(upperText, {&who}); }
    void Describe(qstring& out, bool shortForm) const override;
};

class VPay : public VCommItem {
  public:
    explicit VPay(VCollection* collection);
    const char* TypeName() const override { return "pay"; }
    ItemDialog Dialog() const override { return ItemDialog::Pay; }
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&who, &reason, &detail, &account});
    }
    void Describe(qstring& out, bool shortForm) const override;

    qstring account;

  protected:
    void LoadAccount(QFile& file) override;
    void SaveAccount(QFile& file) override;
};
