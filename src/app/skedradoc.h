// CSkedraDoc: the one document: the settings file, the collection
// of the open document file, and the handlers of the ribbon's filter controls.
#pragma once

#include "app/history/undo_history.h"
#include "app/settings_place.h"
#include "foundation/qinfo.h"
#include "foundation/qstring.h"
#include "model/vcollection.h"
#include "views/view_document.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSkedraDoc : public ViewDocument {
  public:
    // executablePath: the running program; the settings file is "vantry.ini" beside it.
    explicit CSkedraDoc(const char* executablePath);
    // The settings file of the place; one that must not be written is only read.
    explicit CSkedraDoc(const SettingsPlace& place);
    ~CSkedraDoc() override; // the settings file is written when something in it changed
    CSkedraDoc(const CSkedraDoc&) = delete;
    CSkedraDoc& operator=(const CSkedraDoc&) = delete;

    static CSkedraDoc* Current();

    // The settings file for a program at this path.
    static qstring SettingsPathFor(const char* executablePath);

    bool GetGlobalString(const char* name, qstring& out, const char* def = nullptr);
    int GetGlobalInt(const char* name, int def) override;
    void SetGlobalString(const char* name, const char* value);
    void SetGlobalInt(const char* name, int value) override;

    // ViewDocument
    VCollection* Collection() override { return collection; }
    DocumentHost* Host() override { return host; }
    void AttachView(ItemViewState* itemView) override { view = itemView; }
    void DetachView(ItemViewState* itemView) override;
    void ItemsChanged() override;
    void ItemEdited(VNode* item) override;
    void ActivityChanged() override;
    void ViewFlagsChanged() override;
    void RefreshContactList() override;
    void FolderExpansionChanged(VNode* folder) override;
    void NameNextChange(const std::string& name) override;

    // The undo history. Whatever a command changes, however many refreshes it asks for,
    // is one step under the command's name: the table runs every command between
    // BeginCommand and EndCommand (`changed`: what the command said it changed, its
    // CommandChange bits).
    const UndoHistory& History() const { return history; }
    void BeginCommand(const std::string& name);
    void EndCommand(unsigned changed);
    // Steps one change back or forward and refreshes the views as the change did, the
    // changed node selected; `folder` (the item view's) moves up out of a folder that
    // goes. False when there is nothing to step to.
    bool StepHistory(bool back, VNode*& folder);

    // New, open and save of document files.
    bool OnNewDocument();
    // False (after telling the user) when the path names no regular file that can be
    // read (a directory, a FIFO or a device is refused before any read); the open
    // document stays as it was.
    bool OpenDocument(const char* path);
    // Says "Can't open file (...)." to the user.
    static void ReportUnreadable(const char* path);
    // Writes the document so the file holds either its old bytes or all the new ones
    // (VCollection::Save); false (after telling the user) when it could not.
    bool SaveDocument(const char* path);

    // Filters of the ribbon.
    void OnStateFilter(int index);
    void OnTextFilter(const char* text);
    void OnClearFilter();
    void OnContactFilter(int index);
    void OnSort(int index);
    void ShowMoreWeeks();
    void ShowLessWeeks();

    void CopyViewFlagsToFilters(std::uint32_t viewFlags);

    QInfo& Settings() { return *settings; }
    const qstring& SettingsPath() const { return settingsPath; }
    VCollection* collection = nullptr;
    DocumentHost* host = nullptr;
    ItemViewState* view = nullptr;

    static constexpr int MAX_CONTACTS = 1000;

  private:
    VCollection* makeCollection() const; // empty, in the date format of the settings
    void replaceCollection(VCollection* fresh);
    static std::string globalKey(const char* name);
    void refreshViews();
    void setModified();
    void setViewBit(std::uint32_t bit, bool on);
    // Records what changed since the last record (at the end of a running command);
    // true when something had.
    bool recordChange();
    // The modified mark after a change the history recorded: clear exactly when the
    // nodes are as saved.
    void showSavedState();

    qstring settingsPath;
    std::unique_ptr<QInfo> settings;
    bool settingStateFilter = false; // its bit changes leave the tree and the views alone
    UndoHistory history;
    std::string nextChangeName;
    std::string commandName;
    int commandDepth = 0;
    bool commandRefreshed = false;
};
