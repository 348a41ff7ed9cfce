// A copy of the document as the undo history compares it: every node's record numbered
// by serial numbers (VCollection::WriteSerialRecords), in list order, taken after each
// change so the next one can be found by comparing; the date format the document is
// shown in, which Preferences change; the encoding of its texts; and the top folder's
// extension fields (document-wide data such as the sync account and state).
#pragma once

#include "model/vcollection.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class DocumentMirror {
  public:
    void Take(VCollection& collection);
    void Clear();

    const std::vector<VSerialRecord>& Records() const { return records; }
    std::int32_t DateFormat() const { return dateFormat; }
    TextEncoding Encoding() const { return encoding; }
    const VExtensionFields& TopFields() const { return topFields; }
    std::string RecordBytes(const VSerialRecord& record) const;
    bool SameRecord(const VSerialRecord& mine, const DocumentMirror& other,
                    const VSerialRecord& theirs) const;
    // The index of the record of this node, or -1.
    long Find(std::uint32_t serial) const;

  private:
    std::vector<unsigned char> bytes;
    std::vector<VSerialRecord> records;
    std::int32_t dateFormat = 0;
    TextEncoding encoding = TextEncoding::Windows1252;
    VExtensionFields topFields;
    // (serial, index) sorted by serial; made when first asked for.
    mutable std::vector<std::pair<std::uint32_t, std::uint32_t>> bySerial;
};
