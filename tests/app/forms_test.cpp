// The item dialogs' forms: what each shows when it opens, its date and contact logic,
// its checks on OK, and what reaches the item on OK and on Cancel.
#include "app/forms/dlg_agreement.h"
#include "app/forms/dlg_commitem.h"
#include "app/forms/dlg_group.h"
#include "app/forms/dlg_prefs.h"
#include "app/forms/dlg_reference.h"
#include "app/forms/dlg_resource.h"
#include "app/forms/dlg_taskfull.h"
#include "app/forms/dlg_todo.h"
#include "app/forms/form_for_node.h"
#include "app/skedraDoc.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vdates.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/log_capture.h"
#include "support/model_builders.h"
#include "support/scripted_editor.h"
#include "support/scripted_ui.h"

#include <climits>
#include <cstdlib>
#include <ctime>

namespace {

class FormsTest : public LogTest {
  protected:
    void SetUp() override {
        LogTest::SetUp();
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
    }
    static QDate Day(const char* text) {
        QDate date;
        EXPECT_TRUE(ParseDate(text, date)) << text;
        return date;
    }
    static std::string Text(const QDate& date) { return PickerText(date).Text(); }
    static QDate Today() {
        QDate today;
        today.SetToday();
        return today;
    }
    VContact* Contact(const char* first, const char* last) {
        auto* c = AddNode<VContact>(collection);
        c->firstName = first;
        c->lastName = last;
        return c;
    }
    // A dated action of `duration` days from `start`.
    VTask* Action(const char* start, int duration) {
        auto* task = AddNode<VTask>(collection);
        task->what = "Plan";
        task->startDate = start;
        task->duration = duration;
        task->flags &= ~NO_DATE;
        return task;
    }

    VCollection collection;
    ScriptedUI ui;
};

TEST_F(FormsTest, PickerDatesOfStoredTexts) {
    struct Case {
        const char* stored;
        bool isDate;
    } cases[] = {
        {"2010-06-25", true},   {"1900-01-01", true},  {"2012-02-29", true},  {"", false},
        {"1899-12-31", false},  {"2010-02-31", false}, {"2011-02-29", false}, {"2010-6-25", false},
        {"2010-06-25x", false}, {"next week", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsCalendarDate(c.stored), c.isDate) << c.stored;
        std::string shown = Text(PickerDate(c.stored));
        EXPECT_EQ(shown, c.isDate ? c.stored : Text(Today())) << c.stored;
    }
    QDate early;
    early.SetDate(5, 3, 1901);
    EXPECT_EQ(Text(early), "1901-03-05");
}

// Date fields show the document's date format and take what is typed in it.
TEST_F(FormsTest, DateFieldsInTheDocumentsFormat) {
    struct Shown {
        int format;
        const char* text;
    } shown[] = {{0, "20-Dec-26"}, {1, "20-12-2026"}, {2, "12-20-2026"}, {7, "20-Dec-26"}};
    for (const Shown& c : shown)
        EXPECT_STREQ(DateFieldText(Day("2026-12-20"), c.format).Text(), c.text) << c.format;
    EXPECT_STREQ(DateFieldPattern(1), "DD-MM-YYYY");
    EXPECT_STREQ(DateFieldPattern(2), "MM-DD-YYYY");

    struct Typed {
        int format;
        const char* typed;
        const char* stored; // null: no day
    } typed[] = {
        {1, "20-12-2026", "2026-12-20"},
        {1, " 20/12/2026 ", "2026-12-20"},
        {1, "1.2.2026", "2026-02-01"},
        {1, "20-12-26", "2026-12-20"},
        {1, "29-02-2028", "2028-02-29"},
        {1, "31-02-2026", nullptr},
        {1, "29-02-2027", nullptr},
        {1, "12/20/2026", nullptr},
        {1, "20-12-0003", nullptr},
        {1, "31-12-1899", nullptr},
        {1, "20-12", nullptr},
        {1, "20-12-2026-1", nullptr},
        {1, "2O-12-2026", nullptr},
        {1, "", nullptr},
        {1, "20-12-202", nullptr},
        {1, "0-12-2026", nullptr},
        {2, "12/20/2026", "2026-12-20"},
        {2, "20-12-2026", nullptr},
        {2, "02-31-2026", nullptr},
        {0, "20-Dec-26", "2026-12-20"},
        {0, "20-dec-2026", "2026-12-20"},
        {0, "20-12-26", "2026-12-20"},
        {0, "5-Jun-75", "1975-06-05"},
        {0, "31-Feb-26", nullptr},
        {0, "20-Dez-26", nullptr},
        // ISO 8601 in every format.
        {0, "2026-12-12", "2026-12-12"},
        {1, "2026-12-12", "2026-12-12"},
        {2, " 2026/02/01", "2026-02-01"},
        {0, "2026-Dec-12", nullptr},
        {1, "2026-02-30", nullptr},
        {2, "2026-13-01", nullptr},
        {1, "1899-12-31", nullptr},
    };
    for (const Typed& c : typed) {
        QDate date = Day("2000-01-01");
        EXPECT_EQ(ParseDateField(c.typed, c.format, date), c.stored != nullptr)
            << c.format << " " << c.typed;
        EXPECT_EQ(Text(date), c.stored ? c.stored : "2000-01-01") << c.format << " " << c.typed;
    }

    // Taking a typed date tells the user about a text that names no day.
    QDate date = Day("2026-01-05");
    EXPECT_FALSE(TakeDateField("31-02-2026", 1, date));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text,
              "\"31-02-2026\" is not a date. Please type the date as DD-MM-YYYY.");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(Text(date), "2026-01-05");
    EXPECT_TRUE(TakeDateField("06-01-2026", 1, date));
    EXPECT_EQ(Text(date), "2026-01-06");
    EXPECT_EQ(ui.asked.size(), 1u);
}

