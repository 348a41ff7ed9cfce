// A test that runs in a time zone of its choosing (TZ), put back at its end.
#pragma once

#include "support/log_capture.h"

#include <cstdlib>
#include <ctime>

class ZoneTest : public LogTest {
  protected:
    void UseZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
        LogTest::TearDown();
    }
};
