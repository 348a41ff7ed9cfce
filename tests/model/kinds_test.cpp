// Display texts, search and ordering of the item kinds.
#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vgroup.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"

#include "foundation/qshell.h"
#include "support/answering_editor.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/scripted_ui.h"

#include <string>
#include <vector>

namespace {

class KindsTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
    }
    void TearDown() override {
        QSetShellHandler(nullptr);
        LogTest::TearDown();
    }

    static std::string Describe(const VNode& node, bool shortForm = false) {
        qstring out("previous text");
        node.Describe(out, shortForm);
        return out.Text();
    }
    VContact* Contact(const char* first, const char* last, const char* initials) {
        auto* c = AddNode<VContact>(collection);
        c->firstName = first;
        c->lastName = last;
        c->initials = initials;
        return c;
    }

    VCollection collection;
};

TEST_F(KindsTest, ActionTexts) {
    auto* task = AddNode<VTask>(collection);
    EXPECT_EQ(Describe(*task), " [no date yet]");
    EXPECT_EQ(Describe(*task, true), "");

    task->what = "Report";
    task->flags &= ~NO_DATE;
    task->startDate = "2010-06-25";
    task->duration = 3;
    task->assignees[0] = Contact("Anna", "Zee", "AZ");
    task->assignees[1] = Contact("Bo", "", "B");
    collection.dateFormat = 1;
    EXPECT_EQ(Describe(*task), "Report (Fri 25-06-2010 upto 27-06-2010) (Anna Zee, Bo)");
    EXPECT_EQ(Describe(*task, true), "Report (AZ, B)");

    task->duration = 1;
    task->assignees[2] = task->assignees[1];
    task->assignees[1] = nullptr;
    collection.dateFormat = 0;
    EXPECT_EQ(Describe(*task), "Report (Fri 25-Jun-10) (Anna Zee, Bo)") << "slot 1 empty";

    task->startDate = "";
    EXPECT_EQ(Describe(*task), "Report (Anna Zee, Bo)") << "no readable date: no date part";
}

TEST_F(KindsTest, ActionDatesAndDurations) {
    VTask task(&collection);
    struct Case {
        const char* start;
        int days;
        const char* result;
    } shifts[] = {
        {"2010-12-31", 1, "2011-01-01"},
        {"2010-03-01", -1, "2010-02-28"},
        {"2026-03-28", 2, "2026-03-30"}, // across the spring change
        {"2026-10-24", 2, "2026-10-26"}, // across the autumn change
        {"", 5, ""},
        {"someday", 5, "someday"},
    };
    for (const auto& c : shifts) {
        task.startDate = c.start;
        task.ShiftDates(c.days);
        EXPECT_STREQ(task.startDate.Text(), c.result) << c.start;
    }
    task.duration = 3;
    task.ChangeDuration(-28);
    EXPECT_EQ(task.duration, 1);
    task.ChangeDuration(4);
    EXPECT_EQ(task.duration, 5);
}

TEST_F(KindsTest, ForgettingAContactMovesTheOthersUp) {
    VTask task(&collection);
    VContact* a = Contact("A", "", "A");
    VContact* b = Contact("B", "", "B");
    VContact* c = Contact("C", "", "C");
    task.assignees[0] = a;
    task.assignees[1] = b;
    task.assignees[2] = c;
    EXPECT_TRUE(task.HasContact(b));
    EXPECT_EQ(task.MainContact(), a);
    task.ForgetContact(a);
    EXPECT_EQ(task.assignees[0], b);
    EXPECT_EQ(task.assignees[1], c);
    EXPECT_EQ(task.assignees[2], nullptr);
    EXPECT_FALSE(task.HasContact(a));
    task.ForgetContact(a);
    EXPECT_EQ(task.assignees[0], b);
}

