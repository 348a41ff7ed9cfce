// RemoteDocument: how the remote view reaches the open document. Every request's work on
// the tree runs through Run, never at the same time as any other change to it: under one
// lock (LockedDocument, for the headless server), or on the user-interface thread (the
// window program's own implementation).
#pragma once

#include "foundation/qsync.h"

#include <functional>

class VCollectionViewer;

class RemoteDocument {
  public:
    virtual ~RemoteDocument() = default;
    // Runs the work on the document's viewer, serialised with every change to the
    // document; false when the document is no longer there to run it on.
    virtual bool Run(const std::function<void(VCollectionViewer& viewer)>& work) = 0;
};

// A document that only changes through Run: one lock keeps every piece of work apart.
class LockedDocument : public RemoteDocument {
  public:
    explicit LockedDocument(VCollectionViewer& viewer) : viewer(viewer) {}
    bool Run(const std::function<void(VCollectionViewer& viewer)>& work) override {
        QMutexLock hold(lock);
        work(viewer);
        return true;
    }

  private:
    VCollectionViewer& viewer;
    QMutex lock;
};
