#include "net/global.h"

#include "net/addr.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <enet/enet.h>
#include <mutex>
#include <unistd.h>

namespace {

std::once_flag startOnce;
std::atomic<bool> started{false};
std::atomic<int> portOffset{0};
std::atomic<int> dropPercentage{0};
QNAddress localHost;

// The ENet version the program asks for, 1.3.6.
constexpr ENetVersion REQUESTED_ENET_VERSION = 0x10306;

const char* describe(int code) {
    switch (code) {
    case EAGAIN:
        return "Resource temporarily unavailable";
    case EINPROGRESS:
        return "Blocking operation in progress";
    case ENOTSOCK:
        return "Not a socket";
    case ENOPROTOOPT:
        return "Bad protocol option";
    default:
        return "<unknown error>";
    }
}

} // namespace

bool qnInit() {
    bool startedNow = false;
    std::call_once(startOnce, [&] {
        started = true;
        startedNow = true;
        char host[257] = {0};
        if (gethostname(host, sizeof host - 1) == 0) localHost.GetByName(host);
        ENetCallbacks callbacks{};
        if (enet_initialize_with_callbacks(REQUESTED_ENET_VERSION, &callbacks) != 0)
            qerr(QLOC("qnInit"), "qnInit: can't initialize enet");
        else
            std::atexit(enet_deinitialize);
        portOffset = 0;
        dropPercentage = 0;
    });
    return startedNow;
}

bool qnStarted() {
    return started;
}

void qnError(const char* fmt, ...) {
    int code = errno; // before anything else can change it
    if (code == EAGAIN || code == EWOULDBLOCK || code == EHOSTUNREACH) return;
    char text[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    qwarn(QLOC("qnError"), "[QN] %s (%d/%s)", text, code, describe(code));
}

int qnPortOffset() {
    return portOffset;
}
void qnSetPortOffset(int offset) {
    portOffset = offset;
}
int qnDropPercentage() {
    return dropPercentage;
}
void qnSetDropPercentage(int percentage) {
    dropPercentage = percentage;
}
const QNAddress& qnLocalHost() {
    return localHost;
}
