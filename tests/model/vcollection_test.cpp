#include "model/vcollection.h"

#include "foundation/qfile.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/bytes.h"
#include "support/file_size_limit.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/scripted_ui.h"

#include <cstring>
#include <gmock/gmock.h>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

class VCollectionTest : public LogTest {
  protected:
    VCollection collection;
};

const std::string HEADER = "VGZ1" + Int(1);
const std::string FOLDER_FIELDS = Int(0) + Int(0);

std::vector<std::string> Names(const VCollection& c) {
    std::vector<std::string> names;
    for (VNode* n = c.root->next; n; n = n->next)
        names.push_back(n->name.Text());
    return names;
}

// The undo history's records name nodes by serial, leave the stored numbers alone, and
// bring a node back with its serial, parent and contacts.
TEST_F(VCollectionTest, SerialRecordsReadBackIntoTheSameNodes) {
    auto* folder = AddNode<VGroup>(collection);
    folder->name = "Work";
    auto* ann = AddNode<VContact>(collection, folder);
    ann->firstName = "Ann";
    auto* task = AddNode<VTask>(collection, folder);
    task->assignees[0] = ann;
    task->what = "Report";
    collection.Save("numbers.vnt");
    std::vector<std::pair<int, int>> numbers;
    for (VNode* n = collection.root; n; n = n->next)
        numbers.emplace_back(n->id, n->parentId);

    std::vector<unsigned char> bytes;
    std::vector<VSerialRecord> records;
    collection.WriteSerialRecords(bytes, records);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].serial, task->Serial());
    EXPECT_EQ(records[0].parentSerial, folder->Serial());
    EXPECT_TRUE(records[2].folder);
    std::vector<std::pair<int, int>> after;
    for (VNode* n = collection.root; n; n = n->next)
        after.emplace_back(n->id, n->parentId);
    EXPECT_EQ(after, numbers) << "the stored numbers stay";

    std::uint32_t taskSerial = task->Serial();
    std::string taskRecord((const char*)bytes.data() + records[0].offset, records[0].length);
    std::string saved = DocumentBytes(collection);
    collection.Discard(task);
    EXPECT_EQ(Names(collection), (std::vector<std::string>{"A_Node", "Work"}));
    VNode* back = collection.RestoreNode((const unsigned char*)taskRecord.data(),
                                         (std::uint32_t)taskRecord.size(), taskSerial, nullptr);
    ASSERT_NE(back, nullptr);
    collection.ResolveSerials({back});
    EXPECT_EQ(back->Serial(), taskSerial);
    EXPECT_EQ(back->parent, folder);
    EXPECT_EQ(static_cast<VTask*>(back)->assignees[0], ann);
    EXPECT_EQ(DocumentBytes(collection), saved);
}

TEST_F(VCollectionTest, NewCollectionHasOnlyItsRoot) {
    VGroup* root = collection.root;
    EXPECT_STREQ(root->name.Text(), "root");
    EXPECT_EQ(root->folderType, 0);
    EXPECT_TRUE(root->tempFlags & NOT_SAVED);
    EXPECT_EQ(root->next, nullptr);
    EXPECT_EQ(collection.dateFormat, 1);
    EXPECT_EQ(collection.sortMode, 0);
    EXPECT_EQ(collection.filterFlags, 5u);
    EXPECT_EQ(DocumentBytes(collection), Bytes({0x56, 0x47, 0x5A, 0x31, 1, 0, 0, 0}));
}

TEST_F(VCollectionTest, DocumentWithOneFolder) {
    auto* work = AddNode<VGroup>(collection);
    work->name = "Work";
    EXPECT_EQ(
        DocumentBytes(collection),
        Bytes({0x56, 0x47, 0x5A, 0x31, 1,    0, 0, 0, 0x4E, 0x47, 0x52, 0x50, 0x26, 0, 0, 0, 0x4E,
               0x4F, 0x44, 0x45, 0x16, 0,    0, 0, 4, 0,    0x57, 0x6F, 0x72, 0x6B, 1, 0, 0, 0,
               0,    0,    0,    0,    0x10, 0, 0, 0, 0,    0,    0,    0,    0,    0, 0, 0}));
}

