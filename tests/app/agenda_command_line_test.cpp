// vantry --agenda, as scripts and status bars run it.
#include "app/command_line.h"

#include "model/vdays.h"
#include "model/vschedule.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "support/command_line_run.h"
#include "support/costly_repeats.h"
#include "support/fixed_clock.h"
#include "support/log_capture.h"
#include "support/model_builders.h"

#include <chrono>
#include <gmock/gmock.h>

namespace {

class AgendaCommandLineTest : public CommandLineRunTest {
  protected:
    void SetUp() override {
        CommandLineRunTest::SetUp();
        setenv("LC_ALL", "C.UTF-8", 1); // texts reach the terminal in UTF-8
        // Home / "Rent" monthly from 1 January 2026 at 08:30, Home / "Trip" (an action,
        // 5-6 January), "Café" (in Windows-1252) due 20 January.
        VCollection c;
        auto* home = AddNode<VGroup>(c);
        home->name = "Home";
        auto* rent = AddNode<VTodo>(c, home);
        rent->what = "Rent";
        VSchedule s;
        s.dueDay = DayNumber(2026, 1, 1);
        s.dueMinute = 8 * 60 + 30;
        s.rule = "FREQ=MONTHLY";
        SetSchedule(c, rent, s);
        auto* trip = AddNode<VTask>(c, home);
        trip->what = "Trip";
        trip->flags = 0;
        trip->startDate = "2026-01-05";
        trip->duration = 2;
        auto* cafe = AddNode<VTodo>(c);
        cafe->what = "Caf\xE9";
        VSchedule due;
        due.dueDay = DayNumber(2026, 1, 20);
        SetSchedule(c, cafe, due);
        ASSERT_TRUE(c.Save("doc.vnt"));
    }

    FixedClock clock{4, 1, 2026}; // Sunday 4 January 2026
};

TEST_F(AgendaCommandLineTest, PrintsOneOccurrenceALineInDueOrder) {
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        // Today to 13 days later; the rent of 1 January is overdue and comes first.
        {{"--agenda", "doc.vnt"},
         "2026-01-01\t08:30\tRent\tHome\n"
         "2026-01-05\t\tTrip\tHome\n"},
        {{"doc.vnt", "--agenda", "--from", "2026-01-06", "--to", "2026-03-01"},
         "2026-01-01\t08:30\tRent\tHome\n"
         "2026-01-05\t\tTrip\tHome\n" // its second day is in the span
         "2026-01-20\t\tCaf\xC3\xA9\t\n"
         "2026-02-01\t08:30\tRent\tHome\n"
         "2026-03-01\t08:30\tRent\tHome\n"},
        {{"--agenda", "--from", "2025-12-01", "--to", "2026-01-01", "doc.vnt"},
         "2026-01-01\t08:30\tRent\tHome\n"},
        {{"--agenda", "--from", "2026-02-02", "--to", "2026-02-02", "doc.vnt"},
         "2026-01-01\t08:30\tRent\tHome\n"},
    };
    std::string file = ReadWholeFile("doc.vnt");
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 0) << err;
        EXPECT_EQ(out, c.expected) << ::testing::PrintToString(c.args);
        EXPECT_EQ(err, "");
    }
    EXPECT_EQ(ReadWholeFile("doc.vnt"), file) << "only read";
}

// A text cannot forge an occurrence of its own: every control in it is written out, so
// one line is one occurrence.
TEST_F(AgendaCommandLineTest, ItemTextsCannotForgeLines) {
    VCollection c;
    c.Load("doc.vnt");
    for (VNode* n = c.root->next; n; n = n->next) {
        auto* todo = dynamic_cast<VTodo*>(n);
        if (todo && todo->what == "Rent") todo->what = "Rent\n2026-12-01\t09:00\tFAKE\x1b[2J";
        if (n->IsFolderKind()) n->name = "Home\x1b]0;title\x07";
    }
    ASSERT_TRUE(c.Save("doc.vnt"));
    EXPECT_EQ(Run({"--agenda", "doc.vnt"}), 0);
    EXPECT_EQ(out, "2026-01-01\t08:30\tRent\\n2026-12-01\\t09:00\\tFAKE\\x1b[2J\t"
                   "Home\\x1b]0;title\\x07\n"
                   "2026-01-05\t\tTrip\tHome\\x1b]0;title\\x07\n");
}

