#include "app/skedraDoc.h"

#include "app/document_files.h"
#include "app/history/change_names.h"
#include "foundation/qclock.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "net/qdebug.h"
#include "views/view_state.h"

namespace {
CSkedraDoc* current = nullptr;
}

CSkedraDoc* CSkedraDoc::Current() {
    return current;
}

CSkedraDoc::CSkedraDoc(const char* executablePath)
    : CSkedraDoc(ProgramSettings::PlaceBeside(executablePath)) {}

CSkedraDoc::CSkedraDoc(const SettingsPlace& place) : settings(place) {
    current = this;
    qdbg_setup(settings.File());
    collection = NewCollection(dateFormat());
    undo.Reset(*collection);
    ClockTicked(); // today as the views first show it
}

CSkedraDoc::~CSkedraDoc() {
    if (ItemViewState* view = refresh.View()) view->document = nullptr;
    if (current == this) current = nullptr;
}

int CSkedraDoc::dateFormat() {
    return settings.GetGlobalInt("dateformat", 0);
}

int CSkedraDoc::GetGlobalInt(const char* name, int def) {
    return settings.GetGlobalInt(name, def);
}

void CSkedraDoc::SetGlobalInt(const char* name, int value) {
    settings.SetGlobalInt(name, value);
}

void CSkedraDoc::replaceCollection(std::unique_ptr<VCollection> fresh) {
    collection = std::move(fresh);
    ++documentNumber;
    undo.Reset(*collection);
    if (ItemViewState* view = refresh.View()) filters.CopyViewFlagsToFilters(view->viewFlags);
    refresh.CollectionReplaced(*collection);
}

bool CSkedraDoc::OnNewDocument() {
    replaceCollection(NewCollection(dateFormat()));
    damaged.Forget();
    return true;
}

bool CSkedraDoc::OpenDocument(const char* path) {
    VLoadResult result;
    std::unique_ptr<VCollection> loaded = ReadDocumentFile(path, dateFormat(), &result);
    if (!loaded) return false;
    replaceCollection(std::move(loaded));
    damaged.Opened(path, result);
    return true;
}

bool CSkedraDoc::SaveDocument(const char* path) {
    if (!damaged.MaySaveTo(path) || !collection->Save(path)) return false;
    damaged.Saved(path);
    // Anything changed without a refresh is a step of its own, before the saved state.
    undo.RecordPending(*collection);
    undo.MarkSaved();
    return true;
}

void CSkedraDoc::EndCommand(bool changedDocument) {
    if (undo.EndCommand(*collection, changedDocument)) refresh.SavedState(undo.AtSavedState());
    // What a command changed in the document or the settings (a date format, the zoom)
    // shows at once, whichever view is shown.
    if (changedDocument) refresh.Redraw();
}

void CSkedraDoc::ClockTicked() {
    refresh.Today(LocalDay(QNow()));
}

void CSkedraDoc::NameNextChangeAs(int command) {
    undo.NameNextChange(CommandChangeNameOf(command));
}

bool CSkedraDoc::StepHistory(bool back, VNode*& folder) {
    // Changes that no refresh announced are a step of their own, so undo never skips them.
    undo.RecordPending(*collection);
    HistoryStep step;
    if (!undo.Step(*collection, back, folder, step)) return false;
    if (step.dateFormatChanged) SetGlobalInt("dateformat", collection->dateFormat);
    refresh.HistoryStepped(*collection, step, undo.AtSavedState());
    return true;
}

void CSkedraDoc::ItemsChanged() {
    undo.RecordRefresh(*collection);
    refresh.ItemsChanged(*collection);
}

void CSkedraDoc::ItemEdited(VNode* item) {
    undo.RecordRefresh(*collection);
    refresh.ItemEdited(*collection, item);
}

void CSkedraDoc::ActivityChanged() {
    undo.RecordRefresh(*collection);
    refresh.ActivityChanged(*collection);
}

void CSkedraDoc::RefreshContactList() {
    refresh.ContactList(*collection);
}

void CSkedraDoc::FolderExpansionChanged(VNode*) {
    // Saved with the document, but no edit: no step of the history, and Redo stays.
    undo.Absorb(*collection);
    refresh.MarkModified();
}

bool CSkedraDoc::RemindersRecorded(const std::string& unmodifiedFile) {
    undo.Absorb(*collection);
    if (!unmodifiedFile.empty() && damaged.None() && collection->Save(unmodifiedFile.c_str())) {
        undo.MarkSaved();
        return true;
    }
    refresh.MarkModified();
    return false;
}

void CSkedraDoc::ViewFlagsChanged() {
    if (undo.RecordRefresh(*collection)) refresh.SavedState(undo.AtSavedState());
    ItemViewState* view = refresh.View();
    if (!view) return;
    SetGlobalInt("view_flags", (int)view->viewFlags);
    filters.CopyViewFlagsToFilters(view->viewFlags);
    if (filters.SettingStateFilter()) return; // the state filter refreshes once, at its end
    refresh.Tree();
    refresh.Redraw();
}
