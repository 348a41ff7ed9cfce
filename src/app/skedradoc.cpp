#include "app/skedradoc.h"

#include "app/commands/command_table.h"
#include "foundation/qfile.h"
#include "foundation/qmessage.h"
#include "foundation/qregularfile.h"
#include "foundation/qtempfile.h"
#include "model/vcontact.h"
#include "model/vvisibility.h"
#include "net/qdebug.h"
#include "platform/document_host.h"
#include "platform/ui.h"
#include "views/viewflags.h"
#include "views/viewstate.h"

#include <cstdio>
#include <vector>

namespace {
CSkedraDoc* current = nullptr;
}

CSkedraDoc* CSkedraDoc::Current() {
    return current;
}

qstring CSkedraDoc::SettingsPathFor(const char* executablePath) {
    qstring path(executablePath);
    path.CutFile();
    path += "/vantry.ini";
    return path;
}

CSkedraDoc::CSkedraDoc(const char* executablePath)
    : CSkedraDoc(SettingsPlace{"", SettingsPathFor(executablePath).Text(), true, ""}) {}

CSkedraDoc::CSkedraDoc(const SettingsPlace& place) {
    current = this;
    settingsPath = place.file.c_str();
    qtrace(QLOC("CSkedraDoc::CSkedraDoc"), "iniPath %s\n", settingsPath.Text());
    settings = std::make_unique<QInfo>(settingsPath, place.writable ? 0 : QInfo::READ_ONLY);
    qdbg_setup(*settings);
    collection = makeCollection();
    history.Reset(*collection);
}

CSkedraDoc::~CSkedraDoc() {
    if (view) view->document = nullptr;
    settings.reset();
    delete collection;
    if (current == this) current = nullptr;
}

VCollection* CSkedraDoc::makeCollection() const {
    auto* fresh = new VCollection();
    fresh->dateFormat = settings->GetInt("global.dateformat", 0);
    return fresh;
}

void CSkedraDoc::replaceCollection(VCollection* fresh) {
    delete collection;
    collection = fresh;
    history.Reset(*collection);
    nextChangeName.clear();
    if (view) {
        CopyViewFlagsToFilters(view->viewFlags);
        view->CollectionChanged(collection);
    }
    RefreshContactList();
    if (host) {
        host->RefillTree();
        host->UpdateAllViews();
    }
}

std::string CSkedraDoc::globalKey(const char* name) {
    return std::string("global.") + name;
}

bool CSkedraDoc::GetGlobalString(const char* name, qstring& out, const char* def) {
    return settings->GetString(globalKey(name).c_str(), out, def);
}

int CSkedraDoc::GetGlobalInt(const char* name, int def) {
    return settings->GetInt(globalKey(name).c_str(), def);
}

void CSkedraDoc::SetGlobalString(const char* name, const char* value) {
    settings->SetString(globalKey(name).c_str(), value);
}

void CSkedraDoc::SetGlobalInt(const char* name, int value) {
    settings->SetInt(globalKey(name).c_str(), value);
}

bool CSkedraDoc::OnNewDocument() {
    replaceCollection(makeCollection());
    return true;
}

void CSkedraDoc::ReportUnreadable(const char* path) {
    qstring text("Can't open file (");
    text += path;
    text += ").";
    ShowMessage(text, "Error", MsgButtons::OK, MsgIcon::Error);
}

bool CSkedraDoc::OpenDocument(const char* path) {
    // Only a regular file is read, and it is checked before the first byte is.
    std::string bytes;
    if (!QReadRegularFile(path, bytes)) {
        ReportUnreadable(path);
        return false;
    }
    // The collection reads a copy, so the document file is open only for a moment; the
    // copy goes as soon as the collection holds what it read.
    qstring temporary = QTempFileName();
    bool copied = QFileWrite(temporary, bytes.data(), (long)bytes.size());
    VCollection* loaded = makeCollection();
    loaded->Load(copied ? temporary.Text() : path);
    std::remove(temporary);
    loaded->fileName = path;
    replaceCollection(loaded);
    return true;
}

bool CSkedraDoc::SaveDocument(const char* path) {
    if (!collection->Save(path)) return false;
    // Anything changed without a refresh is a step of its own, before the saved state.
    history.Record(*collection, nextChangeName);
    nextChangeName.clear();
    history.MarkSaved();
    return true;
}

void CSkedraDoc::CopyViewFlagsToFilters(std::uint32_t viewFlags) {
    collection->filterFlags = FilterFlagsFor(viewFlags, collection->filterFlags);
}

void CSkedraDoc::refreshViews() {
    if (view) view->needsRebuild = true;
    if (host) host->UpdateAllViews();
}

void CSkedraDoc::setModified() {
    if (view) view->DocumentChanged();
    if (host) host->SetModified(true);
}

void CSkedraDoc::DetachView(ItemViewState* itemView) {
    if (view == itemView) view = nullptr;
}

bool CSkedraDoc::recordChange() {
    if (commandDepth > 0) {
        commandRefreshed = true;
        return false;
    }
    bool changed = history.Record(*collection, nextChangeName);
    nextChangeName.clear();
    return changed;
}

void CSkedraDoc::NameNextChange(const std::string& name) {
    nextChangeName = name;
}

void CSkedraDoc::BeginCommand(const std::string& name) {
    if (commandDepth++ == 0) {
        commandName = name;
        commandRefreshed = false;
    }
}