// Dates typed into the action's fields are stored as typed; the other fields follow.
TEST_F(FormsTest, ActionDatesAreStoredAsTyped) {
    collection.dateFormat = 1;
    auto* task = Action("2026-12-01", 3);
    CDlgTaskFull form(*task);
    EXPECT_STREQ(form.DateShown(form.start).Text(), "01-12-2026");
    EXPECT_STREQ(form.DateShown(form.end).Text(), "03-12-2026");

    ASSERT_TRUE(form.StartTyped("20-12-2026")); // past the end: the length stays
    EXPECT_EQ(Text(form.start), "2026-12-20");
    EXPECT_EQ(Text(form.end), "2026-12-22");
    EXPECT_EQ(form.duration, 3);

    // A later end typed whole is taken without a word.
    ASSERT_TRUE(form.EndTyped("31-12-2026"));
    EXPECT_EQ(form.duration, 12);
    EXPECT_TRUE(ui.asked.empty());

    // An impossible date is refused with a message and changes nothing.
    EXPECT_FALSE(form.EndTyped("31-02-2027"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text,
              "\"31-02-2027\" is not a date. Please type the date as DD-MM-YYYY.");
    EXPECT_EQ(Text(form.end), "2026-12-31");
    EXPECT_EQ(form.duration, 12);

    // The same date again is no change: a dateless action stays dateless.
    task->flags |= NO_DATE;
    CDlgTaskFull dateless(*task);
    ASSERT_TRUE(dateless.StartTyped("01-12-2026"));
    EXPECT_TRUE(dateless.noDate);

    form.Store();
    EXPECT_STREQ(task->startDate.Text(), "2026-12-20");
    EXPECT_EQ(task->duration, 12);

    collection.dateFormat = 2;
    CDlgTaskFull us(*task);
    EXPECT_STREQ(us.DateShown(us.start).Text(), "12-20-2026");
    ASSERT_TRUE(us.StartTyped("12/21/2026"));
    us.Store();
    EXPECT_STREQ(task->startDate.Text(), "2026-12-21");
}

TEST_F(FormsTest, AgreementDateInTheDocumentsFormat) {
    collection.dateFormat = 2;
    auto* agreement = AddNode<VAgreement>(collection);
    agreement->agreedOn = "2026-07-04";
    DlgAgreement form(*agreement);
    EXPECT_EQ(form.dateFormat, 2);
    EXPECT_STREQ(DateFieldText(form.agreedOn, form.dateFormat).Text(), "07-04-2026");
}

TEST_F(FormsTest, IntegerTexts) {
    struct Case {
        const char* text;
        int leading;
        bool whole;
    } cases[] = {
        {"12", 12, true},
        {" 7 ", 7, true},
        {"-3", -3, true},
        {"+4", 4, true},
        {"12 hours", 12, false},
        {"abc", 0, false},
        {"", 0, false},
        {"-", 0, false},
        {"1.5", 1, false},
        {"99999999999", INT_MAX, true},
        {"-99999999999", INT_MIN, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LeadingInteger(c.text), c.leading) << c.text;
        int value = 77;
        EXPECT_EQ(ParseInteger(c.text, value), c.whole) << c.text;
        EXPECT_EQ(value, c.whole ? c.leading : 77) << c.text;
    }
}

TEST_F(FormsTest, ActionOpensWithTodayForAnEmptyStartAndItsValues) {
    auto* task = AddNode<VTask>(collection);
    task->hoursOfWork = 12;
    task->completion = 40;
    CDlgTaskFull form(*task);
    EXPECT_EQ(Text(form.start), Text(Today()));
    EXPECT_EQ(Text(form.end), Text(Today())) << "duration 1: the end is the start";
    EXPECT_STREQ(form.hoursOfWork.Text(), "12");
    EXPECT_STREQ(form.CompletionLabel().Text(), "40%");
    EXPECT_TRUE(form.noDate);
    EXPECT_EQ(form.priority.Shown(), 1);

    CDlgTaskFull dated(*Action("2010-06-25", 3));
    EXPECT_EQ(Text(dated.start), "2010-06-25");
    EXPECT_EQ(Text(dated.end), "2010-06-27");
    EXPECT_FALSE(dated.noDate);

    CDlgTaskFull zero(*Action("2010-06-25", 0));
    EXPECT_EQ(Text(zero.end), "2010-06-25") << "no positive duration: the end is the start";
}

TEST_F(FormsTest, DurationOnFocusLossMovesTheEnd) {
    auto* task = Action("2010-03-26", 1);
    task->flags |= NO_DATE;
    CDlgTaskFull form(*task);
    ASSERT_TRUE(form.ReadDuration("5"));
    form.DurationLeft();
    EXPECT_EQ(Text(form.end), "2010-03-30") << "start + 4 days, over the change to summer time";
    EXPECT_FALSE(form.noDate);

    ASSERT_TRUE(form.ReadDuration("0"));
    form.DurationLeft();
    EXPECT_EQ(form.duration, 1);
    EXPECT_EQ(Text(form.end), "2010-03-26");
    EXPECT_TRUE(ui.asked.empty());

    EXPECT_FALSE(form.ReadDuration("five"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Please enter an integer.");
    EXPECT_EQ(form.duration, 1) << "the refused text changes nothing";
}

TEST_F(FormsTest, AnEndBeforeTheStartIsRefused) {
    CDlgTaskFull form(*Action("2010-06-25", 3));
    form.EndChanged(Day("2010-06-29"));
    EXPECT_EQ(form.duration, 5);
    EXPECT_TRUE(ui.asked.empty());

    form.EndChanged(Day("2010-06-20"));
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "End date must be later than the start date.");
    EXPECT_EQ(ui.asked[0].caption, "Error");
    EXPECT_EQ(ui.asked[0].buttons, MsgButtons::OK);
    EXPECT_EQ(Text(form.end), "2010-06-25");
    EXPECT_EQ(form.duration, 1);

    // The message is shown every other time: the flag set by one absorbs the next.
    form.EndChanged(Day("2010-06-21"));
    EXPECT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(Text(form.end), "2010-06-25");
    form.EndChanged(Day("2010-06-22"));
    EXPECT_EQ(ui.asked.size(), 2u);
}

TEST_F(FormsTest, MovingTheStartPastTheEndKeepsTheDuration) {
    auto* task = Action("2010-06-25", 3);
    task->flags |= NO_DATE;
    CDlgTaskFull form(*task);
    form.StartChanged(Day("2010-06-30")); // three days past the end, 2010-06-27
    EXPECT_EQ(form.duration, 3);
    EXPECT_EQ(Text(form.end), "2010-07-02");
    EXPECT_FALSE(form.noDate);

    form.StartChanged(Day("2010-07-01")); // inside the span: the end stays
    EXPECT_EQ(form.duration, 2);
    EXPECT_EQ(Text(form.end), "2010-07-02");
    EXPECT_TRUE(ui.asked.empty());
}

TEST_F(FormsTest, ActionWritesBackWhatTheDialogShows) {
    VContact* zoe = Contact("Zoe", "Adams");
    VContact* anna = Contact("Anna", "Zee");
    VContact* bo = Contact("Bo", "");
    auto* task = Action("2010-06-25", 3);
    task->assignees[0] = zoe;
    for (int i = 2; i < VTask::MAX_ASSIGNEES; ++i)
        task->assignees[i] = (i % 2) ? anna : bo;
    task->reserved = 1234;

    CDlgTaskFull form(*task);
    EXPECT_EQ(form.Contacts().Labels(),
              (std::vector<std::string>{"<no-one>", "Anna Zee", "Bo ", "Zoe Adams"}));
    EXPECT_EQ(form.assigned[0], 3);
    EXPECT_EQ(form.assigned[1], 0);

    form.what = "Report";
    form.hoursOfWork = "8 hours or so";
    form.priority.Pick(2);
    form.assigned[0] = 1;
    form.assigned[1] = 2;
    form.StartChanged(Day("2010-06-24"));
    form.SliderMoved(65);
    form.done = true;
    ASSERT_EQ(form.Validate(), FormOutcome::Accept);
    form.Store();

    EXPECT_STREQ(task->what.Text(), "Report");
    EXPECT_EQ(task->hoursOfWork, 8);
    EXPECT_EQ(task->priority, 2);
    EXPECT_EQ(task->assignees[0], anna);
    EXPECT_EQ(task->assignees[1], bo);
    for (int i = 2; i < VTask::MAX_ASSIGNEES; ++i)
        EXPECT_EQ(task->assignees[i], (i % 2) ? anna : bo) << "slot " << i;
    EXPECT_STREQ(task->startDate.Text(), "2010-06-24");
    EXPECT_EQ(task->duration, 4);
    EXPECT_EQ(task->completion, 65);
    EXPECT_EQ(task->flags & (DONE | NO_DATE), (std::uint32_t)DONE);
    EXPECT_EQ(task->reserved, 1234);

    // An assignee missing from the lists (the lists hold 1000 contacts) stays unless
    // replaced; a stored priority of 3, which the dialog cannot show, stays as well.
    VContact stranger(&collection);
    task->assignees[1] = &stranger;
    task->priority = 3;
    CDlgTaskFull again(*task);
    EXPECT_EQ(again.assigned[1], 0);
    again.Store();
    EXPECT_EQ(task->assignees[1], &stranger);
    EXPECT_EQ(task->priority, 3);
}

TEST_F(FormsTest, AnActionWithoutTextAsksWhatToDo) {
    auto* task = Action("2010-06-25", 3);
    task->what = "";
    ScriptedEditor editor;
    editor.script = [](ItemForm& form, int round) {
        if (round == 1) static_cast<CDlgTaskFull&>(form).what = "Typed after the question";
        return true;
    };
    ui.answers = {MsgAnswer::OK};
    EXPECT_TRUE(task->Edit());
    ASSERT_EQ(ui.asked.size(), 1u);
    EXPECT_EQ(ui.asked[0].text, "Please enter what to do.");
    EXPECT_EQ(ui.asked[0].caption, "Vantry");
    EXPECT_EQ(ui.asked[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(editor.rounds, 2) << "OK went back to the dialog";
    EXPECT_STREQ(task->what.Text(), "Typed after the question");

    task->what = "";
    std::string before = RecordBytes(*task);
    editor.script = [](ItemForm& form, int) {
        static_cast<CDlgTaskFull&>(form).SliderMoved(90);
        return true;
    };
    ui.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(task->Edit()) << "Cancel closes the dialog as cancelled";
    EXPECT_EQ(RecordBytes(*task), before);
}

TEST_F(FormsTest, AgreementNeedsSomebodyAndKeepsAnUnreadableDateUntilOK) {
    auto* agreement = AddNode<VAgreement>(collection);
    agreement->agreedOn = "2010-02-31";
    DlgAgreement form(*agreement);
    EXPECT_EQ(Text(form.agreedOn), Text(Today()));
    EXPECT_STREQ(form.withWho.Text(), "<person>");

    form.withWho = "";
    ui.answers = {MsgAnswer::OK, MsgAnswer::Cancel};
    EXPECT_EQ(form.Validate(), FormOutcome::Stay);
    EXPECT_EQ(form.Validate(), FormOutcome::Cancel);
    ASSERT_EQ(ui.asked.size(), 2u);
    EXPECT_EQ(ui.asked[0].text, "Please enter a person's name.");
    EXPECT_EQ(ui.asked[0].caption, "Vantry");
    EXPECT_EQ(ui.asked[0].buttons, MsgButtons::OKCancel);
    EXPECT_STREQ(agreement->agreedOn.Text(), "2010-02-31") << "not rewritten without OK";

    form.withWho = "Kim";
    form.agreedOn = Day("2010-07-01");
    form.obsolete = true;
    ASSERT_EQ(form.Validate(), FormOutcome::Accept);
    form.Store();
    EXPECT_STREQ(agreement->withWho.Text(), "Kim");
    EXPECT_STREQ(agreement->agreedOn.Text(), "2010-07-01");
    EXPECT_TRUE(agreement->flags & DONE);
}

TEST_F(FormsTest, ContactNeedsAFirstNameAndInitials) {
    auto* contact = AddNode<VContact>(collection);
    contact->contactFlags = 0x6; // bits the dialog does not show
    CDlgResource form(*contact);
    form.firstName = "";
    form.initials = "";
    EXPECT_EQ(form.Validate(), FormOutcome::Stay);
    form.firstName = "Anna";
    EXPECT_EQ(form.Validate(), FormOutcome::Stay);
    ASSERT_EQ(ui.asked.size(), 2u);
    EXPECT_EQ(ui.asked[0].text, "The first name cannot be empty.");
    EXPECT_EQ(ui.asked[1].text, "Please fill in the initials.");
    for (const AskedMessage& m : ui.asked) {
        EXPECT_EQ(m.caption, "Error");
        EXPECT_EQ(m.buttons, MsgButtons::OK);
    }
    form.initials = "AZ";
    form.email = "anna@example.org";
    form.external = true;
    ASSERT_EQ(form.Validate(), FormOutcome::Accept);
    form.Store();
    EXPECT_STREQ(contact->firstName.Text(), "Anna");
    EXPECT_STREQ(contact->initials.Text(), "AZ");
    EXPECT_STREQ(contact->email.Text(), "anna@example.org");
    EXPECT_EQ(contact->contactFlags, 0x7u);
    CDlgResource clear(*contact);
    clear.external = false;
    clear.Store();
    EXPECT_EQ(contact->contactFlags, 0x6u);
}

TEST_F(FormsTest, CallMailAndPayKeepTheirTextsAsTyped) {
    auto* pay = AddNode<VPay>(collection);
    DlgPay form(*pay);
    EXPECT_STREQ(form.detail.Text(), "$0");
    form.detail = "12,50 EUR ca";
    form.account = "NL00 BANK 0123";
    form.priority.Pick(3);
    form.Store();
    EXPECT_STREQ(pay->detail.Text(), "12,50 EUR ca");
    EXPECT_STREQ(pay->account.Text(), "NL00 BANK 0123");
    EXPECT_EQ(pay->priority, 3);

    auto* call = AddNode<VCall>(collection);
    call->spareText = "kept";
    DlgCall callForm(*call);
    callForm.who = "Kim";
    callForm.reason = "the roof";
    callForm.detail = "+31 20 555";
    callForm.done = true;
    callForm.Store();
    qstring shown;
    call->Describe(shown, false);
    EXPECT_STREQ(shown.Text(), "Call Kim (the roof) @ +31 20 555");
    EXPECT_STREQ(call->spareText.Text(), "kept");
    EXPECT_TRUE(call->flags & DONE);
}

TEST_F(FormsTest, FolderTypesInTheirOrder) {
    const char* expected[] = {"None specifically",
                              "&Action (with dates)",
                              "A&greement",
                              "P&hone call",
                              "&Contact",
                              "&Fact",
                              "&Location",
                              "&Mail",
                              "&Pay",
                              "&Todo"};
    ASSERT_EQ(DlgGroup::TYPE_CAPTIONS.size(), 10u);
    for (int i = 0; i < 10; ++i)
        EXPECT_STREQ(DlgGroup::TYPE_CAPTIONS[i], expected[i]);
    auto* folder = AddNode<VGroup>(collection);
    folder->folderType = 42; // from some other program's file
    DlgGroup form(*folder);
    EXPECT_EQ(form.folderType.Shown(), 0);
    form.name = "Garden";
    form.Store();
    EXPECT_EQ(folder->folderType, 42) << "kept while the user picks nothing";
    DlgGroup again(*folder);
    again.folderType.Pick(FOLDER_MAIL);
    again.Store();
    EXPECT_EQ(folder->folderType, 7);
    EXPECT_STREQ(folder->name.Text(), "Garden");
}

TEST_F(FormsTest, PreferencesStoreTheDateFormat) {
    EXPECT_STREQ(DlgPrefs::DATE_FORMATS[0], "DD-MMM-YY (25-Jun-10)");
    EXPECT_STREQ(DlgPrefs::DATE_FORMATS[1], "DD-MM-YYYY (Europe)");
    EXPECT_STREQ(DlgPrefs::DATE_FORMATS[2], "MM-DD-YYYY (US)");
    CSkedraDoc doc(dir.File("vantry").c_str());
    doc.Collection()->dateFormat = 1;
    ScriptedEditor editor;
    editor.script = [](ItemForm& form, int) {
        auto& prefs = static_cast<DlgPrefs&>(form);
        EXPECT_EQ(prefs.dateFormat.Shown(), 1);
        prefs.dateFormat.Pick(2); // "MM-DD-YYYY (US)"
        return true;
    };
    EXPECT_TRUE(RunPreferences(doc));
    EXPECT_EQ(doc.Collection()->dateFormat, 2);
    EXPECT_EQ(doc.GetGlobalInt("dateformat", -1), 2);

    editor.script = [](ItemForm& form, int) {
        static_cast<DlgPrefs&>(form).dateFormat.Pick(0);
        return false;
    };
    EXPECT_FALSE(RunPreferences(doc));
    EXPECT_EQ(doc.Collection()->dateFormat, 2);
    EXPECT_EQ(doc.GetGlobalInt("dateformat", -1), 2);
}

// Every kind with a dialog: Cancel leaves its record byte for byte, OK writes the change.
TEST_F(FormsTest, EditWritesBackOnOKOnly) {
    struct Case {
        VNode* node;
        ItemDialog kind;
        void (*change)(ItemForm&);
    };
    Case cases[] = {
        {AddNode<VTodo>(collection), ItemDialog::Todo,
         [](ItemForm& f) { static_cast<CDlgTodo&>(f).what = "changed"; }},
        {Action("2010-06-25", 2), ItemDialog::Action,
         [](ItemForm& f) { static_cast<CDlgTaskFull&>(f).what = "changed"; }},
        {AddNode<VAgreement>(collection), ItemDialog::Agreement,
         [](ItemForm& f) { static_cast<DlgAgreement&>(f).agreement = "changed"; }},
        {AddNode<VCall>(collection), ItemDialog::Call,
         [](ItemForm& f) { static_cast<DlgCall&>(f).who = "changed"; }},
        {AddNode<VMail>(collection), ItemDialog::Mail,
         [](ItemForm& f) { static_cast<DlgMail&>(f).who = "changed"; }},
        {AddNode<VPay>(collection), ItemDialog::Pay,
         [](ItemForm& f) { static_cast<DlgPay&>(f).account = "changed"; }},
        {AddNode<VContact>(collection), ItemDialog::Contact,
         [](ItemForm& f) {
             static_cast<CDlgResource&>(f).lastName = "changed";
             static_cast<CDlgResource&>(f).initials = "C";
         }},
        {AddNode<VFact>(collection), ItemDialog::Fact,
         [](ItemForm& f) { static_cast<DlgFact&>(f).description = "changed\nover lines"; }},
        {AddNode<VURL>(collection), ItemDialog::Location,
         [](ItemForm& f) { static_cast<DlgURL&>(f).url = "changed"; }},
        {AddNode<VGroup>(collection), ItemDialog::Folder,
         [](ItemForm& f) { static_cast<DlgGroup&>(f).name = "changed"; }},
    };
    ScriptedEditor editor;
    for (Case& c : cases) {
        SCOPED_TRACE(c.node->TypeName());
        EXPECT_EQ(c.node->Dialog(), c.kind);
        c.node->id = 9;
        c.node->parentId = 1;
        std::string before = RecordBytes(*c.node);
        editor.script = [&](ItemForm& f, int) {
            c.change(f);
            return false;
        };
        EXPECT_FALSE(c.node->Edit());
        EXPECT_EQ(RecordBytes(*c.node), before);
        editor.script = [&](ItemForm& f, int) {
            c.change(f);
            return true;
        };
        EXPECT_TRUE(c.node->Edit());
        std::string after = RecordBytes(*c.node);
        EXPECT_NE(after, before);
        EXPECT_NE(after.find("changed"), std::string::npos);
    }
    EXPECT_TRUE(ui.asked.empty());

    auto* file = AddNode<VFile>(collection);
    EXPECT_EQ(MakeForm(*file), nullptr);
    EXPECT_FALSE(file->Edit()) << "an old file location has no dialog";
}

} // namespace

namespace {

TEST(FormFieldsTest, MultiLineTextsKeepTheirLineEnds) {
    EXPECT_EQ(LinesForEditing("one\r\ntwo\r\n"), "one\ntwo\n");
    EXPECT_EQ(LinesForEditing("one\ntwo\r"), "one\ntwo\r");
    EXPECT_STREQ(LinesFromEditing("one\ntwo\nthree", "a\r\nb").Text(), "one\r\ntwo\r\nthree");
    EXPECT_STREQ(LinesFromEditing("one\ntwo", "a\nb").Text(), "one\ntwo");
    EXPECT_STREQ(LinesFromEditing("one\ntwo", "").Text(), "one\ntwo");
    std::string stored = "x\r\ny\r\n";
    EXPECT_STREQ(LinesFromEditing(LinesForEditing(stored.c_str()), stored.c_str()).Text(),
                 stored.c_str());
}

} // namespace
