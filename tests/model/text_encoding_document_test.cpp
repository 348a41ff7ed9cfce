// A document's text encoding: the file's record, byte-exact round trips, readers that
// know only the node records, the one-time change to UTF-8, and the order and filter of
// texts in both encodings.
#include "foundation/qfile.h"
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vkinds.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "model/vvisibility.h"
#include "support/bytes.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr auto CP1252 = TextEncoding::Windows1252;
constexpr auto UTF8 = TextEncoding::Utf8;

const std::string HEADER = "VGZ1" + Int(1);
const std::string UTF8_RECORD = "TENC" + Int(4 + 2 + 5) + Text("UTF-8");

const std::string FOLDER_FIELDS = Int(0) + Int(0);

// One node of every kind, each text holding the accent (é, as the encoding spells it).
struct EveryKind {
    VTask* task;
    explicit EveryKind(VCollection& c, const std::string& e) {
        auto* folder = AddNode<VGroup>(c);
        folder->name = ("Caf" + e).c_str();
        auto* contact = AddNode<VContact>(c, folder);
        contact->name = ("n" + e).c_str();
        contact->spareText1 = ("s1" + e).c_str();
        contact->firstName = ("Ren" + e).c_str();
        contact->lastName = ("Lef" + e + "vre").c_str();
        contact->spareText2 = ("s2" + e).c_str();
        contact->initials = ("R" + e).c_str();
        contact->email = ("r" + e + "@example.org").c_str();
        task = AddNode<VTask>(c, folder);
        task->name = ("t" + e).c_str();
        task->what = ("Pr" + e + "parer").c_str();
        task->startDate = "2010-06-25";
        task->assignees[1] = contact;
        auto* todo = AddNode<VTodo>(c, folder);
        todo->what = ("Caf" + e).c_str();
        todo->extra = ("x" + e).c_str();
        for (VCommItem* item : {(VCommItem*)AddNode<VCall>(c), (VCommItem*)AddNode<VMail>(c)}) {
            item->who = ("Andr" + e).c_str();
            item->reason = ("r" + e).c_str();
            item->detail = ("d" + e).c_str();
            item->spareText = ("s" + e).c_str();
        }
        auto* pay = AddNode<VPay>(c, folder);
        pay->who = ("Jos" + e).c_str();
        pay->account = ("a" + e).c_str();
        auto* agreement = AddNode<VAgreement>(c, folder);
        agreement->agreement = ("Livr" + e).c_str();
        agreement->withWho = ("Ren" + e).c_str();
        auto* fact = AddNode<VFact>(c, folder);
        fact->name = ("f" + e).c_str();
        fact->description = ("line " + e + "\r\nnext").c_str();
        auto* file = AddNode<VFile>(c, folder);
        file->location = ("/home/r" + e + "/a.txt").c_str();
        auto* url = AddNode<VURL>(c, folder);
        url->url = ("https://caf" + e + ".example/").c_str();
        url->description = ("u" + e).c_str();
    }
};

class TextEncodingDocumentTest : public LogTest {};

TEST_F(TextEncodingDocumentTest, AUtf8DocumentSaysSoFirstAndLoadsAndSavesByteForByte) {
    // Sound UTF-8 and broken bytes alike come back as they were, record for record.
    const std::string file =
        HEADER + UTF8_RECORD +
        NodeRecord("NGRP", "\xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA", 1, 0, FOLDER_FIELDS) +
        NodeRecord("NGRP", "broken \xFF\xC3(", 2, 0, FOLDER_FIELDS);
    VCollection c;
    LoadBytes(c, file);
    EXPECT_EQ(c.textEncoding, UTF8);
    ASSERT_NE(c.root->next, nullptr);
    EXPECT_EQ(TextToUtf8(c.root->next->name.Text(), c.textEncoding),
              "broken \xEF\xBF\xBD\xEF\xBF\xBD(")
        << "shown with U+FFFD";
    std::string saved = DocumentBytes(c);
    EXPECT_EQ(saved.substr(0, HEADER.size() + UTF8_RECORD.size()), HEADER + UTF8_RECORD);
    VCollection again;
    LoadBytes(again, saved);
    EXPECT_EQ(DocumentBytes(again), file) << "two saves reverse the records twice";
    EXPECT_EQ(Log(), "");
}

TEST_F(TextEncodingDocumentTest, AFileWithoutTheRecordIsWindows1252ByteForByte) {
    const std::string file = HEADER + NodeRecord("NGRP", "Caf\xE9 \x80 \xC3\xA9", 1, 0, FOLDER_FIELDS);
    VCollection c;
    LoadBytes(c, file);
    EXPECT_EQ(c.textEncoding, CP1252);
    EXPECT_EQ(DocumentBytes(c), file);
    // A loaded UTF-8 document does not leave its encoding to the next file.
    LoadBytes(c, HEADER + UTF8_RECORD + NodeRecord("NGRP", "x", 1, 0, FOLDER_FIELDS));
    EXPECT_EQ(c.textEncoding, UTF8);
    LoadBytes(c, file);
    EXPECT_EQ(c.textEncoding, CP1252);
}