void CSkedraDoc::EndCommand(unsigned changed) {
    if (commandDepth == 0 || --commandDepth > 0) return;
    // A command that changed nodes or settings without asking for a refresh (Preferences)
    // is recorded all the same.
    if (!commandRefreshed && !(changed & (CHANGED_ITEMS | CHANGED_SETTINGS))) return;
    std::string name = nextChangeName.empty() ? commandName : nextChangeName;
    nextChangeName.clear();
    if (history.Record(*collection, name)) showSavedState();
}

void CSkedraDoc::showSavedState() {
    if (!history.AtSavedState()) {
        setModified();
        return;
    }
    if (view) view->DocumentChanged();
    if (host) host->SetModified(false);
}

void CSkedraDoc::FolderExpansionChanged(VNode*) {
    recordChange();
    setModified();
}

bool CSkedraDoc::StepHistory(bool back, VNode*& folder) {
    // Changes that no refresh announced are a step of their own, so undo never skips them.
    history.Record(*collection, nextChangeName);
    nextChangeName.clear();
    HistoryStep step;
    if (!(back ? history.Undo(*collection, folder, step) : history.Redo(*collection, folder, step)))
        return false;
    if (step.dateFormatChanged) SetGlobalInt("dateformat", collection->dateFormat);
    if (step.subject) {
        for (VNode* node = collection->root; node; node = node->next)
            node->tempFlags &= ~SELECTED;
        step.subject->Select();
    }
    if (view) view->needsRebuild = true;
    if (host && step.foldersChanged) host->RefillTree();
    RefreshContactList();
    showSavedState();
    if (host) host->UpdateAllViews();
    return true;
}

void CSkedraDoc::ItemsChanged() {
    recordChange();
    refreshViews();
    setModified();
    RefreshContactList();
}

void CSkedraDoc::ItemEdited(VNode* item) {
    recordChange();
    if (item && IsFolder(item) && host) host->RefillTree();
    RefreshContactList();
    setModified();
    if (host) host->UpdateAllViews();
}

void CSkedraDoc::ActivityChanged() {
    if (host) host->RefillTree();
    ItemsChanged();
}

void CSkedraDoc::ViewFlagsChanged() {
    if (recordChange()) showSavedState();
    if (!view) return;
    SetGlobalInt("view_flags", (int)view->viewFlags);
    CopyViewFlagsToFilters(view->viewFlags);
    if (settingStateFilter) return; // the state filter refreshes once, at its end
    if (host) host->RefillTree();
    refreshViews();
}

void CSkedraDoc::setViewBit(std::uint32_t bit, bool on) {
    if (!view) return;
    if (on)
        view->SetViewFlags(bit);
    else
        view->ClearViewFlags(bit);
}

void CSkedraDoc::OnStateFilter(int index) {
    const std::uint32_t* set;
    int count;
    if (!StateFilterSetBits(index, &set, &count)) {
        ShowMessage("Unknown filter", "Error", MsgButtons::OK, MsgIcon::Error);
        return;
    }
    const std::uint32_t* cleared;
    int clearedCount = StateFilterClearedBits(&cleared);
    // Every bit is a change of its own (stored, copied to the filters), but the steps in
    // between are never seen: the tree and the views follow once, not per bit, since on a
    // large document each refill walks all of it.
    settingStateFilter = true;
    for (int i = 0; i < clearedCount; ++i)
        setViewBit(cleared[i], false);
    for (int i = 0; i < count; ++i)
        setViewBit(set[i], true);
    settingStateFilter = false;
    if (host) host->RefillTree();
    refreshViews();
}

void CSkedraDoc::OnTextFilter(const char* text) {
    qstring upper(text);
    upper.ToUpper();
    collection->filterText = upper;
    if (view) view->needsRebuild = true;
    if (host) host->RefillTree();
    if (host) host->UpdateAllViews();
}

void CSkedraDoc::OnClearFilter() {
    OnTextFilter("");
}

void CSkedraDoc::RefreshContactList() {
    if (!host) return;
    int remembered = host->ContactListSelection();
    std::vector<VContact*> contacts(MAX_CONTACTS);
    int count = collection->Contacts(contacts.data(), MAX_CONTACTS);
    std::vector<std::string> entries{"<all contacts>"};
    for (int i = 0; i < count; ++i)
        entries.push_back(std::string(contacts[i]->firstName.Text()) + " " +
                          contacts[i]->lastName.Text());
    host->SetContactList(entries, remembered >= 0 && remembered <= count ? remembered : 0);
}

void CSkedraDoc::OnContactFilter(int index) {
    if (index <= 0) {
        collection->contactFilter = nullptr;
    } else {
        std::vector<VContact*> contacts(MAX_CONTACTS);
        int count = collection->Contacts(contacts.data(), MAX_CONTACTS);
        if (index > count) {
            ShowMessage("Bug in OnContactFilterLBox(); n out of range", "Error", MsgButtons::OK,
                        MsgIcon::Error);
            return;
        }
        collection->contactFilter = contacts[index - 1];
    }
    refreshViews();
    if (host) host->RefillTree();
}

void CSkedraDoc::OnSort(int index) {
    collection->sortMode = index;
    if (host) host->RefillTree();
    refreshViews(); // the rows take the new order at once, not at the next folder change
}

void CSkedraDoc::ShowMoreWeeks() {
    if (!view) return;
    view->ganttDaysInView += 7;
    settings->SetInt("global.gantt.days_in_view", view->ganttDaysInView);
    setModified();
    refreshViews();
}

void CSkedraDoc::ShowLessWeeks() {
    if (!view) return;
    view->ganttDaysInView -= 7;
    if (view->ganttDaysInView < 7) view->ganttDaysInView = 7;
    settings->SetInt("global.gantt.days_in_view", view->ganttDaysInView);
    setModified();
    refreshViews();
}
