#include "app/forms/dlg_group.h"

#include "model/vgroup.h"

const std::array<const char*, 10> DlgGroup::TYPE_CAPTIONS = {
    "None specifically",
    "&Action (with dates)",
    "A&greement",
    "P&hone call",
    "&Contact",
    "&Fact",
    "&Location",
    "&Mail",
    "&Pay",
    "&Todo",
};

DlgGroup::DlgGroup(VGroup& source)
    : name(source.name), folderType(source.folderType, (int)TYPE_CAPTIONS.size()), folder(source) {}

void DlgGroup::Store() {
    folder.name = name;
    folder.folderType = folderType.Value();
}
