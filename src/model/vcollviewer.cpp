#include "model/vcollviewer.h"

#include "foundation/qmessage.h"
#include "model/vcollection.h"

VCollectionViewer::VCollectionViewer(VCollection* owner) : collection(owner), folder(owner->root) {}

void VCollectionViewer::DeselectAll() {
    const QLocation where = QLOC("VCollectionViewer::DeselectAll");
    qtrace(where, "%s\n", "VCollectionViewer::DeselectAll");
    qtrace(where, "coll %p, root %p\n", (void*)collection, (void*)collection->root);
    for (VNode* node = collection->root; node; node = node->next) {
        qtrace(where, "node %p (next %p)\n", (void*)node, (void*)node->next);
        qtrace(where, "flags 0x%x\n", node->tempFlags);
        node->tempFlags &= ~SELECTED;
    }
    qtrace(where, "DeselectAll ret\n");
}
