#include "foundation/qshell.h"

#include <cerrno>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {
std::mutex handlerMutex;
QShellHandler currentHandler;
} // namespace

bool QXdgOpen(const char* target) {
    if (!target) return false;
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(target), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool QShellOpen(const char* target) {
    QShellHandler handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        handler = currentHandler;
    }
    return handler ? handler(target) : QXdgOpen(target);
}

QShellHandler QSetShellHandler(QShellHandler handler) {
    std::lock_guard<std::mutex> lock(handlerMutex);
    QShellHandler previous = std::move(currentHandler);
    currentHandler = std::move(handler);
    return previous;
}
