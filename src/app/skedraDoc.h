// CSkedraDoc: the one document: it owns the collection of the open document file and
// joins the parts that act on it: the program's settings, the refresh sequences, the
// undo recording, the ribbon's filters and the Gantt chart's span. The views see it as
// their ViewDocument.
#pragma once

#include "app/document_files.h"
#include "app/gantt_span.h"
#include "app/program_settings.h"
#include "app/refresh_sequences.h"
#include "app/ribbon_filters.h"
#include "app/undo_recorder.h"
#include "views/view_document.h"

#include <memory>
#include <string>

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

    // The windows around the document; none headless.
    void SetHost(DocumentHost* windows) { refresh.SetHost(windows); }
    ItemViewState* View() const { return refresh.View(); }

    ProgramSettings& Settings() { return settings; }
    RibbonFilters& Filters() { return filters; }
    GanttSpan& Span() { return span; }
    const UndoHistory& History() const { return undo.History(); }
    // Counts the documents created or opened, so a part that keeps state for one document
    // (the reminders, a sync under way) sees when another takes its place.
    unsigned DocumentNumber() const { return documentNumber; }
    // Moves with every change of the document that a refresh announces.
    std::uint64_t ChangeSequence() const { return refresh.Changes(); }

    // ViewDocument
    VCollection* Collection() override { return collection.get(); }
    DocumentHost* Host() override { return refresh.Host(); }
    int GetGlobalInt(const char* name, int def) override;
    void SetGlobalInt(const char* name, int value) override;
    void AttachView(ItemViewState* itemView) override { refresh.AttachView(itemView); }
    void DetachView(ItemViewState* itemView) override { refresh.DetachView(itemView); }
    void ItemsChanged() override;
    void ItemEdited(VNode* item) override;
    void ActivityChanged() override;
    void ViewFlagsChanged() override;
    void RefreshContactList() override;
    void FolderExpansionChanged(VNode* folder) override;
    void NameNextChange(const std::string& name) override { undo.NameNextChange(name); }
    void NameNextChangeAs(int command) override;

    // The record of reminders shown changed: kept with the document, but no edit, so no
    // step of the history. A document without unsaved changes writes it to its file at
    // once (`unmodifiedFile`, empty otherwise; never over a file that was damaged), so a
    // restart never shows them again; else it goes with the next save. False when the
    // document is left modified.
    bool RemindersRecorded(const std::string& unmodifiedFile);

    // The command table runs every command between these, so whatever it changes is one
    // step of the undo history under its name (`changedDocument`: the command said it
    // changed nodes or settings).
    void BeginCommand(const std::string& name) { undo.BeginCommand(name); }
    void EndCommand(bool changedDocument);
    // Steps one change back or forward and refreshes the views as the change did, the
    // changed node selected; `folder` (the item view's) moves up out of a folder that
    // goes. False when there is nothing to step to.
    bool StepHistory(bool back, VNode*& folder);

    // The window's clock ticked: once the day changed, everything is redrawn for the new
    // today (the agenda's groups, the heading's date).
    void ClockTicked();

    // New, open and save of document files.
    bool OnNewDocument();
    // False (after telling the user) when the path names no regular file that can be
    // read; the open document stays as it was.
    bool OpenDocument(const char* path);
    // Writes the document so the file holds either its old bytes or all the new ones
    // (VCollection::Save); false (after telling the user) when it could not, or when the
    // user would rather not save over a file that was damaged when it was opened.
    bool SaveDocument(const char* path);

  private:
    void replaceCollection(std::unique_ptr<VCollection> fresh);
    int dateFormat();

    ProgramSettings settings;
    std::unique_ptr<VCollection> collection;
    RefreshSequences refresh;
    UndoRecorder undo;
    RibbonFilters filters{*this, refresh};
    GanttSpan span{settings, refresh};
    DamagedFile damaged;
    unsigned documentNumber = 0;
};
