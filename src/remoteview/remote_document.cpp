#include "remoteview/remote_document.h"

#include "model/vcollection.h"
#include "model/vcollviewer.h"

bool LockedDocument::Run(const std::function<void(VCollectionViewer& viewer)>& work) {
    QMutexLock hold(lock);
    const VCollection& c = *viewer.collection;
    bool sameFreeze = frozen && c.StructureFrozen() && c.Freezes() == freeze;
    if (!sameFreeze) {
        ++sequence;
        frozen = c.StructureFrozen();
        freeze = c.Freezes();
    }
    work(viewer);
    return true;
}
