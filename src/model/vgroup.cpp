#include "model/vgroup.h"

#include "foundation/qfile.h"

VGroup::VGroup(VCollection* collection)
    : VNode(collection), firstStart("2011-06-29"), lastEnd("2011-06-30") {
    name = "Folder";
    folderKind = true;
}

void VGroup::Load(QFile& file) {
    VNode::Load(file);
    file.Read32(folderType);
    file.Read32(spareValue);
}

void VGroup::Save(QFile& file) {
    long at = BeginRecord(file, "NGRP");
    file.Write32(folderType);
    file.Write32(spareValue);
    EndRecord(file, at);
}
