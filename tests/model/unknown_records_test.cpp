// Records this version does not know (a newer version's data) and extension records
// beyond a node's first: kept with the node whose record they followed and written back
// byte for byte right after it.
#include "model/vcollection.h"
#include "model/vtodo.h"
#include "support/bytes.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace {

const std::string HEADER = "VGZ1" + Int(1);
const std::string FOLDER_FIELDS = Int(0) + Int(0);

std::string Unknown(const std::string& tag, const std::string& body) {
    return tag + Int(4 + (int)body.size()) + body;
}

std::string TodoFields(const std::string& what) {
    return Text(what) + Text("") + Int(1);
}

// Records of other tags at every place one can stand: before any node (after the top
// folder's extension record), after a folder, after a to-do's extension record (two in a
// row), and after the last record. Written as this program writes a file: nodes numbered
// 1, 2, 3 in file order, each followed by its extension record and then what followed it.
struct NewerDocument {
    const std::string top = Unknown("ZTOP", "before any node");
    const std::string afterWork = Unknown("ZWRK", std::string("folder\0data", 11));
    const std::string afterCall1 = Unknown("ZCL1", "first");
    const std::string afterCall2 = Unknown("ZCL2", "");
    const std::string afterPay = Unknown("ZPAY", "the end");
    std::string Bytes() const {
        return HEADER + ExtensionRecord(0, {{"sync.url", "x"}}) + top +
               NodeRecord("NGRP", "Work", 1, 0, FOLDER_FIELDS) + afterWork +
               NodeRecord("TODO", "", 2, 1, TodoFields("Call")) +
               ExtensionRecord(2, {{"uid", "call-uid"}}) + afterCall1 + afterCall2 +
               NodeRecord("TODO", "", 3, 0, TodoFields("Pay"));
    }
    std::string WithLast() const { return Bytes() + afterPay; }
};

VNode* ByText(const VCollection& c, const char* text) {
    for (VNode* n = c.root->next; n; n = n->next) {
        qstring shown;
        n->Describe(shown, true);
        if (shown == text) return n;
    }
    return nullptr;
}

class UnknownRecordsTest : public LogTest {};

TEST_F(UnknownRecordsTest, EachComesBackAfterTheRecordItFollowed) {
    NewerDocument doc;
    VCollection loaded;
    LoadBytes(loaded, doc.WithLast());
    // What followed a record still follows it, and what stood before any node still does:
    // read and saved, the file comes back as it was.
    EXPECT_EQ(DocumentBytes(loaded), doc.WithLast());
    EXPECT_EQ(Log(), "");
}

TEST_F(UnknownRecordsTest, ADocumentOfOneNodeComesBackInOneSave) {
    const std::string bytes = HEADER + NodeRecord("NGRP", "Work", 1, 0, FOLDER_FIELDS) +
                              Unknown("ZNEW", "newer") + Unknown("ZNW2", "still newer");
    VCollection loaded;
    LoadBytes(loaded, bytes);
    EXPECT_EQ(DocumentBytes(loaded), bytes);
}

// A node with two extension records: fields of other names join the first record's; a
// record that names a field again is kept whole, as the node's own unknown record, so
// neither value is lost.
TEST_F(UnknownRecordsTest, ASecondExtensionRecordIsMergedOrKeptWhole) {
    const std::string again = ExtensionRecord(1, {{"uid", "second-uid"}, {"z.new", "n"}});
    const std::string bytes = HEADER + NodeRecord("TODO", "", 1, 0, TodoFields("Call")) +
                              ExtensionRecord(1, {{"uid", "call-uid"}}) +
                              ExtensionRecord(1, {{"due.day", "2026-01-02"}}) + again;
    VCollection loaded;
    LoadBytes(loaded, bytes);
    VNode* call = ByText(loaded, "Call");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(loaded.extensions.Field(call, VExtensions::UID), "call-uid") << "the first wins";
    EXPECT_EQ(loaded.extensions.Field(call, VExtensions::DUE_DAY), "2026-01-02") << "merged";
    EXPECT_EQ(loaded.extensions.Field(call, "z.new"), "") << "kept apart, not merged";

    const std::string written =
        HEADER + NodeRecord("TODO", "", 1, 0, TodoFields("Call")) +
        ExtensionRecord(1, {{"due.day", "2026-01-02"}, {"uid", "call-uid"}}) + again;
    EXPECT_EQ(DocumentBytes(loaded), written);
    VCollection reloaded;
    LoadBytes(reloaded, written);
    EXPECT_EQ(DocumentBytes(reloaded), written) << "and so it stays";
}

