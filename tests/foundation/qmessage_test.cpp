#include "foundation/qmessage.h"

#include "support/file_modes.h"
#include "support/log_capture.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <string>
#include <vector>

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

namespace {

class MessageLogTest : public LogTest {};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

const char* const TIME =
    "[A-Z][a-z][a-z] [A-Z][a-z][a-z] [0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]";

TEST_F(MessageLogTest, FirstEntryOfARunIsPrecededByTheStartMarker) {
    int line = __LINE__ + 1;
    qwarn(QLOC("Test::Op"), "can't open '%s'", "x.ini");
    std::vector<std::string> lines = Lines(Log());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], MatchesRegex(std::string(TIME) +
                                       " \\(INFO \\): \\[-\\] --- application start ---"));
    EXPECT_THAT(lines[1], MatchesRegex(std::string(TIME) +
                                       " \\(WARN \\): \\[-\\] can't open 'x.ini' "
                                       "\\[qmessage_test:" +
                                       std::to_string(line) + " / Test::Op\\]"));
    qwarn(QLOC("Test::Op"), "again");
    EXPECT_EQ(Lines(Log()).size(), 3u) << "the marker is written once per run";
}

TEST_F(MessageLogTest, LevelsArePaddedToFiveCharacters) {
    qerr(QLOC("Op"), "e");
    qwarn(QLOC("Op"), "w");
    qinform(QLOC("Op"), "i");
    qlog_write("FATAL", nullptr, "f");
    qlog_write("NOTE", nullptr, "n");
    std::string log = Log();
    EXPECT_THAT(log, HasSubstr("(ERR  ): [-] e [qmessage_test:"));
    EXPECT_THAT(log, HasSubstr("(WARN ): [-] w [qmessage_test:"));
    EXPECT_THAT(log, HasSubstr("(INFO ): [-] i [qmessage_test:"));
    EXPECT_THAT(log, HasSubstr("(FATAL): [-] f\n"));
    EXPECT_THAT(log, HasSubstr("(NOTE ): [-] n\n"));
}

TEST_F(MessageLogTest, OneTrailingLineEndIsDroppedAndOnlyProblemsReachStandardError) {
    ::testing::internal::CaptureStderr();
    qerr(QLOC("Op"), "ends in two\n\n");
    int line = __LINE__ + 1;
    qtrace(QLOC("Op"), "trace only\n");
    qinform(QLOC("Op"), "informed");
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(Log(), HasSubstr("ends in two\n [qmessage_test:"));
    EXPECT_THAT(Log(), HasSubstr("(TRACE): [-] trace only [qmessage_test:" + std::to_string(line) +
                                 " / Op]\n"))
        << "traces go to the log, which rotates";
    EXPECT_THAT(Log(), HasSubstr("(INFO ): [-] informed [qmessage_test:"));
    EXPECT_EQ(err, "ends in two\n\n") << "traces and information stay off the terminal";
}

TEST_F(MessageLogTest, TheLogGoesToTheFolderItIsGiven) {
    std::filesystem::create_directory("state");
    qlog_set_folder(dir.File("state"));
    qwarn(QLOC("Op"), "in the state folder");
    EXPECT_FALSE(std::filesystem::exists(QLOG_FILE)) << "nothing in the current folder";
    EXPECT_THAT(ReadWholeFile(dir.File("state/QLOG.txt")), HasSubstr("in the state folder"));
    EXPECT_EQ(qlog_path(QLOG_OLD_FILE), dir.File("state/QLOG_OLD.txt"));
    // A full log there rotates there.
    WriteWholeFile(dir.File("state/QLOG.txt"), std::string(QLOG_ROTATE_SIZE, 'x'));
    qerr(QLOC("Op"), "after rotation");
    EXPECT_EQ(std::filesystem::file_size(dir.File("state/QLOG_OLD.txt")),
              (uintmax_t)QLOG_ROTATE_SIZE);
    EXPECT_THAT(ReadWholeFile(dir.File("state/QLOG.txt")), HasSubstr("after rotation"));
    EXPECT_FALSE(std::filesystem::exists(QLOG_OLD_FILE));
}

// The log says what the user worked on and where their files are: it is theirs alone,
// whatever the umask would let others read.
TEST_F(MessageLogTest, TheLogIsReadableByItsUserAlone) {
    ScopedUmask usual(022);
    qwarn(QLOC("Op"), "a new log");
    EXPECT_EQ(FileMode(QLOG_FILE), 0600);
    // A log that an older run left open to others is closed up at the next entry.
    for (mode_t wider : {0644, 0666, 0640, 0604}) {
        ASSERT_EQ(chmod(QLOG_FILE, wider), 0);
        qwarn(QLOC("Op"), "entry");
        EXPECT_EQ(FileMode(QLOG_FILE), 0600) << std::oct << wider;
    }
    // The log that a full one makes room for starts closed too.
    WriteWholeFile(QLOG_FILE, std::string(QLOG_ROTATE_SIZE, 'x'));
    ASSERT_EQ(chmod(QLOG_FILE, 0644), 0);
    qerr(QLOC("Op"), "after rotation");
    EXPECT_EQ(FileMode(QLOG_FILE), 0600);
    EXPECT_THAT(Log(), HasSubstr("after rotation"));
}

