// UndoRecorder: when the document's changes become steps of the undo history, and under
// which name. Whatever a command changes, however many refreshes it asks for, is one
// step under the command's name; a refresh outside a command is a step of its own.
#pragma once

#include "app/history/undo_history.h"

#include <string>

class VCollection;
class VNode;

class UndoRecorder {
  public:
    const UndoHistory& History() const { return history; }

    // A new or opened collection: no history, no pending name.
    void Reset(VCollection& collection);
    // The name the next change goes by ("Move to 'Work'").
    void NameNextChange(const std::string& name) { nextChangeName = name; }

    // The table runs every command between these (`changedDocument`: the command said it
    // changed nodes or settings); End answers whether a step was recorded.
    void BeginCommand(const std::string& name);
    bool EndCommand(VCollection& collection, bool changedDocument);

    // A refresh sequence ran: records what changed since the last record, unless a
    // command is running (it records at its end); true when something had changed.
    bool RecordRefresh(VCollection& collection);
    // Takes in what changed without making it a step (a folder opened or closed); inside a
    // command it goes with the command's step.
    void Absorb(VCollection& collection);
    // Records anything changed without a refresh as a step of its own, so neither a save
    // nor an undo skips it.
    void RecordPending(VCollection& collection);

    void MarkSaved() { history.MarkSaved(); }
    bool AtSavedState() const { return history.AtSavedState(); }
    // One change back or forward; false when there is nothing to step to.
    bool Step(VCollection& collection, bool back, VNode*& folder, HistoryStep& step);

  private:
    UndoHistory history;
    std::string nextChangeName;
    std::string commandName;
    int commandDepth = 0;
    bool commandRefreshed = false;
};
