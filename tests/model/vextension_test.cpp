// Extension records: saved after their node, found again by its number, skipped by
// readers that know only the node kinds, and absent from documents that need none.
#include "model/vextension.h"

#include "foundation/qfile.h"
#include "model/vcollection.h"
#include "model/vdays.h"
#include "model/vgroup.h"
#include "model/vkinds.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/bytes.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <gmock/gmock.h>
#include <map>
#include <string>
#include <vector>

namespace {

class VExtensionTest : public LogTest {
  protected:
    // A folder with an action and a to-do: the to-do carries two fields, the action
    // one, the folder none.
    void Build(VCollection& c) {
        folder = AddNode<VGroup>(c);
        folder->name = "Work";
        todo = AddNode<VTodo>(c, folder);
        todo->what = "Call the bank";
        task = AddNode<VTask>(c, folder);
        task->what = "Report";
        c.extensions.SetField(todo, VExtensions::UID, "uid-of-the-todo");
        c.extensions.SetField(todo, "z.later", std::string("a\0b", 3));
        c.extensions.SetField(task, VExtensions::UID, "uid-of-the-task");
    }

    VCollection collection;
    VGroup* folder = nullptr;
    VTodo* todo = nullptr;
    VTask* task = nullptr;
};

// What each node of a loaded collection holds, by its text: the fields of its record.
std::map<std::string, VExtensionFields> FieldsByText(const VCollection& c) {
    std::map<std::string, VExtensionFields> out;
    for (VNode* n = c.root->next; n; n = n->next) {
        qstring text;
        n->Describe(text, true);
        if (const VExtensionFields* f = c.extensions.Find(n)) out[text.Text()] = *f;
    }
    return out;
}

// The loading steps every reader of the format follows: the header, then tag and
// length; a known tag makes its kind, which reads exactly its own fields (the length
// unused); any other tag is skipped by its length. Answers each node as its record.
std::vector<std::string> FormatReaderRecords(const std::string& bytes) {
    VCollection scratch;
    QFile file((const unsigned char*)bytes.data(), (long)bytes.size());
    char header[8];
    file.Read(header, 8);
    std::vector<std::string> records;
    for (;;) {
        char tag[4];
        std::int32_t length = 0;
        if (file.Read(tag, 4) != 4 || !file.Read32(length) || file.IsEOF()) break;
        VNode* node = MakeNodeForTag(tag, &scratch);
        if (!node) {
            file.Seek(length - 4, 2);
            continue;
        }
        node->Load(file);
        records.push_back(RecordBytes(*node));
        delete node;
    }
    return records;
}

TEST_F(VExtensionTest, TheRecordFollowsItsNodeAndNamesItByTheNodesNumber) {
    Build(collection);
    std::string bytes = DocumentBytes(collection);
    // List order: task, to-do, folder (newest first); records from the end of the list
    // back, numbered 1, 2, 3.
    std::string taskRecord = RecordBytes(*task), todoRecord = RecordBytes(*todo);
    std::string expected =
        "VGZ1" + Int(1) + RecordBytes(*folder) + todoRecord +
        ExtensionRecord(2, {{"uid", "uid-of-the-todo"}, {"z.later", std::string("a\0b", 3)}}) +
        taskRecord + ExtensionRecord(3, {{"uid", "uid-of-the-task"}});
    EXPECT_EQ(bytes, expected);
}

TEST_F(VExtensionTest, SaveAndLoadKeepTheFieldsAndTheBytes) {
    Build(collection);
    std::map<std::string, VExtensionFields> fields = FieldsByText(collection);
    ASSERT_EQ(fields.size(), 2u);
    std::string first = DocumentBytes(collection);

    VCollection loaded;
    LoadBytes(loaded, first);
    EXPECT_EQ(FieldsByText(loaded), fields);
    EXPECT_EQ(DocumentBytes(loaded), first) << "read and saved again: the same bytes";
    EXPECT_EQ(Log(), "");
}

TEST_F(VExtensionTest, ADocumentWithoutFieldsWritesNoRecord) {
    Build(collection);
    collection.extensions.SetField(todo, VExtensions::UID, "");
    collection.extensions.SetField(todo, "z.later", "");
    collection.extensions.SetField(task, VExtensions::UID, "");
    EXPECT_TRUE(collection.extensions.Empty());
    std::string bytes = DocumentBytes(collection);
    EXPECT_EQ(bytes,
              "VGZ1" + Int(1) + RecordBytes(*folder) + RecordBytes(*todo) + RecordBytes(*task));

    VCollection loaded;
    LoadBytes(loaded, bytes);
    EXPECT_TRUE(loaded.extensions.Empty());
    VCollection again;
    LoadBytes(again, DocumentBytes(loaded));
    EXPECT_EQ(DocumentBytes(again), bytes);
}

TEST_F(VExtensionTest, ReadersThatKnowOnlyTheNodeKindsSkipTheRecords) {
    Build(collection);
    std::string with = DocumentBytes(collection);
    ASSERT_NE(with.find("VEXT"), std::string::npos);
    VCollection plain;
    Build(plain);
    plain.extensions.Clear();
    std::string without = DocumentBytes(plain);

    std::vector<std::string> records = FormatReaderRecords(with);
    EXPECT_EQ(records, FormatReaderRecords(without));
    EXPECT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1], RecordBytes(*todo));
}

