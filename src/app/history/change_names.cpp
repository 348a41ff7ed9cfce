#include "app/history/change_names.h"

#include "app/history/document_change.h"
#include "model/vcollection.h"

#include <cstdint>

namespace {

std::string (*commandNames)(int) = nullptr;

std::string nameOf(VCollection& c, std::uint32_t serial) {
    for (VNode* n = c.root; n; n = n->next)
        if (n->Serial() == serial) return n == c.root ? "All folders" : n->name.Text();
    return "";
}

} // namespace

void GiveCommandChangeNames(std::string (*names)(int command)) {
    commandNames = names;
}

std::string CommandChangeNameOf(int command) {
    return commandNames ? commandNames(command) : std::string();
}

std::string DescribeChange(const DocumentChange& change, VCollection& collection) {
    if (!change.ChangesNodes()) return "Date format";
    if (!change.added.empty() && change.removed.empty()) return "Add";
    if (!change.removed.empty() && change.added.empty()) return "Delete";
    std::uint32_t target = 0;
    for (size_t i = 0; i < change.before.size(); ++i)
        if (change.before[i].parentSerial != change.after[i].parentSerial) {
            if (target && target != change.after[i].parentSerial) return "Change";
            target = change.after[i].parentSerial;
        }
    if (target && change.added.empty() && change.removed.empty())
        return "Move to '" + nameOf(collection, target) + "'";
    return "Change";
}