TEST_F(VCollectionTest, NewActionAndToDoRecords) {
    VTask task(&collection);
    task.id = 5;
    task.parentId = 2;
    std::string expectedTask = Bytes({'T', 'A', 'S', 'K', 0x5E, 0, 0, 0}) +
                               Bytes({'N', 'O', 'D', 'E', 22, 0, 0, 0, 4, 0}) + "Task" + Int(5) +
                               Int(2) + Int(0x10) + Bytes({0, 0}) + std::string(40, '\0') + Int(1) +
                               Int(0) + Int(0) + Bytes({0, 0}) + Int(1) +
                               Bytes({0xFF, 0xFF, 0xFF, 0xFF});
    std::string taskRecord = RecordBytes(task);
    EXPECT_EQ(taskRecord.size(), 98u);
    EXPECT_EQ(taskRecord, expectedTask);

    VTodo todo(&collection);
    todo.id = 6;
    todo.parentId = 2;
    std::string todoRecord = RecordBytes(todo);
    EXPECT_EQ(todoRecord.size(), 42u);
    EXPECT_EQ(todoRecord, Bytes({'T', 'O', 'D', 'O', 0x26, 0, 0, 0}) +
                              Bytes({'N', 'O', 'D', 'E', 22, 0, 0, 0, 4, 0}) + "Todo" + Int(6) +
                              Int(2) + Int(0x10) + Bytes({0, 0, 0, 0}) + Int(1));
}

// A document with every kind and a value other than the default in every stored field.
struct FullDocument {
    VGroup *folder, *inner;
    VContact *anna, *bo;
    VTask* task;
    VTodo* todo;
    VCall* call;
    VMail* mail;
    VPay* pay;
    VAgreement* agreement;
    VFact* fact;
    VFile* file;
    VURL* url;

    explicit FullDocument(VCollection& c) {
        folder = AddNode<VGroup>(c);
        folder->name = "Projects";
        folder->folderType = FOLDER_ACTION;
        folder->spareValue = 77;
        folder->flags = EXPANDED;
        inner = AddNode<VGroup>(c, folder);
        inner->name = "Inner";
        inner->flags = INACTIVE | EXPANDED;
        anna = AddNode<VContact>(c, folder);
        anna->name = "contact-a";
        anna->spareText1 = "s1";
        anna->firstName = "Anna";
        anna->lastName = "Zee";
        anna->spareText2 = "s2";
        anna->initials = "AZ";
        anna->email = "anna@example.org";
        anna->contactFlags = VContact::EXTERNAL;
        anna->flags = WAITING;
        bo = AddNode<VContact>(c, folder);
        bo->firstName = "Bo";
        bo->lastName = "";
        task = AddNode<VTask>(c, inner);
        task->name = "t";
        task->what = "Report";
        task->assignees[0] = anna;
        task->assignees[2] = bo;
        task->priority = 3;
        task->hoursOfWork = 12;
        task->completion = 40;
        task->startDate = "2010-06-25";
        task->duration = 3;
        task->reserved = 9;
        task->flags = DONE;
        todo = AddNode<VTodo>(c, inner);
        todo->what = "Buy milk";
        todo->extra = "hidden";
        todo->priority = 0;
        call = AddNode<VCall>(c, folder);
        call->who = "Carl";
        call->reason = "offer";
        call->detail = "+31 20 555";
        call->spareText = "sc";
        call->priority = 2;
        mail = AddNode<VMail>(c, folder);
        mail->who = "Dora";
        mail->reason = "minutes";
        mail->detail = "dora@example.org";
        mail->spareText = "sm";
        mail->priority = 0;
        pay = AddNode<VPay>(c);
        pay->who = "Eve";
        pay->reason = "rent";
        pay->detail = "$900";
        pay->account = "NL00BANK";
        pay->spareText = "sp";
        pay->priority = 3;
        agreement = AddNode<VAgreement>(c, folder);
        agreement->agreement = "Deliver by June";
        agreement->withWho = "Frank";
        agreement->agreedOn = "2010-05-01";
        fact = AddNode<VFact>(c, inner);
        fact->name = "Door code";
        fact->description = "1234\r\nsecond line";
        file = AddNode<VFile>(c, folder);
        file->name = "Specs";
        file->location = "/home/me/specs.txt";
        url = AddNode<VURL>(c, folder);
        url->url = "https://example.org/";
        url->description = "Example";
    }
};

