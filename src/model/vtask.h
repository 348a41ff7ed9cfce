// VTask: an action, the one kind with a start date, a duration in days, progress
// and up to ten assigned contacts.
#pragma once

#include "foundation/date.h"
#include "model/vnode.h"

class VTask : public VNode {
  public:
    static constexpr int MAX_ASSIGNEES = 10;

    explicit VTask(VCollection* collection);

    const char* TypeName() const override { return "task"; }
    bool HasContact(const VContact* contact) const override;
    void Load(QFile& file) override;
    void PostLoad() override;
    void Save(QFile& file) override;
    bool Matches(const qstring& upperText) const override;
    bool Edit() override { return RunEditor(); }
    bool CanWait() const override { return true; }
    bool HasDates() const override { return true; }
    ItemDialog Dialog() const override { return ItemDialog::Action; }
    void ShiftDates(int days) override;
    void ChangeDuration(int days) override;
    void Describe(qstring& out, bool shortForm) const override;
    bool ComesBefore(const VNode* other) const override;
    void ForgetContact(const VNode* contact) override;
    const VContact* MainContact() const override { return assignees[0]; }
    void Paint(VCollectionViewer& v) override;
    // Its first day and the day after its last (start + duration); false without a readable
    // start date.
    bool Span(QDate& start, QDate& end) const;
    // Sets OVERDUE (ended before today, not complete) and RUNNING (started, not ended).
    void UpdateMarks(const QDate& today);

    qstring what;
    VContact* assignees[MAX_ASSIGNEES] = {};
    std::int32_t assigneeIds[MAX_ASSIGNEES] = {};
    std::int32_t priority = 1;
    std::int32_t hoursOfWork = 0;
    std::int32_t completion = 0;
    qstring startDate; // "%Y-%m-%d"
    std::int32_t duration = 1;
    std::int32_t reserved = -1;
};
