#include "foundation/date.h"
#include "foundation/qclock.h"
#include "foundation/qtime.h"
#include "support/fixed_clock.h"

#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace {

// Every date test runs in a zone with daylight-saving changes (the last Sundays of
// March and October in 2026).
class DateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        hadZone = old != nullptr;
        if (old) oldZone = old;
        setenv("TZ", "Europe/Amsterdam", 1);
        tzset();
    }
    void TearDown() override {
        if (hadZone)
            setenv("TZ", oldZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    static QDate Date(const char* text) {
        QDate d;
        d.SetFromText(text);
        return d;
    }
    static int LocalHour(const QDate& d) {
        std::time_t t = (std::time_t)d.Seconds();
        std::tm tm{};
        localtime_r(&t, &tm);
        return tm.tm_hour;
    }

    bool hadZone = false;
    std::string oldZone;
};

TEST_F(DateTest, TextAndFieldsGiveTheSameDay) {
    QDate fromFields;
    fromFields.SetDate(9, 12, 2026);
    QDate fromText = Date("2026-12-09");
    EXPECT_EQ(fromFields, fromText);
    EXPECT_EQ(fromText.Day(), 9);
    EXPECT_EQ(fromText.Month(), 12);
    EXPECT_EQ(fromText.Year(), 2026);
    EXPECT_EQ(fromText.DayOfWeek(), 3);
    EXPECT_FALSE(fromText.IsWeekend());
    EXPECT_TRUE(fromText.IsSet());
    EXPECT_FALSE(QDate().IsSet());
}

TEST_F(DateTest, TodayComesFromTheProgramsClock) {
    {
        FixedClock clock(29, 2, 2028);
        QDate today;
        today.SetToday();
        EXPECT_STREQ(today.Format(2), "2028-02-29");
        EXPECT_EQ(LocalHour(today), 1);
        EXPECT_STREQ(QCurrentDateText(), "29-02-2028");
    }
    // Without a fixed clock it is the system's day again.
    std::time_t now = std::time(nullptr);
    char expected[16];
    std::strftime(expected, sizeof expected, "%Y", std::localtime(&now));
    EXPECT_STREQ(QCurrentDateText("%Y"), expected);
}

// Tests of the whole program start its clock at a moment of their choosing; from there
// it runs on with the system's.
TEST_F(DateTest, TheEnvironmentCanStartTheClock) {
    setenv(CLOCK_VARIABLE, "2026-03-29T01:59:58", 1);
    ASSERT_TRUE(QSetClockFromEnvironment());
    std::tm tm{};
    tm.tm_year = 126;
    tm.tm_mon = 2;
    tm.tm_mday = 29;
    tm.tm_hour = 1;
    tm.tm_min = 59;
    tm.tm_sec = 58;
    tm.tm_isdst = -1;
    std::time_t start = std::mktime(&tm);
    std::time_t now = QNow();
    EXPECT_GE(now, start);
    EXPECT_LT(now, start + 60);
    EXPECT_STREQ(QCurrentDateText(), "29-03-2026");

    for (const char* unreadable : {"2026-03-29", "tomorrow", "2026-03-29T01:59:58Z", ""}) {
        QSetClock(nullptr);
        setenv(CLOCK_VARIABLE, unreadable, 1);
        EXPECT_FALSE(QSetClockFromEnvironment()) << unreadable;
        EXPECT_LT(std::abs(QNow() - std::time(nullptr)), 60) << "the system's clock stays";
    }
    unsetenv(CLOCK_VARIABLE);
    EXPECT_FALSE(QSetClockFromEnvironment());
}

TEST_F(DateTest, CalendarDatesSitAtOneOClockInTheCurrentOffset) {
    QDate today;
    today.SetToday();
    EXPECT_EQ(LocalHour(today), 1);
    EXPECT_STREQ(today.Format(2), QCurrentDateText("%Y-%m-%d"));
    // Dates on the other side of a change keep today's offset: whole days apart, off by
    // at most an hour on the clock, never on another day.
    for (const char* text : {"2026-01-15", "2026-07-15"}) {
        QDate d = Date(text);
        EXPECT_STREQ(d.Format(2), text);
        EXPECT_GE(LocalHour(d), 0);
        EXPECT_LE(LocalHour(d), 2);
        EXPECT_EQ((d.Seconds() - today.Seconds()) % 86400, 0);
    }
    EXPECT_EQ(Date("2026-03-01").DaysBetween(Date("2026-04-01")), 31);
    EXPECT_EQ(Date("2026-10-01").DaysBetween(Date("2026-11-01")), 31);
}

TEST_F(DateTest, FormatKinds) {
    QDate d = Date("2026-12-09");
    const char* expected[] = {"09-12",    "09",       "2026-12-09", "09-12-2026",
                              "09-12-26", "20261209", "09-Dec-26",  "12-09-2026"};
    for (int kind = 0; kind < 8; ++kind)
        EXPECT_STREQ(d.Format(kind), expected[kind]) << kind;
    EXPECT_STREQ(d.Format(8), "<QDate bad fmt>");
    EXPECT_STREQ(d.Format(-1), "<QDate bad fmt>");
    EXPECT_EQ(Date(d.Format(2)), d);
}

TEST_F(DateTest, SevenDailyStepsAcrossEitherChangeReachTheNextMonday) {
    for (const char* monday : {"2026-03-23", "2026-10-19"}) {
        QDate d = Date(monday);
        int firstDay = d.Day();
        for (int i = 1; i <= 7; ++i) {
            d.AddDays(1);
            EXPECT_EQ(d.Day(), firstDay + i) << monday << " + " << i;
            int hour = LocalHour(d);
            EXPECT_TRUE(hour == 0 || hour == 1 || hour == 2) << hour;
        }
        EXPECT_EQ(d.DayOfWeek(), 1);
        QDate back = d;
        back.AddDays(-7);
        EXPECT_EQ(back, Date(monday));
    }
}

TEST_F(DateTest, DaysBetweenTruncatesTowardZero) {
    QDate a = Date("2026-05-04");
    QDate b(a.Seconds() + 36 * 3600);
    EXPECT_EQ(a.DaysBetween(b), 1);
    EXPECT_EQ(b.DaysBetween(a), -1);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b >= a);
    EXPECT_TRUE(a <= a);
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(a != b);
}

