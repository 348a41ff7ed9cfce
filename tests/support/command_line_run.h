// A test of the command line: runs it with the settings file "vantry.ini" of the test's
// folder and keeps what it printed.
#pragma once

#include "app/command_line.h"
#include "support/log_capture.h"

#include <sstream>
#include <string>
#include <vector>

class CommandLineRunTest : public LogTest {
  protected:
    int Run(std::vector<std::string> args) {
        std::ostringstream o, e;
        int code = RunCommandLine(args, "vantry.ini", o, e);
        out = o.str();
        err = e.str();
        return code;
    }

    std::string out, err;
};
