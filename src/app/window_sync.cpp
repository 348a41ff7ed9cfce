#include "app/window_sync.h"

#include "app/commands/item_changes.h"
#include "app/skedraDoc.h"
#include "model/vcollection.h"
#include "platform/ui.h"
#include "sync/http_client.h"
#include "sync/password_store.h"

#include <charconv>

int SyncMinutes(const VCollection& collection) {
    std::string text = collection.extensions.Field(collection.root, SYNC_MINUTES_FIELD);
    int minutes = 0;
    std::from_chars(text.data(), text.data() + text.size(), minutes);
    return minutes > 0 && minutes <= MAX_SYNC_MINUTES ? minutes : 0;
}

void SetSyncMinutes(VCollection& collection, int minutes) {
    collection.extensions.SetField(collection.root, SYNC_MINUTES_FIELD,
                                   minutes > 0 ? std::to_string(minutes) : "");
}

struct WindowSync::Job {
    bool byUser;
    unsigned generation;
    SyncSnapshot snapshot;
    SyncOptions options;
    std::atomic<bool> cancel{false};
    SyncResult result; // written on the sync's thread, read after its end was handed over
};

namespace {

// The password kept for the account; none needed without a user name.
bool findPassword(const SyncAccount& account, std::string& password, std::string& error) {
    if (account.user.empty()) return true;
    PasswordStore* store = CurrentPasswordStore();
    if (!store) {
        error = "there is no password store";
        return false;
    }
    std::optional<std::string> found = store->Lookup({account.url, account.user}, error);
    if (found) password = *found;
    if (!found && error.empty())
        error = "no password is kept for " + account.user + " (File > Sync > Account... keeps one)";
    return found.has_value();
}

} // namespace

WindowSync::WindowSync(CSkedraDoc& doc, WindowSyncServices given)
    : document(doc), services(std::move(given)), task(services.post, "Sync"),
      generation(doc.DocumentNumber()), lastEnd(services.clock()) {}

WindowSync::~WindowSync() {
    if (current) current->cancel = true;
}

bool WindowSync::sameDocument() {
    if (generation == document.DocumentNumber()) return true;
    generation = document.DocumentNumber();
    lastEnd = services.clock();
    if (current) current->cancel = true;
    pending.reset();
    return false;
}

void WindowSync::Tick() {
    sameDocument();
    if (services.busy()) return;
    if (pending) {
        std::shared_ptr<Job> job = std::move(pending);
        handle(*job);
        return;
    }
    VCollection* collection = document.Collection();
    int minutes = collection ? SyncMinutes(*collection) : 0;
    if (minutes == 0 || Running() || services.clock() - lastEnd < minutes * 60) return;
    if (collection->extensions.Field(collection->root, SyncFields::URL).empty()) return;
    start(false, false);
}

bool WindowSync::SyncNow() {
    sameDocument();
    if (Running()) {
        ShowMessage("A sync is already running.", PROGRAM_CAPTION, MsgButtons::OK,
                    MsgIcon::Information);
        return false;
    }
    VCollection* collection = document.Collection();
    if (!collection || ReadSyncState(*collection).account.Empty()) {
        ShowMessage("This document has no sync account: set one in File > Sync > Account...",
                    PROGRAM_CAPTION, MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    return start(true, false);
}

bool WindowSync::start(bool byUser, bool allowDeletes) {
    auto job = std::make_shared<Job>();
    job->byUser = byUser;
    job->generation = generation;
    job->snapshot = TakeSyncSnapshot(*document.Collection());
    job->options.allowDeletes = allowDeletes;
    job->options.cancel = &job->cancel;
    current = job;
    const std::string& url = job->snapshot.state.account.url;
    services.status("Syncing with " + (UrlHoldsPassword(url) ? "the calendar server" : url) +
                    "...");
    auto exchange = services.exchange;
    bool started = task.Start(
        [job, exchange] {
            std::string error;
            if (findPassword(job->snapshot.state.account, job->options.password, error)) {
                job->result = exchange(job->snapshot, job->options);
            } else {
                job->result.status = SyncResult::Status::Failed;
                job->result.error = error;
            }
        },
        [this, job] { finished(job); });
    if (!started) services.status("The sync could not start a thread.");
    return started;
}

void WindowSync::finished(std::shared_ptr<Job> job) {
    if (!sameDocument() || job->generation != generation) {
        services.status("The sync's result belonged to the document closed meanwhile.");
        return;
    }
    if (services.busy()) {
        pending = std::move(job); // applied by the next tick after the dialog closed
        return;
    }
    handle(*job);
}

void WindowSync::handle(Job& job) {
    const SyncResult& result = job.result;
    lastEnd = services.clock();
    if (result.status == SyncResult::Status::NeedsDeleteConfirmation) {
        std::string question = "This sync would delete " + std::to_string(result.deletesToConfirm) +
                               " items (here and on the server together). Delete them?";
        if (ShowMessage(question.c_str(), PROGRAM_CAPTION, MsgButtons::YesNo, MsgIcon::Question) ==
            MsgAnswer::Yes) {
            start(job.byUser, true); // afresh: the document may have changed meanwhile
            return;
        }
    }
    SyncApplied applied;
    if (result.status == SyncResult::Status::Done) {
        document.BeginCommand("Sync");
        applied = ApplySyncResult(*document.Collection(), job.snapshot, result);
        if (applied.changed) document.ActivityChanged(); // a download may bring a folder
        document.EndCommand(applied.changed);
    }
    std::string report = SyncReport(result, applied);
    for (const std::string& warning : result.warnings)
        report += " Warning: " + warning + ".";
    int minutes = SyncMinutes(*document.Collection());
    if (result.status == SyncResult::Status::Failed && minutes)
        report += " It is tried again in " + std::to_string(minutes) + " minutes.";
    services.status(report);
    // The user is told what went wrong when they asked, and always about conflicts; a
    // periodic failure only shows in the status bar.
    if ((result.status == SyncResult::Status::Failed && job.byUser) ||
        !applied.conflictTexts.empty())
        ShowMessage(report.c_str(), PROGRAM_CAPTION, MsgButtons::OK,
                    applied.conflictTexts.empty() ? MsgIcon::Error : MsgIcon::Warning);
}