TEST_F(TextEncodingDocumentTest, AnUnknownEncodingNameIsReadAsWindows1252WithAWarning) {
    VCollection c;
    LoadBytes(c, HEADER + "TENC" + Int(4 + 2 + 6) + Text("EBCDIC") +
                     NodeRecord("NGRP", "a", 1, 0, FOLDER_FIELDS));
    EXPECT_EQ(c.textEncoding, CP1252);
    EXPECT_NE(Log().find("unknown text encoding 'EBCDIC'"), std::string::npos) << Log();
    ASSERT_NE(c.root->next, nullptr);
    EXPECT_STREQ(c.root->next->name.Text(), "a");
}

// The loading steps of a reader that knows only the node records: an unknown tag is
// skipped by its length. Answers the nodes read (in record order) and the tags skipped.
struct NodeRecordsReader {
    VCollection owner;
    std::vector<std::unique_ptr<VNode>> nodes;
    std::vector<std::string> skipped;

    explicit NodeRecordsReader(const std::string& file) {
        QFile in((const unsigned char*)file.data(), (long)file.size());
        char header[8];
        if (in.Read(header, 8) != 8) return;
        for (;;) {
            char tag[4];
            std::int32_t length = 0;
            if (in.Read(tag, 4) != 4 || !in.Read32(length)) return;
            long next = in.Tell() + length - 4;
            std::unique_ptr<VNode> node(MakeNodeForTag(tag, &owner));
            if (node) {
                node->Load(in);
                nodes.push_back(std::move(node));
            } else {
                skipped.emplace_back(tag, 4);
            }
            if (!in.Seek(next, 0)) return;
        }
    }
};

TEST_F(TextEncodingDocumentTest, AReaderOfTheNodeRecordsOnlyOpensAUtf8FileAndKeepsEveryRecord) {
    VCollection c;
    EveryKind kinds(c, "\xC3\xA9");
    c.textEncoding = UTF8;
    std::string file = DocumentBytes(c);

    NodeRecordsReader old(file);
    EXPECT_EQ(old.skipped, std::vector<std::string>{"TENC"});
    std::vector<VNode*> list; // in the order of the records: from the end of the list back
    for (VNode* n = c.root->next; n; n = n->next)
        list.insert(list.begin(), n);
    ASSERT_EQ(old.nodes.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_STREQ(old.nodes[i]->TypeName(), list[i]->TypeName());
        EXPECT_EQ(std::string(old.nodes[i]->name.Text()), list[i]->name.Text())
            << "the UTF-8 bytes, shown there as Windows-1252 characters";
    }

    // The whole load of such a reader: the record is as unknown to it as any other tag,
    // and kept as such.
    std::string unknown = file;
    unknown.replace(HEADER.size(), 4, "ZZZZ");
    VCollection opened;
    LoadBytes(opened, unknown);
    EXPECT_EQ(opened.textEncoding, CP1252);
    VCollection again;
    LoadBytes(again, DocumentBytes(opened));
    EXPECT_EQ(DocumentBytes(again), unknown) << "every record, byte for byte";
    EXPECT_EQ(Log(), "");
}

TEST_F(TextEncodingDocumentTest, TheChangeToUtf8ConvertsEveryTextOfEveryKindOnce) {
    VCollection converted;
    EveryKind before(converted, "\xE9");
    converted.ConvertTexts(UTF8);
    EXPECT_EQ(converted.textEncoding, UTF8);
    ASSERT_NE(before.task->assignees[1], nullptr) << "contacts are found again";
    EXPECT_EQ(std::string(before.task->assignees[1]->firstName.Text()), "Ren\xC3\xA9");

    VCollection written;
    EveryKind direct(written, "\xC3\xA9");
    written.textEncoding = UTF8;
    EXPECT_EQ(DocumentBytes(converted), DocumentBytes(written));
    converted.ConvertTexts(UTF8);
    EXPECT_EQ(DocumentBytes(converted), DocumentBytes(written)) << "once only";
}

