// RemoteDocument: how the remote view reaches the open document. Every request's work on
// the tree runs through Run, never at the same time as any other change to it: under one
// lock (LockedDocument, for the headless server), or on the user-interface thread (the
// window program's own implementation).
#pragma once

#include "foundation/qsync.h"

#include <cstdint>
#include <functional>

class VCollectionViewer;

class RemoteDocument {
  public:
    virtual ~RemoteDocument() = default;
    // Runs the work on the document's viewer, serialised with every change to the
    // document; false when the document is no longer there to run it on.
    virtual bool Run(const std::function<void(VCollectionViewer& viewer)>& work) = 0;
    // Asked inside Run's work: a number that stays the same exactly as long as the
    // document does, so what was made from it (the calendar feed) serves until it moves.
    virtual std::uint64_t ChangeSequence() = 0;
};

// A document that only changes through Run: one lock keeps every piece of work apart. Any
// Run may have changed it, so each one starts a new change sequence, unless the document
// is frozen (VCollection::FreezeStructure, as `vantry --serve` keeps it): then its
// sequence lasts as long as the freeze.
class LockedDocument : public RemoteDocument {
  public:
    explicit LockedDocument(VCollectionViewer& viewer) : viewer(viewer) {}
    bool Run(const std::function<void(VCollectionViewer& viewer)>& work) override;
    std::uint64_t ChangeSequence() override { return sequence; }

  private:
    VCollectionViewer& viewer;
    QMutex lock;
    std::uint64_t sequence = 0;
    bool frozen = false;
    std::uint64_t freeze = 0; // VCollection::Freezes of the freeze the sequence lasts for
};
