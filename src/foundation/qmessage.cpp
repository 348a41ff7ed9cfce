#include "foundation/qmessage.h"

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const START_MARKER = "--- application start ---";
const char* const APP_NAME = "-"; // the foundation has no application object here

std::atomic<bool> startMarkerWritten{false};
std::atomic<bool> lastMarkerWritten{false};
std::atomic<std::FILE*> lastLog{nullptr};

// The hooks are set once at start-up and read from any thread.
std::mutex hookMutex;
QTextSink udpOutput;
QTextSink fatalBox;
std::string logFolder; // empty: the current folder

std::string logPath(const char* name) {
    std::lock_guard<std::mutex> lock(hookMutex);
    return logFolder.empty() ? name : logFolder + "/" + name;
}

QTextSink hook(const QTextSink& which) {
    std::lock_guard<std::mutex> lock(hookMutex);
    return which;
}

struct Message {
    char text[QMESSAGE_MAX + 2]; // room for an added line end
};

// Formats the variable arguments of the enclosing function into the message m.
#define FORMAT_MESSAGE(m, fmt)                                                                     \
    do {                                                                                           \
        va_list args;                                                                              \
        va_start(args, fmt);                                                                       \
        std::vsnprintf((m).text, QMESSAGE_MAX + 1, fmt, args);                                     \
        va_end(args);                                                                              \
    } while (0)

void ensureLineEnd(Message& m) {
    size_t n = std::strlen(m.text);
    if (n == 0 || m.text[n - 1] != '\n') {
        m.text[n] = '\n';
        m.text[n + 1] = 0;
    }
}

void localTimeText(char* out, size_t size) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    if (std::strftime(out, size, "%a %b %d %H:%M:%S", &tm) == 0) out[0] = 0;
}

// Moves a full QLOG.txt aside so the next entry starts a new one.
void rotateIfFull(const std::string& log) {
    struct stat st {};
    if (stat(log.c_str(), &st) != 0 || st.st_size < QLOG_ROTATE_SIZE) return;
    std::string old = logPath(QLOG_OLD_FILE);
    std::remove(old.c_str());
    std::rename(log.c_str(), old.c_str());
}

// One line of QLOG.txt, with the local time.
void appendToLog(const char* time, const char* level, const QLocation* loc, const char* text) {
    std::string log = logPath(QLOG_FILE);
    rotateIfFull(log);
    std::FILE* f = qlog_open(log, true);
    if (!f) {
        std::fprintf(stderr, "** [%s/%d] Can't open log file (QLOG)\n", APP_NAME, (int)getpid());
        return;
    }
    if (loc) {
        char where[512];
        qlocation_text(*loc, where, sizeof where);
        std::fprintf(f, "%s (%-5s): [%s] %s [%s]\n", time, level, APP_NAME, text, where);
    } else
        std::fprintf(f, "%s (%-5s): [%s] %s\n", time, level, APP_NAME, text);
    std::fclose(f);
}

bool goesToLastLog(const char* level) {
    return !std::strcmp(level, "ERR") || !std::strcmp(level, "WARN") ||
           !std::strcmp(level, "CRIT") || !std::strcmp(level, "FATAL");
}

void writeEntry(const char* level, const QLocation* loc, const char* rawText, bool forLastLog);

void writeStartMarker(bool forLastLog) {
    writeEntry("INFO", nullptr, START_MARKER, forLastLog);
}

void appendToLastLog(const char* time, const char* level, const QLocation* loc, const char* text) {
    std::FILE* f = lastLog.load();
    if (!f) return;
    if (loc) {
        char where[512];
        qlocation_text(*loc, where, sizeof where);
        std::fprintf(f, "%s (%s): %s [%s]\n", time, level, text, where);
    } else
        std::fprintf(f, "%s (%s): %s\n", time, level, text);
    std::fflush(f);
}

void writeEntry(const char* level, const QLocation* loc, const char* rawText, bool forLastLog) {
    if (!startMarkerWritten.exchange(true)) writeStartMarker(false);

    // One trailing line end goes; the entry adds its own.
    Message m;
    std::snprintf(m.text, sizeof m.text, "%s", rawText ? rawText : "");
    size_t n = std::strlen(m.text);
    if (n > 0 && m.text[n - 1] == '\n') m.text[n - 1] = 0;
    const char* text = m.text;

    // Standard error is for what the user must act on: errors and warnings print
    // themselves there, information stays in the log.
    bool fatal = !std::strcmp(level, "FATAL");
    if (fatal) {
        std::fprintf(stderr, "%s\n", text);
        if (QTextSink box = hook(fatalBox)) box(text);
    }
    if (QTextSink udp = hook(udpOutput)) {
        std::string packet = std::string(level) + ": " + text + "\n";
        udp(packet.c_str());
    }

    char time[64];
    localTimeText(time, sizeof time);
    appendToLog(time, level, loc, text);

    if (lastLog.load() && (forLastLog || goesToLastLog(level))) {
        if (!lastMarkerWritten.exchange(true)) writeStartMarker(true);
        appendToLastLog(time, level, loc, text);
    }
}

