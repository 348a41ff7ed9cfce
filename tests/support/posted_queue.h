// The user-interface thread's event queue for tests: other threads post functions, the
// test's thread runs them, waiting (never sleeping a fixed time) until one is there.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class PostedQueue {
  public:
    // What a BackgroundTask (or the window) is given to queue with.
    std::function<void(std::function<void()>)> Poster() {
        return [this](std::function<void()> f) {
            std::lock_guard<std::mutex> hold(lock);
            queue.push_back(std::move(f));
            posted.notify_all();
        };
    }
    // Waits up to a minute for a posted function and runs it; false when none came.
    bool RunNext() {
        std::unique_lock<std::mutex> hold(lock);
        if (!posted.wait_for(hold, std::chrono::seconds(60), [this] { return !queue.empty(); }))
            return false;
        std::function<void()> next = std::move(queue.front());
        queue.pop_front();
        hold.unlock();
        next();
        return true;
    }
    std::size_t Waiting() {
        std::lock_guard<std::mutex> hold(lock);
        return queue.size();
    }

  private:
    std::mutex lock;
    std::condition_variable posted;
    std::deque<std::function<void()>> queue;
};