// Describes every node in list order with its parent's name: equal texts mean equal
// fields, since the description of each kind covers its stored fields here.
std::vector<std::string> Fingerprint(const VCollection& c) {
    std::vector<std::string> lines;
    for (VNode* n = c.root->next; n; n = n->next) {
        qstring text;
        n->Describe(text, false);
        std::string line = std::string(n->TypeName()) + "|" + n->name.Text() + "|" + text.Text() +
                           "|" + std::to_string(n->flags) + "|" + n->parent->name.Text();
        if (auto* g = dynamic_cast<VGroup*>(n))
            line += "|" + std::to_string(g->folderType) + "," + std::to_string(g->spareValue);
        if (auto* t = dynamic_cast<VTask*>(n))
            line += "|" + std::to_string(t->priority) + "," + std::to_string(t->hoursOfWork) + "," +
                    std::to_string(t->completion) + "," + std::to_string(t->reserved) + "," +
                    (t->assignees[1] ? "slot1" : "empty1") + "," +
                    t->assignees[2]->firstName.Text();
        if (auto* t = dynamic_cast<VTodo*>(n))
            line += "|" + std::string(t->extra.Text()) + "," + std::to_string(t->priority);
        if (auto* k = dynamic_cast<VContact*>(n))
            line += "|" + std::string(k->spareText1.Text()) + "," + k->spareText2.Text() + "," +
                    k->email.Text();
        if (auto* m = dynamic_cast<VCommItem*>(n))
            line += "|" + std::string(m->spareText.Text()) + "," + std::to_string(m->priority);
        if (auto* f = dynamic_cast<VFile*>(n)) line += "|" + std::string(f->location.Text());
        lines.push_back(line);
    }
    return lines;
}

// The records go out from the end of the list back, so that a load, which puts each
// record it reads first, gives the list in its order again: items that sort alike keep
// their places on screen across saves, and a file read and saved again is the same bytes.
TEST_F(VCollectionTest, EveryKindRoundTripsInListOrderWithNumbersInRecordOrder) {
    FullDocument doc(collection);
    collection.dateFormat = 1;
    std::vector<std::string> original = Fingerprint(collection);
    std::string first = DocumentBytes(collection);

    VCollection loaded;
    LoadBytes(loaded, first);
    std::vector<std::string> afterLoad = Fingerprint(loaded);
    ASSERT_EQ(afterLoad.size(), original.size());
    EXPECT_EQ(afterLoad, original);

    std::string second = DocumentBytes(loaded);
    EXPECT_EQ(second, first) << "read and saved again, the same bytes";
    std::vector<std::int32_t> ids;
    for (VNode* n = loaded.root->next; n; n = n->next)
        ids.insert(ids.begin(), n->id);
    for (std::size_t i = 0; i < ids.size(); ++i)
        EXPECT_EQ(ids[i], (std::int32_t)i + 1) << "numbered 1..n in the order of the records";

    VCollection again;
    LoadBytes(again, second);
    EXPECT_EQ(Fingerprint(again), original);
    EXPECT_EQ(Log(), "") << "a sound document loads without a message";
}

TEST_F(VCollectionTest, RecordsMayPrecedeTheirFolderAndUnknownTagsAreSkipped) {
    std::string bytes = "XXXX" + Int(4) + "????" + Int(11) + "1234567" +
                        NodeRecord("TODO", "child", 2, 1, Text("inside") + Text("") + Int(1)) +
                        NodeRecord("NGRP", "Folder A", 1, 0, FOLDER_FIELDS);
    LoadBytes(collection, "JUNK" + Int(2) + bytes);
    ASSERT_EQ(Names(collection), (std::vector<std::string>{"Folder A", "child"}));
    VNode* child = collection.root->next->next;
    EXPECT_EQ(child->parent, collection.root->next);
    EXPECT_EQ(collection.root->next->parent, collection.root);
    EXPECT_EQ(Log(), "");
}

