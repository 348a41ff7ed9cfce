// WindowSync: the open document's sync with its calendar server while the window runs: by
// the user (Sync now) and every N minutes, one at a time. The snapshot and the apply run
// on the user-interface thread, the exchange (and the password's look-up) on a thread of
// its own. A result waits while a modal dialog is open, since an item dialog holds a node
// the apply may delete. A failure changes nothing, is told and is tried again at the next
// interval; a sync that would delete many items asks first.
#pragma once

#include "foundation/background_task.h"
#include "sync/caldav_sync.h"

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

class CSkedraDoc;
class VCollection;

// How often the document syncs by itself, in minutes (0: only by hand); kept beside its
// account in the top folder's extension record.
constexpr const char* SYNC_MINUTES_FIELD = "sync.minutes";
constexpr int MAX_SYNC_MINUTES = 1440;
int SyncMinutes(const VCollection& collection);
void SetSyncMinutes(VCollection& collection, int minutes);

// What the window gives the sync; tests give their own.
struct WindowSyncServices {
    // Queues a function to run on the user-interface thread (from any thread).
    BackgroundTask::Post post;
    // A modal dialog is open: the document must not change under it now.
    std::function<bool()> busy = [] { return false; };
    // The status bar's line.
    std::function<void(const std::string&)> status = [](const std::string&) {};
    std::function<std::time_t()> clock;
    // The exchange with the server (ExchangeWithServer), on the sync's thread.
    std::function<SyncResult(const SyncSnapshot&, const SyncOptions&)> exchange;
};

class WindowSync {
  public:
    WindowSync(CSkedraDoc& document, WindowSyncServices services);
    ~WindowSync(); // a running exchange is cancelled and waited for; nothing is applied

    // The window's timer: starts the periodic sync when its time has come, and applies
    // a result that waited for a dialog to close. After New or Open, a running sync is
    // cancelled (its result belongs to the old document) and the interval starts afresh.
    void Tick();
    // Sync now: false (after telling why) when there is no account or a sync runs.
    bool SyncNow();
    // From the start of a sync until its result is applied or dropped.
    bool Running() const { return task.Running() || pending != nullptr; }

  private:
    struct Job;
    bool start(bool byUser, bool allowDeletes);
    void finished(std::shared_ptr<Job> job);
    void handle(Job& job);
    bool sameDocument();

    CSkedraDoc& document;
    WindowSyncServices services;
    BackgroundTask task;
    std::shared_ptr<Job> current; // the last one started, cancelled when it no longer counts
    std::shared_ptr<Job> pending; // ended while a dialog was open
    unsigned generation;               // the document's collection the interval runs for
    std::time_t lastEnd = 0;      // the periodic sync waits its interval from here
};
