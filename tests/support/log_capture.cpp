#include "support/log_capture.h"

#include "foundation/qmessage.h"

#include <cstdio>

void LogTest::SetUp() {
    qlog_reset();
}

void LogTest::TearDown() {
    qlog_reset();
}

void LogTest::RestartLog() {
    std::remove(dir.File(QLOG_FILE).c_str());
    qlog_reset();
}

std::string LogTest::Log() const {
    return ReadWholeFile(dir.File(QLOG_FILE));
}

bool LogTest::LogContains(const std::string& text) const {
    return Log().find(text) != std::string::npos;
}