TEST_F(VCollectionTest, MissingParentsAndAssigneesAreRepairedQuietlyOrWithOneEntry) {
    std::string assignees = Int(3) + Int(99) + Int(4) + std::string(28, '\0');
    std::string taskFields =
        Text("w") + assignees + Int(1) + Int(0) + Int(0) + Text("") + Int(1) + Int(-1);
    std::string contactFields =
        Text("") + Text("Ann") + Text("") + Text("") + Text("A") + Text("") + Int(0);
    std::string bytes = HEADER + NodeRecord("TASK", "orphan", 1, 99, taskFields) +
                        NodeRecord("NGRP", "F", 2, 0, FOLDER_FIELDS) +
                        NodeRecord("CONT", "c", 3, 2, contactFields) +
                        NodeRecord("TODO", "t", 4, 2, Text("") + Text("") + Int(1));
    LoadBytes(collection, bytes);
    auto* task = static_cast<VTask*>(collection.root->next->next->next->next);
    ASSERT_STREQ(task->TypeName(), "task");
    EXPECT_EQ(task->parent, collection.root);
    EXPECT_THAT(Log(), HasSubstr("(ERR  ): [-] Node 'orphan' can't find parent with id 99 "
                                 "[vnode:"));
    EXPECT_THAT(Log(), HasSubstr("/ VNode::PostLoad]"));
    ASSERT_NE(task->assignees[0], nullptr);
    EXPECT_STREQ(task->assignees[0]->firstName.Text(), "Ann");
    EXPECT_EQ(task->assignees[1], nullptr) << "id 99 names nothing";
    EXPECT_EQ(task->assignees[2], nullptr) << "id 4 names a to-do, not a contact";
    int errors = 0;
    for (size_t at = 0; (at = Log().find("(ERR  )", at)) != std::string::npos; ++at)
        ++errors;
    EXPECT_EQ(errors, 1);
}

TEST_F(VCollectionTest, MissingOrEmptyFilesGiveAnEmptyCollection) {
    AddNode<VGroup>(collection);
    collection.Load("/no/such/file.vnt");
    EXPECT_EQ(collection.root->next, nullptr);
    EXPECT_STREQ(collection.fileName.Text(), "/no/such/file.vnt");
    LoadBytes(collection, "");
    EXPECT_EQ(collection.root->next, nullptr);
    LoadBytes(collection, "VGZ");
    EXPECT_EQ(collection.root->next, nullptr);
    EXPECT_EQ(Log(), "");
}

TEST_F(VCollectionTest, DamagedFilesKeepEveryCompleteRecordBeforeTheDamage) {
    std::string good = NodeRecord("NGRP", "good", 1, 0, FOLDER_FIELDS);
    std::string todo = NodeRecord("TODO", "todo", 2, 0, Text("what") + Text("") + Int(2));
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> names; // newest first, as a load lists them
    } cases[] = {
        {"length below 4", HEADER + good + "NGRP" + Int(2) + good, {"good"}},
        {"negative length", HEADER + good + "TODO" + Int(-50) + todo, {"good"}},
        {"huge length", HEADER + good + "XXXX" + Int(0x7FFFFFFF) + todo, {"good"}},
        {"cut inside a record", HEADER + good + todo.substr(0, todo.size() - 3), {"todo", "good"}},
        {"cut inside a tag", HEADER + good + "TO", {"good"}},
        {"negative text count",
         HEADER + NodeRecord("TODO", "neg", 2, 0, Bytes({0xFF, 0xFF}) + "ab") + good,
         {"good", "neg"}},
        {"text count past the record",
         HEADER + NodeRecord("FACT", "fact", 2, 0, Bytes({0xFF, 0x7F}) + "abc") + good,
         {"good", "fact"}},
        {"length shorter than the fields",
         HEADER + "NGRP" + Int(12) + good.substr(8, 8) + good,
         {"good", "Folder"}},
    };
    for (const Case& c : cases) {
        VCollection loaded;
        LoadBytes(loaded, c.bytes);
        EXPECT_EQ(Names(loaded), c.names) << c.what;
        for (VNode* n = loaded.root->next; n; n = n->next)
            EXPECT_NE(n->parent, nullptr) << c.what;
    }
    // The cut record keeps what it still holds.
    VCollection cut;
    LoadBytes(cut, HEADER + todo.substr(0, todo.size() - 3));
    auto* partial = static_cast<VTodo*>(cut.root->next);
    EXPECT_STREQ(partial->what.Text(), "what");
    EXPECT_EQ(partial->priority, 1) << "a field that is not there keeps its default";
    EXPECT_THAT(Log(), HasSubstr("has the bad length 2"));
}

