// UiThreadDocument: the remote view's way into the window program's document. A request's
// work is queued to the user-interface thread and the worker waits for it, so pages are
// built between two events of the main window, never during one.
#pragma once

#include "remoteview/remote_document.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class UiThreadDocument : public RemoteDocument {
  public:
    // viewer answers, on the user-interface thread, the viewer of the open document, and
    // changes its change sequence (without one, every Run is a sequence of its own).
    explicit UiThreadDocument(std::function<VCollectionViewer*()> viewer,
                              std::function<std::uint64_t()> changes = nullptr);
    ~UiThreadDocument() override;

    bool Run(const std::function<void(VCollectionViewer& viewer)>& work) override;
    std::uint64_t ChangeSequence() override;
    // On the user-interface thread: no more work runs; workers still waiting give up.
    // Call before the server is stopped, which waits for its workers.
    void Close();

  private:
    struct State {
        std::mutex lock;
        std::condition_variable done;
        bool closed = false;
    };
    // Shared with the queued calls, which may run after this object is gone.
    std::shared_ptr<State> state;
    std::function<VCollectionViewer*()> viewer;
    std::function<std::uint64_t()> changes;
    std::uint64_t unknownChanges = 0; // on the user-interface thread only
};
