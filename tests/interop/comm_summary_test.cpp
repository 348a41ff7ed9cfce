// A to-call, to-mail or to-pay item's list text read back into its fields.
#include "interop/comm_summary.h"
#include "model/vcommitem.h"
#include "support/model_builders.h"

#include <gtest/gtest.h>

namespace {

std::string ListText(const VNode& node) {
    qstring text;
    node.Describe(text, false);
    return text.Text();
}

template <class Kind>
Kind* Item(VCollection& c, const char* who, const char* reason, const char* detail) {
    auto* item = AddNode<Kind>(c);
    item->who = who;
    item->reason = reason;
    item->detail = detail;
    return item;
}

TEST(CommListTextTest, EachKindReadsItsOwnShapeBack) {
    struct Case {
        const char* text;
        const char* who;
        const char* reason;
        const char* detail;
    };
    VCollection c;
    const Case calls[] = {
        {"Call Ann (dentist, Friday) @ 555-0100", "Ann", "dentist, Friday", "555-0100"},
        {"Call Ann (dentist)", "Ann", "dentist", ""},
        {"Call Ann Lee (a (small) matter) @ 555", "Ann Lee", "a (small) matter", "555"},
        {"Ring Ann back", "Ann", "Ring Ann back", "555"}, // another shape: the reason
        {"Call Ann about it", "Ann", "Ann about it", "555"},
    };
    for (const Case& k : calls) {
        VCall* call = Item<VCall>(c, "Ann", "dentist", "555");
        SetCommListText(*call, k.text);
        EXPECT_EQ(std::string(call->who.Text()), k.who) << k.text;
        EXPECT_EQ(std::string(call->reason.Text()), k.reason) << k.text;
        EXPECT_EQ(std::string(call->detail.Text()), k.detail) << k.text;
    }
    VMail* mail = Item<VMail>(c, "Bob", "invoice", "");
    SetCommListText(*mail, "Bob B. (invoice 42) @ bob@example.org");
    EXPECT_EQ(ListText(*mail), "Bob B. (invoice 42) @ bob@example.org");
    EXPECT_EQ(std::string(mail->detail.Text()), "bob@example.org");

    VPay* pay = Item<VPay>(c, "Carol", "rent", "$900");
    SetCommListText(*pay, "Carol ($950 acct 12-34) - rent and garage");
    EXPECT_EQ(std::string(pay->detail.Text()), "$950");
    EXPECT_EQ(std::string(pay->account.Text()), "12-34");
    EXPECT_EQ(std::string(pay->reason.Text()), "rent and garage");
    SetCommListText(*pay, "Carol ($10) - tip");
    EXPECT_EQ(std::string(pay->account.Text()), "");
    EXPECT_EQ(ListText(*pay), "Carol ($10) - tip");
}

// Fields whose list text reads back otherwise (a name with parentheses) stay as they are
// while the text is unchanged.
TEST(CommListTextTest, TheItemsOwnListTextChangesNothing) {
    VCollection c;
    VCall* call = Item<VCall>(c, "Ann (work)", "x) @ y", "z");
    std::string before = RecordBytes(*call);
    SetCommListText(*call, ListText(*call));
    EXPECT_EQ(RecordBytes(*call), before);
}

} // namespace
