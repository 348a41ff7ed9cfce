// Calendars nested or crowded past any real one's size: refused, naming the line, before
// libical (which prints and frees components recursively) reads them.
#include "interop/ical_bounds.h"

#include "interop/calendar_objects.h"
#include "interop/ical_export.h"
#include "interop/ical_fixture.h"
#include "interop/ical_import.h"
#include "support/log_capture.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <libical/ical.h>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const char* HEAD = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n";

// A calendar (three lines of head) holding `levels` to-dos, each inside the one before:
// the to-do n levels deep begins on line 2n.
std::string Nested(int levels, const std::string& begin = "BEGIN:VTODO\r\n",
                   const std::string& end = "END:VTODO\r\n") {
    std::string text = HEAD;
    for (int i = 0; i < levels; ++i)
        text += begin + "UID:n" + std::to_string(i) + "\r\n";
    for (int i = 0; i < levels; ++i)
        text += end;
    return text + "END:VCALENDAR\r\n";
}

// The same with its lines ended by CR alone, which libical's string reader takes for line
// ends where no LF follows.
std::string CrOnly(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\n' || out.empty() || out.back() != '\r') out += c;
    return out;
}

class IcsBoundsTest : public LogTest {
  protected:
    VCollection collection;
};

TEST_F(IcsBoundsTest, AHundredThousandNestedToDosAreRefusedByTheLineAndChangeNothing) {
    IcsFixture doc(collection);
    std::string before = DocumentBytes(collection);
    IcsImport result = ImportICalendar(collection, Nested(100000));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line, 66) << "the 32nd to-do, 33 levels deep";
    EXPECT_EQ(result.error, "line 66 begins a component nested more than 32 deep");
    EXPECT_EQ(result.added + result.updated, 0);
    EXPECT_EQ(DocumentBytes(collection), before);
}

TEST_F(IcsBoundsTest, AComponentPastTheMillionthIsRefused) {
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 1000000; ++i)
        text += "BEGIN:VTODO\r\nEND:VTODO\r\n";
    text += "END:VCALENDAR\r\n";
    IcsFixture doc(collection);
    std::string before = DocumentBytes(collection);
    IcsImport result = ImportICalendar(collection, text);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "line 2000000 begins a component past the first 1000000");
    EXPECT_EQ(DocumentBytes(collection), before);
}

