#include "foundation/qthread.h"

#include "foundation/qmessage.h"

#include <cstring>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <unistd.h>

namespace {

std::mutex registryLock;
QThread* registry[QThread::MAX_THREADS] = {};

// Threads start one at a time across the process.
std::mutex startLock;

void addThread(QThread* thread) {
    std::lock_guard<std::mutex> hold(registryLock);
    for (QThread*& slot : registry)
        if (!slot) {
            slot = thread;
            return;
        }
    qwarn(QLOC("QThread::AddThread"), "AddThread(); out of thread space.\n");
}

void removeThread(QThread* thread) {
    std::lock_guard<std::mutex> hold(registryLock);
    for (QThread*& slot : registry)
        if (slot == thread) {
            slot = nullptr;
            return;
        }
    qwarn(QLOC("QThread::RemoveThread"), "RemoveThread(); can't find thread %p!\n", (void*)thread);
}

} // namespace

QThread::QThread(Function f, void* arg, const char* threadName)
    : function(f), argument(arg), name(threadName) {
    addThread(this);
}

QThread::~QThread() {
    Join();
    removeThread(this);
}

bool QThread::Start() {
    std::lock_guard<std::mutex> hold(startLock);
    if (thread.joinable()) return false;
    try {
        thread = std::thread(&QThread::run, this);
    } catch (const std::system_error&) {
        qerr(QLOC("QThread::Create"), "QThread:Create() failed to CreateThread()");
        return false;
    }
    // Named before Start returns, so the name is there as soon as anyone looks.
    char systemName[SYSTEM_NAME_LENGTH + 1] = {};
    std::strncpy(systemName, name.Text(), SYSTEM_NAME_LENGTH);
    pthread_setname_np(thread.native_handle(), systemName);
    return true;
}

void QThread::Join() {
    if (thread.joinable() && thread.get_id() != std::this_thread::get_id()) thread.join();
}

int QThread::RegisteredCount() {
    std::lock_guard<std::mutex> hold(registryLock);
    int count = 0;
    for (QThread* slot : registry)
        count += slot != nullptr;
    return count;
}

void QThread::run() {
    id = gettid();
    function(argument);
}
