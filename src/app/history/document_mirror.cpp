#include "app/history/document_mirror.h"

#include <algorithm>
#include <cstring>

void DocumentMirror::Take(VCollection& collection) {
    collection.WriteSerialRecords(bytes, records);
    dateFormat = collection.dateFormat;
    encoding = collection.textEncoding;
    const VExtensionFields* top = collection.extensions.Find(collection.root);
    topFields = top ? *top : VExtensionFields{};
    bySerial.clear();
}

void DocumentMirror::Clear() {
    bytes.clear();
    records.clear();
    topFields.clear();
    bySerial.clear();
}

std::string DocumentMirror::RecordBytes(const VSerialRecord& record) const {
    return std::string((const char*)bytes.data() + record.offset, record.length);
}

bool DocumentMirror::SameRecord(const VSerialRecord& mine, const DocumentMirror& other,
                                const VSerialRecord& theirs) const {
    return mine.length == theirs.length &&
           std::memcmp(bytes.data() + mine.offset, other.bytes.data() + theirs.offset,
                       mine.length) == 0;
}

long DocumentMirror::Find(std::uint32_t serial) const {
    if (bySerial.size() != records.size()) {
        bySerial.clear();
        bySerial.reserve(records.size());
        for (std::uint32_t i = 0; i < records.size(); ++i)
            bySerial.emplace_back(records[i].serial, i);
        std::sort(bySerial.begin(), bySerial.end());
    }
    auto found = std::lower_bound(bySerial.begin(), bySerial.end(),
                                  std::make_pair(serial, std::uint32_t{0}));
    return found != bySerial.end() && found->first == serial ? (long)found->second : -1;
}