TEST_F(VCollectionTest, ParentLinksThatWouldLoopOrPointAtItemsGoToTheRoot) {
    std::string bytes = HEADER + NodeRecord("NGRP", "self", 1, 1, FOLDER_FIELDS) +
                        NodeRecord("NGRP", "ping", 2, 3, FOLDER_FIELDS) +
                        NodeRecord("NGRP", "pong", 3, 2, FOLDER_FIELDS) +
                        NodeRecord("TODO", "item", 4, 0, Text("") + Text("") + Int(1)) +
                        NodeRecord("FACT", "under item", 5, 4, Text("d"));
    LoadBytes(collection, bytes);
    for (VNode* n = collection.root->next; n; n = n->next) {
        EXPECT_FALSE(n->IsDescendantOf(n)) << n->name.Text();
        EXPECT_STREQ(n->parent->TypeName(), "group") << n->name.Text();
        qstring title;
        n->FolderTitle(title); // must end
    }
    EXPECT_THAT(Log(), HasSubstr("Node 'under item' has a parent (id 4) that is no folder"));
    EXPECT_THAT(Log(), HasSubstr("is inside itself"));
}

TEST_F(VCollectionTest, OverlongTextsAreCutAndStillReadBack) {
    auto* fact = AddNode<VFact>(collection);
    fact->description = std::string(40000, 'd').c_str();
    auto* after = AddNode<VGroup>(collection);
    after->name = "after";
    VCollection loaded;
    LoadBytes(loaded, DocumentBytes(collection));
    ASSERT_EQ(Names(loaded), (std::vector<std::string>{"after", "Fact"}));
    auto* back = static_cast<VFact*>(loaded.root->next->next);
    EXPECT_EQ(back->description.Length(), QFile::MAX_STRING);
    EXPECT_THAT(Log(), HasSubstr("cut to 32767 bytes"));
}

