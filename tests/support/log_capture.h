// Runs a test in its own working folder with a fresh message log, so the test can
// read back exactly what was written to QLOG.txt.
#pragma once

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string Log() const; // the contents of QLOG.txt
    // Empties the log and starts it afresh, after a test's own preparations.
    void RestartLog();
    bool LogContains(const std::string& text) const;

    TempDir dir;
};
