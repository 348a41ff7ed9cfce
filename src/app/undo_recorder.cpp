#include "app/undo_recorder.h"

void UndoRecorder::Reset(VCollection& collection) {
    history.Reset(collection);
    nextChangeName.clear();
}

void UndoRecorder::BeginCommand(const std::string& name) {
    if (commandDepth++ == 0) {
        commandName = name;
        commandRefreshed = false;
    }
}

bool UndoRecorder::EndCommand(VCollection& collection, bool changedDocument) {
    if (commandDepth == 0 || --commandDepth > 0) return false;
    // A command that changed nodes or settings without asking for a refresh (Preferences)
    // is recorded all the same.
    if (!commandRefreshed && !changedDocument) return false;
    std::string name = nextChangeName.empty() ? commandName : nextChangeName;
    nextChangeName.clear();
    return history.Record(collection, name);
}

bool UndoRecorder::RecordRefresh(VCollection& collection) {
    if (commandDepth > 0) {
        commandRefreshed = true;
        return false;
    }
    bool changed = history.Record(collection, nextChangeName);
    nextChangeName.clear();
    return changed;
}

void UndoRecorder::RecordPending(VCollection& collection) {
    history.Record(collection, nextChangeName);
    nextChangeName.clear();
}

bool UndoRecorder::Step(VCollection& collection, bool back, VNode*& folder, HistoryStep& step) {
    return back ? history.Undo(collection, folder, step) : history.Redo(collection, folder, step);
}

void UndoRecorder::Absorb(VCollection& collection) {
    if (commandDepth == 0) history.Absorb(collection);
}
