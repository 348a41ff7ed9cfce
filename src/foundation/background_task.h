// BackgroundTask: one piece of work at a time on a thread of its own, its end handed back
// to the thread that started it (the user-interface thread) through `post`, which queues a
// function to run there later. Start, Running and the destructor belong to that thread.
#pragma once

#include <functional>
#include <memory>

class QThread;

class BackgroundTask {
  public:
    using Post = std::function<void(std::function<void()>)>;

    BackgroundTask(Post post, const char* threadName);
    // Waits for running work; its `done` never runs then.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Runs `work` on the thread and then, through post, `done` on this one. False (and
    // nothing runs) while earlier work has not yet ended with its `done`.
    bool Start(std::function<void()> work, std::function<void()> done);
    bool Running() const { return running; }

  private:
    struct Run;
    void finish(const std::function<void()>& done);

    Post post;
    const char* threadName;
    std::unique_ptr<QThread> thread;
    std::unique_ptr<Run> run;
    // Queued ends check it: one that arrives after this task is gone does nothing.
    std::shared_ptr<BackgroundTask*> self;
    bool running = false;
};