TEST_F(KindsTest, ActionOrder) {
    auto make = [&](int priority, const char* start, int duration, const char* name) {
        auto* t = AddNode<VTask>(collection);
        t->priority = priority;
        t->startDate = start;
        t->duration = duration;
        t->name = name;
        return t;
    };
    VTask* high = make(2, "2010-06-30", 9, "z");
    VTask* early = make(1, "2010-06-01", 9, "z");
    VTask* late = make(1, "2010-06-20", 2, "z");
    VTask* shorter = make(1, "2010-06-20", 1, "z");
    VTask* named = make(1, "2010-06-20", 1, "a");
    EXPECT_TRUE(high->ComesBefore(early));
    EXPECT_TRUE(early->ComesBefore(late));
    EXPECT_TRUE(shorter->ComesBefore(late));
    EXPECT_TRUE(named->ComesBefore(shorter));
    EXPECT_FALSE(shorter->ComesBefore(named));

    // Other kinds fall back to the names.
    auto* todo = AddNode<VTodo>(collection);
    todo->name = "b";
    EXPECT_TRUE(named->ComesBefore(todo));
    EXPECT_FALSE(high->ComesBefore(todo));

    // Sorting by contact puts the contact's order first.
    collection.sortMode = 1;
    late->assignees[0] = Contact("Alice", "", "A");
    high->assignees[0] = Contact("Zoe", "", "Z");
    EXPECT_TRUE(late->ComesBefore(high));
    EXPECT_FALSE(high->ComesBefore(late));
    EXPECT_TRUE(high->ComesBefore(early)) << "without assignee: priority decides";
}

TEST_F(KindsTest, ToDoOrderAndSearch) {
    VTodo a(&collection), b(&collection);
    a.priority = 2;
    b.priority = 1;
    EXPECT_TRUE(a.ComesBefore(&b));
    b.priority = 2;
    a.what = "Apples";
    b.what = "bananas";
    EXPECT_TRUE(a.ComesBefore(&b));
    EXPECT_FALSE(b.ComesBefore(&a));
    EXPECT_EQ(Describe(a), "Apples");
    EXPECT_TRUE(a.Matches("PPLE"));
    EXPECT_FALSE(a.Matches("TODO")) << "only the text is searched";
    EXPECT_FALSE(a.Matches(""));
}

TEST_F(KindsTest, ContactTextsAndOrder) {
    VContact fresh(&collection);
    EXPECT_EQ(Describe(fresh), "Firstname LastName / ");
    EXPECT_FALSE(fresh.tempFlags & HAS_CHECKBOX);
    EXPECT_EQ(fresh.MainContact(), &fresh);
    VContact* anna = Contact("Anna", "Zee", "AZ");
    anna->contactFlags = VContact::EXTERNAL;
    EXPECT_EQ(Describe(*anna), "Anna Zee / AZ [external]");
    EXPECT_TRUE(anna->Matches("ZEE"));
    EXPECT_FALSE(anna->Matches("AZ"));

    VContact* annaB = Contact("Anna", "Bee", "AB");
    VContact* bo = Contact("Bo", "", "B");
    EXPECT_EQ(anna->ContactOrder(bo), 1);
    EXPECT_EQ(bo->ContactOrder(anna), -1);
    EXPECT_EQ(annaB->ContactOrder(anna), 1);
    EXPECT_EQ(anna->ContactOrder(anna), 0);
    EXPECT_TRUE(annaB->ComesBefore(anna));
    EXPECT_FALSE(anna->ComesBefore(annaB));
    VContact* twin = Contact("Anna", "Zee", "AZ");
    EXPECT_FALSE(twin->ComesBefore(anna));
    EXPECT_FALSE(anna->ComesBefore(twin)) << "equal contacts keep their places";
}

TEST_F(KindsTest, CommunicationTexts) {
    VCall call(&collection);
    EXPECT_EQ(Describe(call), "Call Call ()");
    call.who = "Carl";
    call.reason = "offer";
    EXPECT_EQ(Describe(call), "Call Carl (offer)");
    call.detail = "555";
    EXPECT_EQ(Describe(call), "Call Carl (offer) @ 555");

    VMail mail(&collection);
    EXPECT_EQ(Describe(mail), "Mail ()");
    mail.detail = "d@example.org";
    EXPECT_EQ(Describe(mail), "Mail () @ d@example.org");

    VPay pay(&collection);
    EXPECT_EQ(Describe(pay), "<name> ($0) - <reason>");
    pay.account = "NL00";
    EXPECT_EQ(Describe(pay), "<name> ($0 acct NL00) - <reason>");
}

TEST_F(KindsTest, CommunicationSearchAndOrder) {
    VCall call(&collection);
    call.reason = "contract";
    call.detail = "555";
    EXPECT_TRUE(call.Matches("CAL"));
    EXPECT_FALSE(call.Matches("CONTRACT"));
    EXPECT_FALSE(call.Matches("555"));
    VPay pay(&collection);
    pay.detail = "$120";
    pay.account = "nl99bank";
    EXPECT_TRUE(pay.Matches("$120"));
    EXPECT_TRUE(pay.Matches("NL99"));
    EXPECT_TRUE(pay.Matches("REASON"));

    VCall todayB(&collection), todayA(&collection), high(&collection);
    todayB.priority = todayA.priority = 3;
    high.priority = 2;
    todayA.who = "Ann";
    todayB.who = "Ben";
    EXPECT_TRUE(todayA.ComesBefore(&todayB));
    EXPECT_TRUE(todayB.ComesBefore(&high));
    EXPECT_FALSE(high.ComesBefore(&todayA));

    VContact contact(&collection);
    EXPECT_FALSE(call.HasContact(&contact));
    EXPECT_FALSE(pay.HasContact(&contact));
    EXPECT_EQ(call.MainContact(), nullptr);
}