TEST_F(VCollectionTest, SaveThatCannotOpenTellsTheUserAndWritesNothing) {
    ScriptedUI ui;
    AddNode<VGroup>(collection);
    EXPECT_FALSE(collection.Save("/no/such/dir/doc.vnt"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text,
              "Can't open file (/no/such/dir/doc.vnt) for writing. Nothing was written.");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(ui.asked[0].buttons, MsgButtons::OK);

    // A device is never replaced by a document.
    EXPECT_FALSE(collection.Save("/dev/full"));
    ASSERT_EQ(ui.asked.size(), 2u);
    EXPECT_EQ(ui.asked[1].text, "Can't open file (/dev/full) for writing: it is not a regular "
                                "file. The file on disk is unchanged.");

    // A full disk: the old document stays as it was.
    ASSERT_TRUE(collection.Save("doc.vnt"));
    std::string before = ReadWholeFile("doc.vnt");
    for (int i = 0; i < 100; ++i)
        AddNode<VGroup>(collection);
    {
        FileSizeLimit full(before.size() + 10);
        EXPECT_FALSE(collection.Save("doc.vnt"));
    }
    ASSERT_EQ(ui.asked.size(), 3u);
    EXPECT_EQ(ui.asked[2].text,
              "Can't write file (doc.vnt): File too large. The file on disk is unchanged.");
    EXPECT_EQ(ReadWholeFile("doc.vnt"), before);
}

TEST_F(VCollectionTest, SaveWithoutAPathWritesTheLoadedFile) {
    std::string path = dir.File("doc.vnt");
    AddNode<VGroup>(collection)->name = "kept";
    ASSERT_TRUE(collection.Save(path.c_str()));
    VCollection loaded;
    loaded.Load(path.c_str());
    AddNode<VTodo>(loaded);
    EXPECT_TRUE(loaded.Save());
    VCollection again;
    again.Load(path.c_str());
    EXPECT_EQ(Names(again), (std::vector<std::string>{"Todo", "kept"}));
}

TEST_F(VCollectionTest, TreeQuestions) {
    auto* a = AddNode<VGroup>(collection);
    auto* b = AddNode<VGroup>(collection, a);
    auto* item = AddNode<VTodo>(collection, a);
    AddNode<VTodo>(collection, b);
    EXPECT_EQ(collection.CountChildren(a, false), 2);
    EXPECT_EQ(collection.CountChildren(a, true), 1);
    EXPECT_EQ(collection.CountChildren(collection.root, false), 1);
    EXPECT_EQ(collection.CountTree(a), 4);
    EXPECT_EQ(collection.CountTree(collection.root), 5);
    EXPECT_TRUE(collection.Contains(item));
    VTodo stranger(&collection);
    EXPECT_FALSE(collection.Contains(&stranger));

    EXPECT_EQ(collection.Selected(), nullptr);
    b->Select();
    item->Select();
    EXPECT_EQ(collection.Selected(), item) << "the first selected node in list order";

    EXPECT_EQ(collection.FindById(0), collection.root);
    DocumentBytes(collection);
    EXPECT_EQ(collection.FindById(1), a) << "the first record: the end of the list";
    EXPECT_EQ(collection.FindById(99), nullptr);
    auto* added = AddNode<VTodo>(collection);
    EXPECT_EQ(added->id, 0);
    EXPECT_EQ(collection.FindById(0), collection.root);
}

TEST_F(VCollectionTest, RemovingATreeDropsItsContactsFromActions) {
    auto* people = AddNode<VGroup>(collection);
    auto* anna = AddNode<VContact>(collection, people);
    auto* bo = AddNode<VContact>(collection, people);
    auto* cy = AddNode<VContact>(collection);
    auto* task = AddNode<VTask>(collection);
    task->assignees[0] = anna;
    task->assignees[1] = cy;
    task->assignees[2] = bo;
    collection.contactFilter = anna;

    collection.RemoveTree(people);
    std::string traces = Log();
    EXPECT_EQ(task->assignees[0], cy);
    EXPECT_EQ(task->assignees[1], nullptr);
    EXPECT_EQ(collection.contactFilter, nullptr);
    EXPECT_EQ(collection.CountTree(collection.root), 3);
    EXPECT_THAT(traces, HasSubstr("VCollection (Remove1) [vcollection:"));
    EXPECT_THAT(traces, HasSubstr("VCollection (Remove3) [vcollection:"));
    EXPECT_THAT(traces, HasSubstr("  root ("));

    collection.Remove(collection.root);
    EXPECT_NE(collection.root, nullptr);
    EXPECT_EQ(collection.CountTree(collection.root), 3);
}

TEST_F(VCollectionTest, DatesInTheChosenDisplayFormat) {
    setenv("TZ", "Europe/Amsterdam", 1);
    tzset();
    QDate date;
    date.SetDate(25, 6, 2010);
    const char* expected[] = {"25-Jun-10", "25-06-2010", "06-25-2010"};
    for (int format = 0; format < 3; ++format) {
        collection.dateFormat = format;
        EXPECT_STREQ(collection.FormatDate(date), expected[format]);
    }
    EXPECT_EQ(Log(), "");
    collection.dateFormat = 7;
    EXPECT_STREQ(collection.FormatDate(date), "25-Jun-10");
    EXPECT_STREQ(collection.FormatDate(date), "25-Jun-10");
    std::string log = Log();
    size_t first = log.find("VCollection:FormatDate(); unknown format [vcollection:");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("VCollection:FormatDate(); unknown format", first + 1), std::string::npos)
        << "one entry per formatted date";
}

} // namespace