// The record kept whole names its node by number: that number follows the node when the
// save numbers it anew, so the record never drifts to another node.
TEST_F(UnknownRecordsTest, AKeptExtensionRecordFollowsItsNodesNumber) {
    // Numbered by another writer: 5 and 9 become 1 and 2.
    const std::string bytes = HEADER + NodeRecord("TODO", "", 5, 0, TodoFields("A")) +
                              NodeRecord("TODO", "", 9, 0, TodoFields("B")) +
                              ExtensionRecord(9, {{"uid", "b"}}) +
                              ExtensionRecord(9, {{"uid", "b-too"}});
    VCollection loaded;
    LoadBytes(loaded, bytes);
    EXPECT_EQ(DocumentBytes(loaded),
              HEADER + NodeRecord("TODO", "", 1, 0, TodoFields("A")) +
                  NodeRecord("TODO", "", 2, 0, TodoFields("B")) +
                  ExtensionRecord(2, {{"uid", "b"}}) + ExtensionRecord(2, {{"uid", "b-too"}}));
}

// A record cut off by the end of the file is damage, not data: writing it back would
// swallow whatever a later save puts after it.
TEST_F(UnknownRecordsTest, ARecordCutOffByTheEndOfTheFileIsNotKept) {
    const std::string whole = HEADER + NodeRecord("NGRP", "Work", 1, 0, FOLDER_FIELDS);
    VCollection loaded;
    LoadBytes(loaded, whole + "ZCUT" + Int(100) + "only a part");
    EXPECT_EQ(DocumentBytes(loaded), whole);
}

TEST_F(UnknownRecordsTest, RemovingTheNodeRemovesItsRecordsAndUndoBringsThemBack) {
    NewerDocument doc;
    VCollection c;
    LoadBytes(c, doc.WithLast());
    VNode* call = ByText(c, "Call");
    ASSERT_NE(call, nullptr);
    std::vector<unsigned char> bytes;
    std::vector<VSerialRecord> records;
    c.WriteSerialRecords(bytes, records);
    std::string image;
    for (const VSerialRecord& r : records)
        if (r.serial == call->Serial())
            image.assign((const char*)bytes.data() + r.offset, r.length);
    EXPECT_THAT(image, ::testing::EndsWith(doc.afterCall1 + doc.afterCall2))
        << "the undo history's image of the node carries them";

    std::uint32_t serial = call->Serial();
    c.RemoveTree(call);
    std::string without = DocumentBytes(c);
    EXPECT_EQ(without.find(doc.afterCall1), std::string::npos);
    EXPECT_EQ(without.find(doc.afterCall2), std::string::npos);
    for (const std::string& kept : {doc.top, doc.afterWork, doc.afterPay})
        EXPECT_NE(without.find(kept), std::string::npos) << kept;

    VNode* back = c.RestoreNode((const unsigned char*)image.data(), (std::uint32_t)image.size(),
                                serial, nullptr);
    ASSERT_NE(back, nullptr);
    c.ResolveSerials({back});
    std::string restored = DocumentBytes(c);
    EXPECT_NE(restored.find(doc.afterCall1 + doc.afterCall2), std::string::npos);
    EXPECT_EQ(c.extensions.Field(back, VExtensions::UID), "call-uid");
}

} // namespace
