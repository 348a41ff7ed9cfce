#include "foundation/qcrash.h"

#include "support/log_capture.h"

#include <gmock/gmock.h>
#include <stdexcept>
#include <thread>

using ::testing::ContainsRegex;
using ::testing::HasSubstr;

namespace {

class CrashTest : public LogTest {};

// One stack line in either form of the report.
const char* const STACK_LINE =
    "\n0x[0-9a-f]+ (.+ \\(line [0-9]+\\): .+\\(\\)|\\[.+\\]: \\(filename not available\\): .+)\n";

[[gnu::noinline]] void CrashOnPurpose() {
    int* volatile nowhere = reinterpret_cast<int*>(16);
    *nowhere = 1;
}

TEST_F(CrashTest, AFatalSignalEndsInALoggedReportWithTheStack) {
    EXPECT_EXIT(
        {
            QInstallCrashHandler();
            CrashOnPurpose();
        },
        ::testing::ExitedWithCode(3), "Exception 0x0000000B, flags [0-9]+, Address 0x00000010");
    std::string log = Log();
    EXPECT_THAT(log, HasSubstr("(FATAL): [-] Exception 0x0000000B, flags "));
    EXPECT_THAT(log, HasSubstr("\n(this dialog text is stored in QLOG.txt)\n\n"));
    EXPECT_THAT(log, ContainsRegex(STACK_LINE));
    EXPECT_THAT(log, HasSubstr("CrashOnPurpose")) << "function names where the symbols allow";
    EXPECT_THAT(log, HasSubstr("Going to crash, reason: qfatal"));
}

TEST_F(CrashTest, AnUncaughtExceptionEndsTheSameWay) {
    EXPECT_EXIT(
        {
            QInstallCrashHandler();
            // Thrown on a thread of its own: nothing there catches it.
            std::thread([] { throw std::runtime_error("out of paper"); }).join();
        },
        ::testing::ExitedWithCode(3), "Exception 0xE06D7363");
    EXPECT_THAT(Log(), HasSubstr("Uncaught exception std::runtime_error: out of paper"));
    EXPECT_THAT(Log(), ContainsRegex(STACK_LINE));
}

TEST_F(CrashTest, ReportOfTheCallingThread) {
    std::string report = QCrashReport(11, 1, (void*)0x1234, 0);
    EXPECT_THAT(report, ::testing::StartsWith("Exception 0x0000000B, flags 1, Address 0x00001234\n"
                                              "(this dialog text is stored in QLOG.txt)\n\n"));
    EXPECT_THAT(report, ContainsRegex(STACK_LINE));
    EXPECT_THAT(report, HasSubstr("ReportOfTheCallingThread"));
}

} // namespace