TEST_F(AgendaCommandLineTest, BadDaysAndOptionsAreRefusedWithTheReason) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--agenda", "--from", "2026-02-31", "doc.vnt"},
         "vantry: --from takes a day as YYYY-MM-DD ('2026-02-31')\n"},
        {{"--agenda", "--to", "tomorrow", "doc.vnt"},
         "vantry: --to takes a day as YYYY-MM-DD ('tomorrow')\n"},
        {{"--agenda", "--from", "2026-02-01", "--to", "2026-01-31", "doc.vnt"},
         "vantry: --to (2026-01-31) is before --from\n"},
        {{"--agenda", "--folder", "Home", "doc.vnt"},
         "vantry: --agenda takes --from and --to only\n"},
        {{"--list", "--from", "2026-01-01", "doc.vnt"},
         "vantry: --from and --to go with --agenda\n"},
        {{"--agenda", "--from"}, "vantry: unknown or incomplete option '--from'\n"},
        {{"--agenda"}, "vantry: --agenda needs a FILE\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 1);
        EXPECT_THAT(err, ::testing::StartsWith(c.message)) << ::testing::PrintToString(c.args);
        EXPECT_EQ(out, "");
    }
    WriteWholeFile("other.txt", "hello");
    EXPECT_EQ(Run({"--agenda", "other.txt"}), 1);
    EXPECT_EQ(err, "vantry: other.txt: not a Vantry document\n");
    EXPECT_EQ(Run({"--agenda", "missing.vnt"}), 1);
}

// The year's agenda of a document with a secondly and a minutely repeat and forty that
// never match ends in a few seconds: each series lists what its budget (the secondly one)
// or the cap on listed occurrences (the minutely one) reaches, and the error stream names
// every series cut short. The ceiling is a guard for a loaded machine; the time itself is
// measured by bench/agenda_expansion_bench.
TEST_F(AgendaCommandLineTest, CostlyRepeatsOverAYearEndQuicklyAndSayWhereTheyStop) {
    {
        VCollection c;
        AddCostlyRepeats(c);
        ASSERT_TRUE(c.Save("costly.vnt"));
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"--agenda", "--from", "2026-01-01", "--to", "2026-12-31", "costly.vnt"}), 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 60.0);
    RecordProperty("seconds", std::to_string(seconds));

    auto lines = [&](const std::string& what) {
        long n = 0;
        for (std::size_t at = out.find(what); at != std::string::npos; at = out.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(lines("\tEvery second\t"), 1667) << "27 h 46 min 40 s of seconds, a line a minute";
    EXPECT_EQ(lines("\tEvery minute\t"), 10000);
    EXPECT_EQ(lines("\tNever "), 40) << "the first occurrence alone";
    EXPECT_THAT(out, ::testing::HasSubstr("2026-01-01\t00:00\tEvery second\tCostly\n"));
    // In the document's order, the newest item first.
    EXPECT_EQ(err, "vantry: \"Never 40\": its occurrences after 2026-01-02 03:46 are left out "
                   "(too many to go through)\n"
                   "vantry: \"Never 39\": its occurrences after 2026-03-11 10:40 are left out "
                   "(too many to go through)\n"
                   "vantry: \"Never 38\": its occurrences after 2026-03-11 10:40 are left out "
                   "(too many to go through)\n"
                   "vantry: \"Every minute\": its occurrences after 2026-01-07 22:39 are left "
                   "out (too many to go through)\n"
                   "vantry: \"Every second\": its occurrences after 2026-01-02 03:46 are left "
                   "out (too many to go through)\n");
}

} // namespace
