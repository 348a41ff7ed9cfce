// The reference kinds: agreements, facts, file locations (from older documents)
// and locations (a web page, file or folder that the program can open).
#pragma once

#include "model/vnode.h"

class VAgreement : public VNode {
  public:
    explicit VAgreement(VCollection* collection);
    // TypeName stays the base's "node".
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&agreement});
    }
    bool Edit() override { return RunEditor(); }
    ItemDialog Dialog() const override { return ItemDialog::Agreement; }
    void Describe(qstring& out, bool shortForm) const override;
    void Paint(VCollectionViewer& v) override;

    qstring agreement;
    qstring withWho;
    qstring agreedOn; // "%Y-%m-%d"
};

class VFact : public VNode {
  public:
    explicit VFact(VCollection* collection);
    const char* TypeName() const override { return "fact"; }
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&name, &description});
    }
    bool Edit() override { return RunEditor(); }
    ItemDialog Dialog() const override { return ItemDialog::Fact; }
    void Describe(qstring& out, bool shortForm) const override;
    void Paint(VCollectionViewer& v) override;

    qstring description;
};

// Made only by documents holding "FILE" records; it has no dialog.
class VFile : public VNode {
  public:
    explicit VFile(VCollection* collection);
    // TypeName stays the base's "node".
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&name, &location});
    }

    qstring location;
};

class VURL : public VNode {
  public:
    static constexpr const char* DEFAULT_URL = "https://vantry.app/";

    explicit VURL(VCollection* collection);
    const char* TypeName() const override { return "url"; }
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&description, &url});
    }
    bool Open() override;
    bool Edit() override { return RunEditor(); }
    ItemDialog Dialog() const override { return ItemDialog::Location; }
    void Describe(qstring& out, bool shortForm) const override;
    void Paint(VCollectionViewer& v) override;

    qstring url;
    qstring description;
};
