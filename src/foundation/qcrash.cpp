#include "foundation/qcrash.h"

#include "foundation/qmessage.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <exception>
#include <execinfo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <typeinfo>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int MAX_FRAMES = 64;
constexpr int SAME_FRAME_LIMIT = 3; // a frame repeated more often is an endless walk

// While a crash is reported, each step (a frame looked up, the log written) has this long
// before the report is taken for hung (a lock held by the crashed code) and the process
// ends anyway. Per step, not for the whole report: on a busy machine the lookups of a long
// stack together may take far longer without anything hanging.
constexpr unsigned STEP_SECONDS = 30;
volatile std::sig_atomic_t reportWatched = 0;

void watchStep() {
    if (reportWatched) alarm(STEP_SECONDS);
}
const int FATAL_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::string demangled(const char* name) {
    if (!name) return "";
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && readable ? readable : name;
    std::free(readable);
    return result;
}

// "ns::f(int) const" -> "ns::f": the report adds its own "()".
std::string withoutParameters(const std::string& function) {
    size_t end = function.rfind(')');
    if (end == std::string::npos) return function;
    int depth = 0;
    for (size_t i = end + 1; i-- > 0;) {
        if (function[i] == ')')
            ++depth;
        else if (function[i] == '(' && --depth == 0)
            return function.substr(0, i);
    }
    return function;
}

// Function, file and line of one address of a module, from its debugging information.
struct SourcePlace {
    std::string function;
    std::string file;
    int line = 0;
};

bool lookUpSource(const char* module, std::uintptr_t offset, SourcePlace& place) {
    int out[2];
    if (!module || !module[0] || pipe(out) != 0) return false;
    char address[32];
    std::snprintf(address, sizeof address, "0x%lx", (unsigned long)offset);
    char program[] = "addr2line";
    char functions[] = "-f";
    char demangle[] = "-C";
    char exe[] = "-e";
    char* argv[] = {program, functions, demangle, exe, const_cast<char*>(module), address, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    bool started = posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; started && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(out[0]);
    if (started) waitpid(pid, nullptr, 0);

    size_t end = text.find('\n');
    if (end == std::string::npos) return false;
    place.function = text.substr(0, end);
    std::string where = text.substr(end + 1);
    size_t colon = where.rfind(':');
    if (colon == std::string::npos || where.compare(0, 2, "??") == 0) return false;
    place.file = where.substr(0, colon);
    place.line = std::atoi(where.c_str() + colon + 1);
    if (place.function == "??") place.function.clear();
    return place.line > 0;
}

std::string frameLine(void* frame) {
    char address[32];
    std::snprintf(address, sizeof address, "0x%016lx", (unsigned long)(std::uintptr_t)frame);
    Dl_info info{};
    bool known = dladdr(frame, &info) != 0;
    const char* module = known && info.dli_fname && info.dli_fname[0] ? info.dli_fname : nullptr;
    std::string function = known ? demangled(info.dli_sname) : "";

    // Return addresses point after the call; the call itself is one byte earlier.
    SourcePlace place;
    auto offset = (std::uintptr_t)frame - (known ? (std::uintptr_t)info.dli_fbase : 0) - 1;
    if (lookUpSource(module, offset, place)) {
        if (function.empty()) function = place.function;
        if (function.empty()) function = "(function-name not available)";
        char line[2048];
        std::snprintf(line, sizeof line, "%s %s (line %d): %s()\n", address, place.file.c_str(),
                      place.line, withoutParameters(function).c_str());
        return line;
    }
    if (function.empty())
        function = place.function.empty() ? "(function-name not available)" : place.function;
    char line[2048];
    std::snprintf(line, sizeof line, "%s [%s]: %s: %s\n", address,
                  module ? module : "(module-name not available)", "(filename not available)",
                  function.c_str());
    return line;
}

[[noreturn]] void reportAndEnd(const std::string& text) {
    qfatal("%s", text.c_str());
}

void onSignal(int signal, siginfo_t* info, void*) {
    reportWatched = 1;
    watchStep();
    // Left out: the report, this handler and the signal trampoline.
    reportAndEnd(QCrashReport((unsigned)signal, info ? info->si_code : 0,
                              info ? info->si_addr : nullptr, 3));
}

void onTerminate() {
    std::string text = QCrashReport(QCRASH_UNCAUGHT_EXCEPTION, 1, nullptr, 2);
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            text += "\nUncaught exception " + demangled(typeid(e).name()) + ": " + e.what() + "\n";
        } catch (...) {
            std::type_info* type = abi::__cxa_current_exception_type();
            text += "\nUncaught exception " + demangled(type ? type->name() : nullptr) + "\n";
        }
    }
    reportAndEnd(text);
}

} // namespace

std::string QCrashReport(unsigned code, int flags, const void* address, int skipFrames) {
    char header[256];
    std::snprintf(header, sizeof header,
                  "Exception 0x%8.8X, flags %d, Address 0x%8.8X\n(this dialog text is stored in "
                  "QLOG.txt)\n\n",
                  code, flags, (unsigned)(std::uintptr_t)address);
    std::string text = header;
    void* frames[MAX_FRAMES];
    int count = backtrace(frames, MAX_FRAMES);
    int repeats = 0;
    for (int i = skipFrames; i < count; ++i) {
        repeats = i > skipFrames && frames[i] == frames[i - 1] ? repeats + 1 : 0;
        if (repeats >= SAME_FRAME_LIMIT) break;
        watchStep();
        text += frameLine(frames[i]);
    }
    watchStep();
    return text;
}

void QInstallCrashHandler() {
    // Its own stack, so even a stack overflow can be reported.
    static std::vector<char> alternateStack(64 * 1024);
    stack_t stack{};
    stack.ss_sp = alternateStack.data();
    stack.ss_size = alternateStack.size();
    sigaltstack(&stack, nullptr);

    struct sigaction action {};
    action.sa_sigaction = onSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : FATAL_SIGNALS)
        sigaction(signal, &action, nullptr);
    std::set_terminate(onTerminate);
}
