// Message log: errors, warnings, information and traces, written to QLOG.txt
// (with rotation) and the optional developer outputs; standard error gets only the
// errors and warnings, which the user may have to act on.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Where a message comes from: source module, line and operation name.
// Entries name the module as the file name without folder and extension.
struct QLocation {
    const char* file; // source path as the compiler gives it
    int line;
    const char* operation;
};

#define QLOC(operation) (QLocation{__FILE__, __LINE__, (operation)})

// "module:line / operation", as entries show a location.
void qlocation_text(const QLocation& loc, char* out, int size);

#define QPRINTF(fmt, args) __attribute__((format(printf, fmt, args)))

void qerr(const QLocation& loc, const char* fmt, ...) QPRINTF(2, 3);
void qwarn(const QLocation& loc, const char* fmt, ...) QPRINTF(2, 3);
void qinform(const QLocation& loc, const char* fmt, ...) QPRINTF(2, 3);
void qtrace(const QLocation& loc, const char* fmt, ...) QPRINTF(2, 3);
[[noreturn]] void qfatal(const char* fmt, ...) QPRINTF(1, 2);

// Logs the reason and ends the process at once.
[[noreturn]] void QCrash(const char* reason);

// Longest formatted message, terminator excluded.
constexpr int QMESSAGE_MAX = 10239;

// Log file names, in the log folder (qlog_set_folder; the current folder until set).
constexpr const char* QLOG_FILE = "QLOG.txt";
constexpr const char* QLOG_OLD_FILE = "QLOG_OLD.txt";
constexpr const char* QLOG_LAST_FILE = "QLOG_LAST.txt";

// QLOG.txt is rotated when it already holds this many bytes.
constexpr long QLOG_ROTATE_SIZE = 10000001;

// Hooks filled in by the diagnostics set-up and the user interface. Each may be
// empty; the log writer then works without it.
using QTextSink = std::function<void(const char* text)>;
void qlog_set_udp_output(QTextSink sink);   // receives "LEVEL: text\n" and traces
void qlog_set_fatal_box(QTextSink showBox); // shows a fatal text modally
void qlog_set_last_log(std::FILE* lastLog);
// Where the log files go; the program sets its state folder before anything is logged.
void qlog_set_folder(const std::string& folder);
// A log file's name (QLOG_FILE, ...) with the log folder in front.
std::string qlog_path(const char* name); // QLOG_LAST.txt opened by the set-up
// Opens a log file for appending or afresh, readable by its user alone: made 0600
// whatever the umask, and one that an older run left open to others is closed up. Null
// when it cannot be opened.
std::FILE* qlog_open(const std::string& path, bool append);
std::FILE* qlog_last_log();

// Forgets the start markers and hooks, as at process start (tests use it).
void qlog_reset();

// Writes one entry at the given level ("ERR", "WARN", "INFO", "CRIT", "NOTE", "FATAL");
// loc may be null.
void qlog_write(const char* level, const QLocation* loc, const char* text);
