// VGroup: a folder, holding items and other folders through their parent links.
#pragma once

#include "model/vnode.h"

// The folder's default item kind, in the order of the folder dialog's choices.
enum VFolderType : std::int32_t {
    FOLDER_NONE = 0,
    FOLDER_ACTION,
    FOLDER_AGREEMENT,
    FOLDER_CALL,
    FOLDER_CONTACT,
    FOLDER_FACT,
    FOLDER_LOCATION,
    FOLDER_MAIL,
    FOLDER_PAY,
    FOLDER_TODO,
};

class VGroup : public VNode {
  public:
    explicit VGroup(VCollection* collection);

    const char* TypeName() const override { return "group"; }
    void Load(QFile& file) override;
    void Save(QFile& file) override;
    bool Matches(const qstring&) const override { return true; }
    bool Edit() override { return RunEditor(); }
    ItemDialog Dialog() const override { return ItemDialog::Folder; }
    void Paint(VCollectionViewer& v) override;

    std::int32_t folderType = FOLDER_NONE;
    std::int32_t spareValue = 0;
    // Date range of the shown dated child actions, written by the shown chain; not stored.
    qstring firstStart;
    qstring lastEnd;
};
