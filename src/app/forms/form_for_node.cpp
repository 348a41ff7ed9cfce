#include "app/forms/form_for_node.h"

#include "app/forms/dlg_agreement.h"
#include "app/forms/dlg_commitem.h"
#include "app/forms/dlg_group.h"
#include "app/forms/dlg_reference.h"
#include "app/forms/dlg_resource.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

namespace {

struct KindForm {
    DialogKind kind;
    bool (*isOfKind)(const VNode& node);
    std::unique_ptr<ItemForm> (*make)(VNode& node);
};

template <class Node, class Form> constexpr KindForm entry(DialogKind kind) {
    return {kind, [](const VNode& node) { return dynamic_cast<const Node*>(&node) != nullptr; },
            [](VNode& node) -> std::unique_ptr<ItemForm> {
                return std::make_unique<Form>(static_cast<Node&>(node));
            }};
}

const KindForm FORMS[] = {
    entry<VTodo, CDlgTodo>(DialogKind::Todo),
    entry<VTask, CDlgTaskFull>(DialogKind::Task),
    entry<VAgreement, DlgAgreement>(DialogKind::Agreement),
    entry<VCall, DlgCall>(DialogKind::Call),
    entry<VMail, DlgMail>(DialogKind::Mail),
    entry<VPay, DlgPay>(DialogKind::Pay),
    entry<VContact, CDlgResource>(DialogKind::Contact),
    entry<VFact, DlgFact>(DialogKind::Fact),
    entry<VURL, DlgURL>(DialogKind::URL),
    entry<VGroup, DlgGroup>(DialogKind::Group),
};

const KindForm* entryFor(const VNode& node) {
    for (const KindForm& e : FORMS)
        if (e.isOfKind(node)) return &e;
    return nullptr;
}

} // namespace

DialogKind DialogFor(const VNode& node) {
    const KindForm* e = entryFor(node);
    return e ? e->kind : DialogKind::None;
}

std::unique_ptr<ItemForm> MakeForm(VNode& node) {
    const KindForm* e = entryFor(node);
    return e ? e->make(node) : nullptr;
}