TEST_F(KindsTest, ReferenceTexts) {
    VFact fact(&collection);
    EXPECT_EQ(Describe(fact), "Fact: <description>");
    fact.description = "first\r\nsecond\tthird\nfourth";
    EXPECT_EQ(Describe(fact), "Fact: first second third fourth");
    EXPECT_TRUE(fact.Matches("FACT"));
    EXPECT_TRUE(fact.Matches("SECOND"));

    VAgreement agreement(&collection);
    EXPECT_EQ(Describe(agreement), "With <person>: Agreement (on )");
    agreement.agreedOn = "2010-06-25";
    collection.dateFormat = 2;
    EXPECT_EQ(Describe(agreement), "With <person>: Agreement (on 06-25-2010)");
    EXPECT_STREQ(agreement.TypeName(), "node");

    VFile file(&collection);
    EXPECT_EQ(Describe(file), "File");
    EXPECT_STREQ(file.TypeName(), "node");
    EXPECT_STREQ(file.location.Text(), "C:\\");

    VURL url(&collection);
    url.url = "https://example.org/";
    EXPECT_EQ(Describe(url), "<url description> [https://example.org/]");
    EXPECT_TRUE(url.Matches("EXAMPLE.ORG"));
}

TEST_F(KindsTest, OpenRunsTheDialogExceptForLocations) {
    AnsweringEditor editor;
    ScriptedUI ui;
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return false;
    });

    VFact fact(&collection);
    VAgreement agreement(&collection);
    VFile file(&collection);
    VGroup folder(&collection);
    EXPECT_TRUE(fact.Open());
    EXPECT_TRUE(agreement.Open());
    EXPECT_TRUE(folder.Open());
    EXPECT_FALSE(file.Open()) << "file locations have no dialog";
    editor.answer = [](VNode&) { return false; };
    EXPECT_FALSE(fact.Edit()) << "cancelled";
    std::vector<std::string> edited;
    for (VNode* node : editor.opened)
        edited.push_back(node->TypeName());
    EXPECT_EQ(edited, (std::vector<std::string>{"fact", "node", "group", "fact"}));

    VURL url(&collection);
    url.url = "https://nowhere.invalid/";
    EXPECT_FALSE(url.Open());
    EXPECT_EQ(opened, std::vector<std::string>{"https://nowhere.invalid/"});
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Can't open url (https://nowhere.invalid/)");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_STREQ(url.url.Text(), "https://nowhere.invalid/");

    QSetShellHandler([](const char*) { return true; });
    EXPECT_FALSE(url.Open()) << "the item itself never changes";
    EXPECT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(editor.opened.size(), 4u);
}

