#include "foundation/qsync.h"

#include <chrono>

QSema::QSema(int initialCount, int maximumCount) : count(initialCount), maximum(maximumCount) {}

bool QSema::Wait(int timeout) {
    std::unique_lock<std::mutex> hold(lock);
    auto available = [this] { return count > 0; };
    if (timeout == FOREVER)
        released.wait(hold, available);
    else if (timeout != TEST_ONLY &&
             !released.wait_for(hold, std::chrono::milliseconds(timeout), available))
        return false;
    if (count <= 0) return false;
    --count;
    return true;
}

bool QSema::Release() {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (count >= maximum) return false;
        ++count;
    }
    released.notify_one();
    return true;
}

int QSema::Count() {
    std::lock_guard<std::mutex> hold(lock);
    return count;
}