void sendTrace(const char* text) {
    if (QTextSink udp = hook(udpOutput)) udp(text);
}

void reportToStderrAndLog(const char* level, const QLocation& loc, Message& m) {
    ensureLineEnd(m);
    std::fprintf(stderr, "%s", m.text);
    writeEntry(level, &loc, m.text, false);
}

} // namespace

void qlocation_text(const QLocation& loc, char* out, int size) {
    const char* base = loc.file ? loc.file : "";
    for (const char* p = base; *p; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    const char* dot = std::strrchr(base, '.');
    int moduleLength = dot ? (int)(dot - base) : (int)std::strlen(base);
    std::snprintf(out, size, "%.*s:%d / %s", moduleLength, base, loc.line,
                  loc.operation ? loc.operation : "");
}

void qlog_write(const char* level, const QLocation* loc, const char* text) {
    writeEntry(level, loc, text, false);
}

void qerr(const QLocation& loc, const char* fmt, ...) {
    Message m;
    FORMAT_MESSAGE(m, fmt);
    reportToStderrAndLog("ERR", loc, m);
}

void qwarn(const QLocation& loc, const char* fmt, ...) {
    Message m;
    FORMAT_MESSAGE(m, fmt);
    reportToStderrAndLog("WARN", loc, m);
}

void qinform(const QLocation& loc, const char* fmt, ...) {
    Message m;
    FORMAT_MESSAGE(m, fmt);
    writeEntry("INFO", &loc, m.text, false);
}

void qtrace(const QLocation& loc, const char* fmt, ...) {
    Message m;
    FORMAT_MESSAGE(m, fmt);
    sendTrace(m.text);
    // Traces are for the developer: into the log, which rotates, never onto the terminal.
    if (!startMarkerWritten.exchange(true)) writeStartMarker(false);
    size_t n = std::strlen(m.text);
    if (n > 0 && m.text[n - 1] == '\n') m.text[n - 1] = 0;
    char time[64];
    localTimeText(time, sizeof time);
    appendToLog(time, "TRACE", &loc, m.text);
}

void qfatal(const char* fmt, ...) {
    Message m;
    FORMAT_MESSAGE(m, fmt);
    writeEntry("FATAL", nullptr, m.text, false);
    QCrash("qfatal");
}

void QCrash(const char* reason) {
    qinform(QLOC("QCrash"), "Going to crash, reason: %s", reason);
    std::fflush(nullptr);
    _exit(3);
}

void qlog_set_udp_output(QTextSink sink) {
    std::lock_guard<std::mutex> lock(hookMutex);
    udpOutput = std::move(sink);
}

void qlog_set_fatal_box(QTextSink showBox) {
    std::lock_guard<std::mutex> lock(hookMutex);
    fatalBox = std::move(showBox);
}

void qlog_set_folder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(hookMutex);
    logFolder = folder;
}

std::FILE* qlog_open(const std::string& path, bool append) {
    int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0600);
    if (fd < 0) return nullptr;
    // The log tells what the user worked on and where: a log of ours that others can
    // read is narrowed to its user.
    struct stat info {};
    if (fstat(fd, &info) == 0 && (info.st_mode & 077) && info.st_uid == geteuid())
        fchmod(fd, info.st_mode & 0700);
    std::FILE* f = fdopen(fd, append ? "a" : "w");
    if (!f) close(fd);
    return f;
}

std::string qlog_path(const char* name) {
    return logPath(name);
}

void qlog_set_last_log(std::FILE* f) {
    lastLog.store(f);
}

std::FILE* qlog_last_log() {
    return lastLog.load();
}

void qlog_reset() {
    startMarkerWritten = false;
    lastMarkerWritten = false;
    lastLog = nullptr;
    qlog_set_folder("");
    qlog_set_udp_output(nullptr);
    qlog_set_fatal_box(nullptr);
}