TEST_F(IcsBoundsTest, RealCalendarsAndTheDeepestAllowedAreImported) {
    struct Case {
        const char* what;
        std::string text;
        int added;
    } cases[] = {
        {"32 levels: the calendar and 31 to-dos", Nested(31), 1},
        {"a time zone, an event with its alarm and a vendor's components four deep",
         std::string(HEAD) + "BEGIN:VTIMEZONE\r\nTZID:Europe/Amsterdam\r\nBEGIN:STANDARD\r\n"
                             "DTSTART:19701025T030000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
                             "END:STANDARD\r\nEND:VTIMEZONE\r\n"
                             "BEGIN:VEVENT\r\nUID:e1\r\nSUMMARY:Meeting\r\n"
                             "DTSTART;TZID=Europe/Amsterdam:20260105T100000\r\n"
                             "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
                             "BEGIN:X-VENDOR-PLACE\r\nX-NAME:Office\r\n"
                             "BEGIN:X-VENDOR-ROOM\r\nX-NAME:Room 1\r\nEND:X-VENDOR-ROOM\r\n"
                             "END:X-VENDOR-PLACE\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VCollection fresh;
        IcsImport result = ImportICalendar(fresh, c.text);
        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_EQ(result.added, c.added);
    }
}

// The line named is where the content line begins; the count is of BEGIN lines.
TEST(IcsBounds, NamesTheLineThatGoesPastALimit) {
    struct Case {
        const char* what;
        std::string text;
        IcsLimits limits;
        long line; // 0: within the bounds
    } cases[] = {
        {"32 levels deep", Nested(31), {}, 0},
        {"33 levels deep", Nested(32), {}, 66},
        {"in lower case, with a parameter and a space", Nested(32, "begin ;x=1:vtodo\r\n"), {}, 66},
        {"BEGIN folded over two lines: the first", Nested(32, "BEG\r\n IN:VTODO\r\n"), {}, 97},
        {"lines ended by CR alone", CrOnly(Nested(32)), {}, 66},
        {"as many components as allowed", Nested(0) + "BEGIN:VTODO\r\nEND:VTODO\r\n", {32, 2}, 0},
        {"one component too many",
         "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nEND:VTODO\r\nBEGIN:VTODO\r\nEND:VTODO\r\n"
         "END:VCALENDAR\r\n",
         {32, 2},
         4},
        {"a property named like BEGIN is none", Nested(40, "BEGINS:VTODO\r\n"), {}, 0},
        {"neither is a value", Nested(40, "SUMMARY:BEGIN:VTODO\r\n"), {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        long line = -1;
        std::string error;
        EXPECT_EQ(WithinIcsBounds(c.text, line, error, c.limits), c.line == 0);
        if (c.line) {
            EXPECT_EQ(line, c.line);
            EXPECT_THAT(error, HasSubstr("line " + std::to_string(c.line) + " begins a component"));
        }
    }
}

// How deep libical nests what it reads of the text.
int LibicalDepth(const std::string& text) {
    auto depth = [](auto& self, icalcomponent* c) -> int {
        int deepest = 0;
        for (icalcomponent* child = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            deepest = std::max(deepest, self(self, child));
        return 1 + deepest;
    };
    icalerrorstate state = icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR);
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
    icalcomponent* root = icalparser_parse_string(text.c_str());
    icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, state);
    int levels = root ? depth(depth, root) : 0;
    if (root) icalcomponent_free(root);
    return levels;
}

// The depth counted is libical's own, however the lines are written: folded, in lower case,
// or looking like BEGIN and END without being them.
TEST(IcsBounds, CountsTheSameDepthAsLibical) {
    std::string head = HEAD;
    struct Case {
        std::string text; // five levels, written so
        int depth;        // libical's
    } cases[] = {
        {Nested(5), 6},
        {Nested(5, "begin ;x=1:vtodo\r\n", "end:vtodo\r\n"), 6},
        {Nested(5, "BEG\r\n IN:VTODO\r\n", "E\r\n\tND:VTODO\r\n"), 6},
        {Nested(5, "\r\n BEGIN:VTODO\r\n"), 6},            // an empty line continued
        {Nested(5, "\n BEGIN:VTODO\n"), 1},                // after LF alone: no continuation
        {Nested(5, "\tBEGIN:VTODO\r\n"), 1},               // continues the UID line before
        {Nested(5, "BEGIN:VTODO\r\n\n END:VTODO\r\n"), 6}, // no END after LF alone
        {Nested(5, "BEGIN:VTODO\r\nEN\r\n D:VTODO\r\n"), 2},
        {Nested(5, "BEGIN\\:VTODO\r\n"), 1},
        {CrOnly(Nested(5)), 6},
        {head + CrOnly(Nested(5).substr(head.size())), 6}, // CR alone after the last LF
        {Nested(5, "BEGIN:VTODO\rX-A:1\r\n"), 6},          // CR alone before an LF
        {"\xEF\xBB\xBF" + Nested(5), 6},                   // a byte order mark
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(LibicalDepth(c.text), c.depth);
        long line = 0;
        std::string error;
        EXPECT_TRUE(WithinIcsBounds(c.text, line, error, {c.depth, 100}));
        EXPECT_FALSE(WithinIcsBounds(c.text, line, error, {c.depth - 1, 100}));
    }
}

// What the sync asks of a server's calendar objects: nothing of one past the bounds.
TEST(IcsBounds, ServerObjectsPastTheBoundsGiveNothing) {
    std::string nested = Nested(100000);
    std::string fine = std::string(HEAD) + "BEGIN:VTODO\r\nUID:fine\r\nSUMMARY:Fine\r\n"
                                           "END:VTODO\r\nEND:VCALENDAR\r\n";
    EXPECT_EQ(ObjectUid(nested), "");
    EXPECT_EQ(ObjectUid(CrOnly(nested)), "");
    EXPECT_EQ(ObjectSummary(nested), "");
    EXPECT_EQ(MarkedCopy(nested, "copy", " (conflict)"), "");
    std::string combined = CombinedCalendar({&nested, &fine}, "");
    EXPECT_THAT(combined, HasSubstr("UID:fine"));
    EXPECT_THAT(combined, Not(HasSubstr("UID:n0")));
    EXPECT_EQ(ObjectUid(fine), "fine");
}

// A document carries what an import kept of an item as iCalendar text; a document file
// made to carry it nested too deep exports the item without it.
TEST_F(IcsBoundsTest, KeptTextNestedTooDeepIsLeftOutOfTheExport) {
    IcsFixture doc(collection);
    std::string kept = "BEGIN:VTODO\r\nCATEGORIES:Kept\r\n";
    for (int i = 0; i < 100000; ++i)
        kept += "BEGIN:VALARM\r\nUID:n" + std::to_string(i) + "\r\n";
    for (int i = 0; i < 100000; ++i)
        kept += "END:VALARM\r\n";
    kept += "END:VTODO\r\n";
    collection.extensions.SetField(doc.milk, VExtensions::ICAL_KEPT, kept);
    collection.extensions.SetField(doc.cafe, VExtensions::ICAL_KEPT,
                                   "BEGIN:VTODO\r\nCATEGORIES:Shop\r\nEND:VTODO\r\n");
    IcsExport exported = ExportICalendar(collection, {doc.milk, doc.cafe}, "Kept");
    EXPECT_EQ(exported.items, 2);
    EXPECT_THAT(exported.text, HasSubstr("CATEGORIES:Shop"));
    EXPECT_THAT(exported.text, Not(HasSubstr("UID:n0")));
}

} // namespace
