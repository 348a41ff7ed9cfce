// VTodo: a line of text to do, with a priority.
#pragma once

#include "model/vnode.h"

class VTodo : public VNode {
  public:
    explicit VTodo(VCollection* collection);

    const char* TypeName() const override { return "todo"; }
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override {
        return AnyContains(upperText, {&what});
    }
    bool Edit() override { return RunEditor(); }
    bool CanWait() const override { return true; }
    ItemDialog Dialog() const override { return ItemDialog::Todo; }
    void Describe(qstring& out, bool) const override { out = what; }
    bool ComesBefore(const VNode* other) const override;
    void Paint(VCollectionViewer& v) override;

    qstring what;
    qstring extra; // stored and read back, shown nowhere
    std::int32_t priority = 1;
};