TEST_F(MessageLogTest, ErrorsAndWarningsGetALineEndOnStandardError) {
    qinform(QLOC("Op"), "the start marker goes first");
    ::testing::internal::CaptureStderr();
    qwarn(QLOC("Op"), "first");
    qerr(QLOC("Op"), "second");
    EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("first\nsecond\n"));
}

TEST_F(MessageLogTest, FullLogIsRotatedBeforeTheNextEntry) {
    WriteWholeFile(QLOG_OLD_FILE, "older log");
    WriteWholeFile(QLOG_FILE, std::string(QLOG_ROTATE_SIZE, 'x'));
    qerr(QLOC("Op"), "after rotation");
    EXPECT_EQ(std::filesystem::file_size(QLOG_OLD_FILE), (uintmax_t)QLOG_ROTATE_SIZE);
    std::vector<std::string> lines = Lines(Log());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], HasSubstr("--- application start ---"));
    EXPECT_THAT(lines[1], HasSubstr("after rotation"));
}

TEST_F(MessageLogTest, LogOneByteBelowTheLimitIsKept) {
    qinform(QLOC("Op"), "the start marker goes first");
    WriteWholeFile(QLOG_FILE, std::string(QLOG_ROTATE_SIZE - 1, 'x'));
    qerr(QLOC("Op"), "appended");
    EXPECT_FALSE(std::filesystem::exists(QLOG_OLD_FILE));
    EXPECT_GT(std::filesystem::file_size(QLOG_FILE), (uintmax_t)QLOG_ROTATE_SIZE);
}

TEST_F(MessageLogTest, UnwritableLogGoesToStandardErrorQuietly) {
    std::filesystem::create_directory(QLOG_FILE); // a folder where the file should be
    ::testing::internal::CaptureStderr();
    qerr(QLOC("Op"), "nowhere to go");
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_THAT(
        err, MatchesRegex("(.|\n)*\\*\\* \\[-/[0-9]+\\] Can't open log file \\(QLOG\\)\n(.|\n)*"));
}

TEST_F(MessageLogTest, UdpOutputReceivesLevelledTextsAndTraces) {
    std::vector<std::string> sent;
    qlog_set_udp_output([&](const char* text) { sent.push_back(text); });
    qwarn(QLOC("Op"), "warned");
    qtrace(QLOC("Op"), "traced\n");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], "INFO: --- application start ---\n");
    EXPECT_EQ(sent[1], "WARN: warned\n");
    EXPECT_EQ(sent[2], "traced\n");
}

TEST_F(MessageLogTest, LastLogGetsProblemsOnlyAfterItsOwnMarker) {
    std::FILE* last = std::fopen(QLOG_LAST_FILE, "w");
    ASSERT_NE(last, nullptr);
    qinform(QLOC("Op"), "not a problem");
    qlog_set_last_log(last);
    qinform(QLOC("Op"), "still not a problem");
    qwarn(QLOC("Op"), "problem one");
    qerr(QLOC("Op"), "problem two");
    qlog_set_last_log(nullptr);
    std::fclose(last);

    std::vector<std::string> lines = Lines(ReadWholeFile(QLOG_LAST_FILE));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(lines[0],
                MatchesRegex(std::string(TIME) + " \\(INFO\\): --- application start ---"));
    EXPECT_THAT(lines[1], MatchesRegex(std::string(TIME) +
                                       " \\(WARN\\): problem one \\[qmessage_test:[0-9]+ / Op\\]"));
    EXPECT_THAT(lines[2], HasSubstr("(ERR): problem two [qmessage_test:"));

    std::string log = Log();
    size_t first = log.find("--- application start ---");
    EXPECT_NE(log.find("--- application start ---", first + 1), std::string::npos)
        << "the last log's marker is also a second marker in QLOG.txt";
}

TEST_F(MessageLogTest, LongMessagesAreCutNotOverrun) {
    std::string huge(20000, 'z');
    qerr(QLOC("Op"), "%s", huge.c_str());
    EXPECT_THAT(Log(), HasSubstr(std::string(QMESSAGE_MAX, 'z') + " [qmessage_test:"));
    EXPECT_THAT(Log(), Not(HasSubstr(std::string(QMESSAGE_MAX + 1, 'z'))));
}

TEST_F(MessageLogTest, FatalLogsShowsTheBoxAndEndsTheProgram) {
    EXPECT_EXIT(
        {
            qlog_set_fatal_box([](const char* text) { std::fprintf(stderr, "BOX<%s>\n", text); });
            qfatal("cannot go on: %d", 42);
        },
        ::testing::ExitedWithCode(3), "BOX<cannot go on: 42>");
    std::string log = Log();
    EXPECT_THAT(log, HasSubstr("(FATAL): [-] cannot go on: 42\n"));
    EXPECT_THAT(log, HasSubstr("(INFO ): [-] Going to crash, reason: qfatal [qmessage:"));
    EXPECT_THAT(log, HasSubstr(" / QCrash]"));
}

} // namespace
