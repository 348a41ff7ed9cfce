#include "wx/ui_thread_document.h"

#include <wx/app.h>
#include <wx/thread.h>

namespace {

// One request's work as queued: done once it ran, abandoned when the worker stopped waiting.
struct Pending {
    bool done = false;
    bool abandoned = false;
};

} // namespace

UiThreadDocument::UiThreadDocument(std::function<VCollectionViewer*()> getViewer,
                                   std::function<std::uint64_t()> getChanges)
    : state(std::make_shared<State>()), viewer(std::move(getViewer)),
      changes(std::move(getChanges)) {}

std::uint64_t UiThreadDocument::ChangeSequence() {
    return changes ? changes() : ++unknownChanges;
}

UiThreadDocument::~UiThreadDocument() {
    Close();
}

void UiThreadDocument::Close() {
    {
        std::lock_guard<std::mutex> hold(state->lock);
        state->closed = true;
    }
    state->done.notify_all();
}

bool UiThreadDocument::Run(const std::function<void(VCollectionViewer& viewer)>& work) {
    if (wxIsMainThread()) {
        if (state->closed) return false;
        if (VCollectionViewer* v = viewer()) work(*v);
        return true;
    }
    std::unique_lock<std::mutex> hold(state->lock);
    if (state->closed || !wxTheApp) return false;
    auto pending = std::make_shared<Pending>();
    // The queued call reaches work only while this worker still waits for it (neither
    // abandoned nor closed, both decided under the lock it holds while it runs).
    const auto* queuedWork = &work;
    wxTheApp->CallAfter([shared = state, pending, queuedWork, getViewer = viewer] {
        std::lock_guard<std::mutex> running(shared->lock);
        if (pending->abandoned || shared->closed) return;
        if (VCollectionViewer* v = getViewer()) (*queuedWork)(*v);
        pending->done = true;
        shared->done.notify_all();
    });
    state->done.wait(hold, [&] { return pending->done || state->closed; });
    if (!pending->done) pending->abandoned = true;
    return pending->done;
}
