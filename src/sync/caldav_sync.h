// Two-way sync of a document with one CalDAV calendar collection, in three steps so that a
// window can keep the network off its user-interface thread:
//
//   1. TakeSyncSnapshot (UI thread): the iCalendar object of every item of the whole
//      document, with UIDs, and the stored sync state. The document is not changed, not
//      even by UIDs given now; those are written in step 3.
//   2. ExchangeWithServer (any thread): the whole exchange with the server, from the
//      snapshot alone (it never touches the live document). Downloads what changed there
//      (sync-collection REPORT when the server offers a sync token, ETags and
//      calendar-multiget otherwise), uploads what changed here (PUT with If-Match, or
//      If-None-Match: * for new items), deletes there what was deleted here (If-Match).
//      Before it changes anything on the server it counts the deletes the sync would make
//      (both ways); over the limit (SyncDeleteLimit) without allowDeletes it stops there
//      with NeedsDeleteConfirmation, having changed nothing anywhere: ask the user, then
//      take a new snapshot and exchange again with allowDeletes.
//   3. ApplySyncResult (UI thread): writes what came down, the deletes, the conflict copies
//      and the new sync state into the document, as one change (one undo step for the
//      window). An item changed here between steps 1 and 3 is not overwritten: it counts
//      as changed here for the next sync, or as a conflict when the server changed it too.
//
// A failed exchange (unreachable server, 401, 412, 5xx, garbage, a cancel) reports why and
// is not applied: the document stays as it was, byte for byte. Conflicts keep both
// versions: the server's updates the item, this computer's becomes a copy whose text ends
// in " (conflict, this computer)".
#pragma once

#include "sync/sync_state.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class VCollection;

// One item of the document as the snapshot took it.
struct SyncSnapshotItem {
    std::uint32_t serial = 0; // the node's serial number
    std::string uid;
    bool newUid = false;     // given by this snapshot; written to the node in step 3
    std::string ics;         // the item's own VCALENDAR, as uploaded
    std::string fingerprint; // SyncFingerprint of it
};

struct SyncSnapshot {
    SyncState state;
    std::vector<SyncSnapshotItem> items; // every exportable item of the document
};

struct SyncOptions {
    std::string password;      // never stored; empty: none
    bool allowDeletes = false; // delete past the limit without asking
    std::string caFile;        // extra certificate authority (tests); empty: the system's
    long timeoutSeconds = 300; // per request, from connecting to the last byte: a
                               // server may think long over a large calendar
    std::size_t maxResponseBytes = 64u << 20;  // a longer answer fails the sync
    const std::atomic<bool>* cancel = nullptr; // set to stop soon (the sync then fails)
};

// One item that came down from the server.
struct SyncDownload {
    std::string uid, href, etag;
    std::string ics; // the server's calendar object
};

// One item that went up: its new place in the sync state.
struct SyncUpload {
    std::string uid;
    SyncedItem synced;
};

struct SyncResult {
    enum class Status { Done, NeedsDeleteConfirmation, Failed };
    Status status = Status::Failed;
    std::string error; // why it failed: what the server did or what went wrong

    int deletesToConfirm = 0; // NeedsDeleteConfirmation: how many items would go

    // What happened on the server (Done) and what step 3 applies.
    std::vector<SyncUpload> uploaded;
    std::vector<std::string> deletedThere; // UIDs deleted on the server
    std::vector<SyncDownload> downloaded;  // new or changed there
    std::vector<std::string> deletedHere;  // UIDs deleted there, to delete here
    std::vector<std::string> conflicts;    // UIDs changed on both sides (in downloaded)
    // Items new on both sides with the same content (UID here, UID there): what a sync cut
    // short had uploaded already. The item here takes the server's UID.
    std::vector<std::pair<std::string, std::string>> sameItems;
    std::string calendarName; // the collection's display name
    std::string token;        // the new sync token (empty without one)
    // What the user should know even when the sync went well: what the server named
    // outside the calendar and was skipped, what it did not send, a password sent
    // unencrypted. Each once.
    std::vector<std::string> warnings;
};

// What step 3 did, for telling the user.
struct SyncApplied {
    int uploaded = 0, downloaded = 0, deletedThere = 0, deletedHere = 0;
    std::vector<std::string> conflictTexts; // the items kept twice, by their text (UTF-8)
    bool changed = false;                   // the document changed (save it)
};

// A sync may delete this many items (both ways together) without asking: at most 10 and
// at most a tenth of the document's items.
bool SyncDeleteLimitExceeded(int deletes, int documentItems);

SyncSnapshot TakeSyncSnapshot(VCollection& collection);
SyncResult ExchangeWithServer(const SyncSnapshot& snapshot, const SyncOptions& options);
SyncApplied ApplySyncResult(VCollection& collection, const SyncSnapshot& snapshot,
                            const SyncResult& result);

// Checks that the account answers as a calendar collection with this password: empty when
// it does, else what went wrong. `warnings` as SyncResult's.
std::string CheckSyncAccount(const SyncAccount& account, const SyncOptions& options,
                             std::vector<std::string>& warnings);

// One line for the user: "Sync: 3 uploaded, 1 downloaded, 0 deleted on the server, 0
// deleted here." plus the conflicts, or the reason it failed.
std::string SyncReport(const SyncResult& result, const SyncApplied& applied);
// An item's fingerprint: a hash of its export without the time stamp, so that it changes
// when the item does and not otherwise.
std::string SyncFingerprint(const std::string& ics);