// A location comes from a document that may come from anyone: it opens a web page, a
// mail address or a file or folder of this machine, never a script or whatever else the
// system's handler would run for another kind of address.
TEST_F(KindsTest, ALocationOpensOnlyWebPagesMailAndExistingFiles) {
    ScriptedUI ui;
    std::vector<std::string> opened;
    QSetShellHandler([&](const char* target) {
        opened.push_back(target);
        return true;
    });
    WriteWholeFile("notes.txt", "notes");
    const char* const OPENS = "";
    const char* const NOT_A_LOCATION = ": a location opens a web page (http, https), a mail "
                                       "address (mailto) or a file or folder by its full path.";
    const char* const MISSING = ": there is no such file or folder.";
    struct Case {
        std::string target;
        const char* refusal;
    } cases[] = {
        {"https://example.org/a?b=c", OPENS},
        {"http://example.org", OPENS},
        {"HTTPS://EXAMPLE.ORG/", OPENS},
        {"mailto:ann@example.org", OPENS},
        {dir.File("notes.txt"), OPENS},
        {dir.Path(), OPENS},
        {"javascript:alert(document.cookie)", NOT_A_LOCATION},
        {"JavaScript:alert(1)", NOT_A_LOCATION},
        {"file:///etc/passwd", NOT_A_LOCATION},
        {"data:text/html,<script>alert(1)</script>", NOT_A_LOCATION},
        {"ftp://example.org/", NOT_A_LOCATION},
        {" https://example.org/", NOT_A_LOCATION}, // not what it looks like
        {"https://", NOT_A_LOCATION},
        {"mailto:", NOT_A_LOCATION},
        {"https://example.org/\n--help", NOT_A_LOCATION},
        {"notes.txt", NOT_A_LOCATION}, // relative to the window's working folder, wherever
        {"--help", NOT_A_LOCATION},
        {"", NOT_A_LOCATION},
        {dir.File("missing.txt"), MISSING},
    };
    for (const Case& c : cases) {
        VURL url(&collection);
        url.url = c.target.c_str();
        opened.clear();
        ui.asked.clear();
        EXPECT_FALSE(url.Open()) << c.target;
        if (c.refusal == OPENS) {
            EXPECT_EQ(opened, std::vector<std::string>{c.target});
            EXPECT_TRUE(ui.asked.empty()) << c.target;
        } else {
            EXPECT_TRUE(opened.empty()) << c.target << ": nothing is run";
            ASSERT_EQ(ui.asked.size(), 1u) << c.target;
            EXPECT_EQ(ui.asked[0].text, "Can't open url (" + c.target + ")" + c.refusal);
            EXPECT_EQ(ui.asked[0].caption, "Error");
            EXPECT_EQ(ui.asked[0].icon, MsgIcon::Error);
        }
        EXPECT_STREQ(url.url.Text(), c.target.c_str()) << "the item is left as it is";
    }
}

// What each kind offers, asked of the node instead of its type name.
TEST(KindCapabilitiesTest, EachKindSaysWhatItOffers) {
    VCollection c;
    struct Case {
        VNode* node;
        bool canWait, hasDates, hasCheckBox;
        ItemDialog dialog;
    };
    const Case cases[] = {
        {new VGroup(&c), false, false, false, ItemDialog::Folder},
        {new VTask(&c), true, true, true, ItemDialog::Action},
        {new VTodo(&c), true, false, true, ItemDialog::Todo},
        {new VContact(&c), false, false, false, ItemDialog::Contact},
        {new VCall(&c), true, false, true, ItemDialog::Call},
        {new VMail(&c), true, false, true, ItemDialog::Mail},
        {new VPay(&c), true, false, true, ItemDialog::Pay},
        {new VAgreement(&c), false, false, false, ItemDialog::Agreement},
        {new VFact(&c), false, false, false, ItemDialog::Fact},
        {new VURL(&c), false, false, false, ItemDialog::Location},
        {new VFile(&c), false, false, false, ItemDialog::None},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.node->TypeName());
        EXPECT_EQ(k.node->CanWait(), k.canWait);
        EXPECT_EQ(k.node->HasDates(), k.hasDates);
        EXPECT_EQ(k.node->HasCheckBox(), k.hasCheckBox);
        EXPECT_EQ(k.node->Dialog(), k.dialog);
        delete k.node;
    }
}

} // namespace

namespace {

TEST_F(KindsTest, TextSearchIsTheUpperCasedTextHoldingTheFilter) {
    // What an upper-cased copy and a plain search would answer, for tricky texts: a match
    // at the very end, a partial match just before it, repeated prefixes, case. The
    // filter is UTF-8 and compares characters: the document's "é" (Windows-1252 here) is
    // found by "É", and a filter byte that is no UTF-8 finds nothing.
    struct Case {
        const char* text;
        const char* filter;
        bool found;
    } cases[] = {
        {"Invoice", "ICE", true},
        {"Invoice", "ICES", false},
        {"aaab", "AAB", true},
        {"abab", "ABAC", false},
        {"x", "X", true},
        {"", "X", false},
        {"plan", "", false},
        {"r\xe9sum\xe9", "R\xc3\x89SUM", true},
        {"r\xe9sum\xe9", "R\xe9SUM", false},
        {"a-b c", "B C", true},
        {"ab", "ABC", false},
    };
    for (const Case& c : cases) {
        VFact fact(&collection);
        fact.name = "";
        fact.description = c.text;
        EXPECT_EQ(fact.Matches(c.filter), c.found) << "'" << c.text << "' for '" << c.filter << "'";
        std::string upper =
            TextToUtf8(UpperText(c.text, collection.textEncoding), collection.textEncoding);
        EXPECT_EQ(c.filter[0] && upper.find(c.filter) != std::string::npos, c.found)
            << "the plain way agrees";
    }
}

} // namespace