TEST_F(TextEncodingDocumentTest, ATextWindows1252CannotHoldChangesTheDocumentToUtf8) {
    VCollection c;
    auto* folder = AddNode<VGroup>(c);
    folder->name = "Caf\xE9";
    EXPECT_EQ(c.EnteredText(U"na\u00EFve \u20AC"), "na\xEFve \x80");
    EXPECT_EQ(c.textEncoding, CP1252) << "a text Windows-1252 holds changes nothing";
    EXPECT_STREQ(folder->name.Text(), "Caf\xE9");

    EXPECT_EQ(c.EnteredText(U"\u0141ukasz \u0416\u0443\u043A \u65E5\u672C \u2713"),
              "\xC5\x81ukasz \xD0\x96\xD1\x83\xD0\xBA \xE6\x97\xA5\xE6\x9C\xAC \xE2\x9C\x93");
    EXPECT_EQ(c.textEncoding, UTF8);
    EXPECT_STREQ(folder->name.Text(), "Caf\xC3\xA9");
    EXPECT_EQ(folder->parent, c.root);

    EXPECT_EQ(c.EnteredUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(c.textEncoding, UTF8) << "never back by itself";
    EXPECT_STREQ(folder->name.Text(), "Caf\xC3\xA9");
}

// Names as UTF-8 source text, stored in the case's encoding.
struct OrderCase {
    TextEncoding encoding;
    std::vector<std::string> names;
    const char* filter;             // UTF-8, any case
    std::vector<std::string> shown; // in order
};

std::vector<std::string> ShownNames(const OrderCase& oc) {
    VCollection c;
    c.textEncoding = oc.encoding;
    for (const std::string& name : oc.names) {
        auto* fact = AddNode<VFact>(c);
        fact->name = TextFromUtf8(name, oc.encoding).c_str();
    }
    c.filterText = UpperText(oc.filter, UTF8).c_str();
    c.MakeView(c.root);
    std::vector<std::string> shown;
    for (VNode* n = c.root->nextShown; n; n = n->nextShown)
        shown.push_back(TextToUtf8(n->name.Text(), oc.encoding));
    return shown;
}

TEST_F(TextEncodingDocumentTest, OrderAndFilterWorkOnCharactersInBothEncodings) {
    const OrderCase cases[] = {
        // Windows-1252: the byte order of old (Z before É before é), the filter by
        // characters.
        {CP1252,
         {"\xC3\xA9t\xC3\xA9", "Zoo", "\xC3\x89mile", "apple", "\xE2\x82\xAC"},
         "",
         {"Zoo", "apple", "\xE2\x82\xAC", "\xC3\x89mile", "\xC3\xA9t\xC3\xA9"}},
        {CP1252,
         {"\xC5\xBD\xC3\xA1k", "Zak", "\xC5\xBE\xC3\xA1\x64n\xC3\xBD"},
         "\xC5\xBE\xC3\xA1",
         {"\xC5\xBD\xC3\xA1k", "\xC5\xBE\xC3\xA1\x64n\xC3\xBD"}},
        {CP1252,
         {"Caf\xC3\xA9", "CAF\xC3\x89", "Cafe"},
         "caf\xC3\xA9",
         {"CAF\xC3\x89", "Caf\xC3\xA9"}},
        // UTF-8: the same order for what Windows-1252 holds, then by code point.
        {UTF8,
         {"\xE6\x97\xA5\xE6\x9C\xAC", "\xD0\x96\xD1\x83\xD0\xBA", "\xC5\x81ukasz", "Zoo",
          "\xC3\x89mile", "\xE2\x82\xAC", "apple"},
         "",
         {"Zoo", "apple", "\xE2\x82\xAC", "\xC3\x89mile", "\xC5\x81ukasz",
          "\xD0\x96\xD1\x83\xD0\xBA", "\xE6\x97\xA5\xE6\x9C\xAC"}},
        {UTF8,
         {"\xC5\xBD\xC3\xA1k", "Zak", "\xC5\xBE\xC3\xA1\x64n\xC3\xBD"},
         "\xC5\xBE",
         {"\xC5\xBD\xC3\xA1k", "\xC5\xBE\xC3\xA1\x64n\xC3\xBD"}},
        {UTF8,
         {"\xD0\x96\xD1\x83\xD0\xBA", "\xD0\xB6\xD1\x83\xD0\xBA", "Zhuk"},
         "\xD0\x96\xD0\xA3",
         {"\xD0\x96\xD1\x83\xD0\xBA", "\xD0\xB6\xD1\x83\xD0\xBA"}},
        {UTF8,
         {"\xCE\x9F\xCE\xB4\xCF\x8C\xCF\x82", "Odos"},
         "\xCE\xBF\xCE\xB4",
         {"\xCE\x9F\xCE\xB4\xCF\x8C\xCF\x82"}},
        {UTF8,
         {"Call \xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5", "Call"},
         "\xE6\x97\xA5\xE6\x9C\xAC",
         {"Call \xE6\x97\xA5\xE6\x9C\xAC"}},
    };
    for (const OrderCase& oc : cases)
        EXPECT_EQ(ShownNames(oc), oc.shown)
            << TextEncodingName(oc.encoding) << " filter '" << oc.filter << "'";
}

} // namespace