TEST_F(VExtensionTest, ReadersThatKnowOnlyTheNodeKindsSkipSchedulesToo) {
    Build(collection);
    collection.extensions.Clear();
    std::string without = DocumentBytes(collection);
    VSchedule s;
    s.dueDay = DayNumber(2026, 3, 31);
    s.dueMinute = 8 * 60;
    s.rule = "FREQ=MONTHLY;BYMONTHDAY=31";
    s.reminderMinutes = 15;
    SetSchedule(collection, todo, s);
    s.startMinute = 9 * 60;
    SetSchedule(collection, task, s);
    std::string with = DocumentBytes(collection);
    ASSERT_NE(with, without);
    EXPECT_EQ(FormatReaderRecords(with), FormatReaderRecords(without));

    // Ticking an item that does not repeat writes only the moment it was done (for the
    // iCalendar COMPLETED), which such readers skip too; unticking takes it away again.
    SetSchedule(collection, todo, {});
    SetSchedule(collection, task, {});
    ASSERT_EQ(DocumentBytes(collection), without);
    SetItemDone(collection, todo, true);
    ASSERT_NE(collection.extensions.Find(todo), nullptr);
    EXPECT_EQ(collection.extensions.Find(todo)->size(), 1u);
    EXPECT_NE(collection.extensions.Field(todo, VExtensions::DONE_AT), "");
    std::vector<std::string> records = FormatReaderRecords(DocumentBytes(collection));
    VExtensions kept = collection.extensions;
    collection.extensions.Clear();
    EXPECT_EQ(records, FormatReaderRecords(DocumentBytes(collection))) << "they skip the moment";
    collection.extensions = kept;
    SetItemDone(collection, todo, false);
    EXPECT_EQ(DocumentBytes(collection), without);
}

TEST_F(VExtensionTest, RecordsForNoNodeOrDamagedOnesLoseNothingElse) {
    Build(collection);
    std::string bytes = DocumentBytes(collection);
    // A record for a number no node has, then one whose value count runs past its end,
    // then a record of a node: the node and the earlier fields stay.
    std::string orphan = ExtensionRecord(99, {{"uid", "nobody"}});
    std::string damaged = "VEXT" + Int(4 + 4 + 5 + 4 + 2) + Int(1) + Text("uid") + Int(1000) + "ab";
    VCollection extra;
    auto* late = AddNode<VTodo>(extra);
    late->what = "late";
    late->id = 7;
    std::string lateRecord = RecordBytes(*late);
    VCollection loaded;
    LoadBytes(loaded, bytes + orphan + damaged + lateRecord);

    std::vector<std::string> texts;
    for (VNode* n = loaded.root->next; n; n = n->next) {
        qstring text;
        n->Describe(text, true);
        texts.push_back(text.Text());
    }
    EXPECT_THAT(texts, ::testing::ElementsAre("late", "Report", "Call the bank", "Work"));
    std::map<std::string, VExtensionFields> fields = FieldsByText(loaded);
    EXPECT_EQ(fields["Call the bank"].at("uid"), "uid-of-the-todo");
    EXPECT_EQ(fields["Report"].at("uid"), "uid-of-the-task") << "the cut value is dropped";
    EXPECT_TRUE(LogContains("Extension record for node 99: no such node"));
}

TEST_F(VExtensionTest, UndoRecordsCarryTheFieldsAndRemovalForgetsThem) {
    Build(collection);
    std::vector<unsigned char> bytes;
    std::vector<VSerialRecord> records;
    collection.WriteSerialRecords(bytes, records);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].serial, todo->Serial());
    std::string todoRecord((const char*)bytes.data() + records[1].offset, records[1].length);
    EXPECT_EQ(todoRecord.size(),
              RecordBytes(*todo).size() + ExtensionRecord(0, {{"uid", "uid-of-the-todo"},
                                                              {"z.later", std::string("a\0b", 3)}})
                                              .size());
    std::uint32_t serial = todo->Serial();
    VExtensionFields before = *collection.extensions.Find(todo);
    std::size_t plainLength = RecordBytes(*todo).size();

    collection.Discard(todo);
    collection.Discard(task);
    EXPECT_TRUE(collection.extensions.Empty()) << "the removed nodes' fields went with them";
    VNode* back = collection.RestoreNode((const unsigned char*)todoRecord.data(),
                                         (std::uint32_t)todoRecord.size(), serial, nullptr);
    ASSERT_NE(back, nullptr);
    collection.ResolveSerials({back});
    ASSERT_NE(collection.extensions.Find(back), nullptr);
    EXPECT_EQ(*collection.extensions.Find(back), before);

    // Reloading a record without an extension takes the fields away.
    std::string plain = todoRecord.substr(0, plainLength);
    collection.ReloadNode(back, (const unsigned char*)plain.data(), (std::uint32_t)plain.size());
    EXPECT_EQ(collection.extensions.Find(back), nullptr);
}

} // namespace
