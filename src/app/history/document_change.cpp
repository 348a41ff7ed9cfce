#include "app/history/document_change.h"

#include "model/vnode.h"

namespace {

NodeImage imageOf(const DocumentMirror& mirror, long index) {
    const VSerialRecord& r = mirror.Records()[(size_t)index];
    NodeImage image;
    image.serial = r.serial;
    image.parentSerial = r.parentSerial;
    image.flags = r.flags;
    image.folder = r.folder;
    image.after = index > 0 ? mirror.Records()[(size_t)index - 1].serial : 0;
    image.record = mirror.RecordBytes(r);
    return image;
}

std::vector<std::uint32_t> orderOf(const DocumentMirror& mirror) {
    std::vector<std::uint32_t> order;
    order.reserve(mirror.Records().size());
    for (const VSerialRecord& r : mirror.Records())
        order.push_back(r.serial);
    return order;
}

} // namespace

bool DocumentChange::TouchesFolders() const {
    for (const auto* images : {&removed, &added})
        for (const NodeImage& n : *images)
            if (n.folder) return true;
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i].folder || before[i].parentSerial != after[i].parentSerial ||
            ((before[i].flags ^ after[i].flags) & INACTIVE))
            return true;
    return !orderBefore.empty();
}

DocumentChange CompareMirrors(const DocumentMirror& was, const DocumentMirror& now) {
    DocumentChange change;
    change.dateFormatBefore = was.DateFormat();
    change.dateFormatAfter = now.DateFormat();
    change.encodingBefore = was.Encoding();
    change.encodingAfter = now.Encoding();
    if (was.TopFields() != now.TopFields()) {
        change.topBefore = was.TopFields();
        change.topAfter = now.TopFields();
    }
    const auto& old = was.Records();
    const auto& fresh = now.Records();
    bool sameNodes = old.size() == fresh.size();
    for (size_t i = 0; sameNodes && i < old.size(); ++i)
        sameNodes = old[i].serial == fresh[i].serial;
    if (sameNodes) {
        // The common case (an edit, a move, a flag): the same nodes in the same order.
        for (size_t i = 0; i < old.size(); ++i)
            if (!was.SameRecord(old[i], now, fresh[i])) {
                change.before.push_back(imageOf(was, (long)i));
                change.after.push_back(imageOf(now, (long)i));
            }
        return change;
    }
    std::vector<bool> kept(old.size(), false);
    long lastKept = -1;
    bool reordered = false;
    for (size_t i = 0; i < fresh.size(); ++i) {
        long j = was.Find(fresh[i].serial);
        if (j < 0) {
            change.added.push_back(imageOf(now, (long)i));
            continue;
        }
        kept[(size_t)j] = true;
        if (j < lastKept) reordered = true;
        lastKept = j;
        if (!was.SameRecord(old[(size_t)j], now, fresh[i])) {
            change.before.push_back(imageOf(was, j));
            change.after.push_back(imageOf(now, (long)i));
        }
    }
    for (size_t j = 0; j < old.size(); ++j)
        if (!kept[j]) change.removed.push_back(imageOf(was, (long)j));
    if (reordered) {
        change.orderBefore = orderOf(was);
        change.orderAfter = orderOf(now);
    }
    return change;
}