TEST_F(DateTest, StepsBackToMondayAndToTheFirst) {
    struct Case {
        const char* from;
        const char* monday;
        const char* first;
    } cases[] = {
        {"2026-12-13", "2026-12-07", "2026-12-01"}, // Sunday: six days back
        {"2026-12-07", "2026-12-07", "2026-12-01"}, // a Monday stays
        {"2026-11-01", "2026-10-26", "2026-11-01"}, // across the October change
        {"2026-04-02", "2026-03-30", "2026-04-01"},
    };
    for (const Case& c : cases) {
        QDate monday = Date(c.from);
        monday.ToMonday();
        EXPECT_STREQ(monday.Format(2), c.monday) << c.from;
        QDate first = Date(c.from);
        first.ToFirstOfMonth();
        EXPECT_STREQ(first.Format(2), c.first) << c.from;
    }
    EXPECT_TRUE(Date("2026-12-12").IsWeekend());
    EXPECT_TRUE(Date("2026-12-13").IsWeekend());
    EXPECT_FALSE(Date("2026-12-14").IsWeekend());
}

TEST_F(DateTest, ShortOrOddTextsNeverReadPastTheirEnd) {
    QDate d;
    for (const char* text : {"", "2026", "2026-1", "2026-12-", (const char*)nullptr}) {
        d.SetFromText(text); // must not crash; the value is whatever mktime normalises to
        EXPECT_NE(d.Format(2), nullptr);
    }
    d.SetDate(1, 2, 2027);
    EXPECT_STREQ(d.Format(2), "2027-02-01");
}

TEST_F(DateTest, CurrentDateText) {
    EXPECT_THAT(QCurrentDateText(),
                ::testing::MatchesRegex("[0-9][0-9]-[0-9][0-9]-[0-9][0-9][0-9][0-9]"));
    EXPECT_THAT(QCurrentDateText("%Y"), ::testing::MatchesRegex("[0-9][0-9][0-9][0-9]"));
}

} // namespace

namespace {

TEST_F(DateTest, AChangedZoneIsSeenAtOnceAndRepeatedDaysStayTheSame) {
    QDate amsterdam = Date("2026-07-01");
    EXPECT_EQ(Date("2026-07-01"), amsterdam) << "the same day again, as kept";
    EXPECT_EQ(Date("2026-07-02").Seconds() - amsterdam.Seconds(), 86400);
    setenv("TZ", "UTC", 1);
    tzset();
    QDate utc = Date("2026-07-01");
    // One or two hours later, as today's daylight-saving flag says; never the kept value.
    EXPECT_GE(utc.Seconds() - amsterdam.Seconds(), 3600);
    EXPECT_LE(utc.Seconds() - amsterdam.Seconds(), 7200);
    EXPECT_EQ(LocalHour(utc), 1);
}

} // namespace
