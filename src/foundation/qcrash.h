// The crash handler: a fatal signal or an uncaught C++ exception ends in one fatal
// log entry with a stack trace (and the fatal message box), then the program ends.
#pragma once

#include <string>

// Stands in for the exception code of the report when a C++ exception was not caught
// (the code Windows gives C++ exceptions, familiar from crash reports there).
constexpr unsigned QCRASH_UNCAUGHT_EXCEPTION = 0xE06D7363;

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT and for uncaught
// exceptions; once per process is enough, more calls do no harm.
void QInstallCrashHandler();

// The report: the header with code, flags and address, then one line per stack frame
// of the calling thread, the innermost skipFrames frames left out.
std::string QCrashReport(unsigned code, int flags, const void* address, int skipFrames);
