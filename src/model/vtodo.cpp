#include "model/vtodo.h"

#include "foundation/qfile.h"

#include <cstring>

VTodo::VTodo(VCollection* collection) : VNode(collection) {
    name = "Todo";
    tempFlags |= HAS_CHECKBOX | CAN_WAIT;
}

void VTodo::Load(QFile& file) {
    VNode::Load(file);
    file.ReadString(what);
    file.ReadString(extra);
    file.Read32(priority);
}

void VTodo::Save(QFile& file) {
    long at = BeginRecord(file, "TODO");
    file.WriteString(what);
    file.WriteString(extra);
    file.Write32(priority);
    EndRecord(file, at);
}

bool VTodo::ComesBefore(const VNode* other) const {
    if (!std::strcmp(other->TypeName(), "todo")) {
        auto* todo = static_cast<const VTodo*>(other);
        if (priority != todo->priority) return priority > todo->priority;
        int order = CompareText(what, todo->what);
        if (order != 0) return order < 0;
    }
    return NameBefore(other);
}