namespace {

TEST_F(VCollectionTest, LoadedNodesCanBeEditedRemovedAndAddedToLikeNewOnes) {
    FullDocument doc(collection);
    std::string bytes = DocumentBytes(collection);
    VCollection loaded;
    LoadBytes(loaded, bytes);
    // Texts of loaded nodes change in place or grow into buffers of their own; removed
    // nodes and trees end like nodes made on the heap (the sanitizer build checks both).
    for (VNode* n = loaded.root->next; n; n = n->next) {
        qstring longer(n->name);
        longer += " with a much longer name than it had when it was loaded";
        n->name = longer;
        if (auto* task = dynamic_cast<VTask*>(n)) task->what = "x";
    }
    VNode* folder = nullptr;
    for (VNode* n = loaded.root->next; n; n = n->next)
        if (!std::strcmp(n->TypeName(), "group")) folder = n;
    ASSERT_NE(folder, nullptr);
    int before = loaded.CountTree(loaded.root);
    int inFolder = loaded.CountTree(folder);
    loaded.RemoveTree(folder);
    EXPECT_EQ(loaded.CountTree(loaded.root), before - inFolder);
    loaded.Add(new VTodo(&loaded), loaded.root);

    VCollection again;
    LoadBytes(again, DocumentBytes(loaded));
    ASSERT_EQ(Fingerprint(again).size(), Fingerprint(loaded).size());
    for (VNode* n = again.root->next; n; n = n->next) {
        bool added = !std::strcmp(n->TypeName(), "todo") && n->name == "Todo";
        if (!added) {
            EXPECT_THAT(n->name.Text(), HasSubstr("with a much longer name"));
        }
    }
    loaded.Load("no such file"); // replaces every node, the arena's with the rest
    EXPECT_EQ(loaded.root->next, nullptr);
}

} // namespace

namespace {

// The first folder in list order whose title is the given one, the plain way.
VNode* FolderByBuiltTitles(const VCollection& c, const char* title) {
    for (VNode* n = c.root; n; n = n->next) {
        if (std::strcmp(n->TypeName(), "group") != 0) continue;
        qstring built;
        n->FolderTitle(built);
        if (built == title) return n;
    }
    return nullptr;
}

TEST_F(VCollectionTest, FoldersAreFoundByTheTitlesTheyShow) {
    // Names that make titles tricky: empty ones (no separator before the first text),
    // "root" (ends the path like the top folder), separators inside names, a folder
    // titled like the top folder, and the same title twice.
    auto folder = [&](const char* name, VNode* parent) {
        auto* g = new VGroup(&collection);
        g->name = name;
        return collection.Add(g, parent);
    };
    VNode* work = folder("Work", collection.root);
    VNode* sub = folder("Sub", work);
    folder("Deep", sub);
    VNode* empty = folder("", collection.root);
    VNode* underEmpty = folder("A", empty);
    folder("", underEmpty);
    folder("B", folder("", underEmpty));
    VNode* rootNamed = folder("root", work);
    folder("X", rootNamed);
    folder("All folders", collection.root);
    folder("a / b", folder("c", collection.root));
    folder("b", folder("a", folder("c", collection.root)));
    folder("Sub", work);
    collection.Add(new VTodo(&collection), work); // items never match

    std::vector<std::string> titles{
        "All folders", "",     "Work",        "Work / Sub", "Work / Sub / Deep",
        "A",           "A / ", "A /  / B",    "X",          "c / a / b",
        "Sub",         "root", "Work / root", " / Work",    "Work /",
        "Nowhere"};
    for (VNode* n = collection.root; n; n = n->next) {
        qstring title;
        n->FolderTitle(title);
        titles.push_back(title.Text());
    }
    for (const std::string& title : titles)
        EXPECT_EQ(collection.FindFolder(title.c_str()),
                  FolderByBuiltTitles(collection, title.c_str()))
            << "title '" << title << "'";
    EXPECT_EQ(collection.FindFolder("All folders"), collection.root);
    EXPECT_EQ(collection.FindFolder("Nowhere"), nullptr);
}

TEST_F(VCollectionTest, AChainOfTenThousandFoldersIsSearchedInOneWalk) {
    VNode* parent = collection.root;
    for (int i = 0; i < 10000; ++i) {
        auto* g = new VGroup(&collection);
        g->name = i % 2 ? "D2" : "D1";
        parent = collection.Add(g, parent);
    }
    VNode* second = collection.root->next->next; // list order: the deepest first
    while (second->next->next)
        second = second->next;
    EXPECT_EQ(collection.FindFolder("D1 / D2"), second);
    EXPECT_EQ(collection.FindFolder("D1 / D3"), nullptr);
}

} // namespace
