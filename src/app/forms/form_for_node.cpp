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

struct DialogForm {
    ItemDialog dialog;
    std::unique_ptr<ItemForm> (*make)(VNode& node);
};

// The node is of the kind whose dialog it names.
template <class Node, class Form> std::unique_ptr<ItemForm> make(VNode& node) {
    return std::make_unique<Form>(static_cast<Node&>(node));
}

const DialogForm FORMS[] = {
    {ItemDialog::Todo, make<VTodo, CDlgTodo>},
    {ItemDialog::Action, make<VTask, CDlgTaskFull>},
    {ItemDialog::Agreement, make<VAgreement, DlgAgreement>},
    {ItemDialog::Call, make<VCall, DlgCall>},
    {ItemDialog::Mail, make<VMail, DlgMail>},
    {ItemDialog::Pay, make<VPay, DlgPay>},
    {ItemDialog::Contact, make<VContact, CDlgResource>},
    {ItemDialog::Fact, make<VFact, DlgFact>},
    {ItemDialog::Location, make<VURL, DlgURL>},
    {ItemDialog::Folder, make<VGroup, DlgGroup>},
};

} // namespace

std::unique_ptr<ItemForm> MakeForm(VNode& node) {
    for (const DialogForm& entry : FORMS)
        if (entry.dialog == node.Dialog()) return entry.make(node);
    return nullptr;
}
