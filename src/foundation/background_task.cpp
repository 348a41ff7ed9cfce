#include "foundation/background_task.h"

#include "foundation/qthread.h"

struct BackgroundTask::Run {
    std::function<void()> work, done;
    std::shared_ptr<BackgroundTask*> owner;
    Post post;
};

BackgroundTask::BackgroundTask(Post poster, const char* name)
    : post(std::move(poster)), threadName(name), self(std::make_shared<BackgroundTask*>(this)) {}

BackgroundTask::~BackgroundTask() {
    *self = nullptr;
    thread.reset(); // joins
}

bool BackgroundTask::Start(std::function<void()> work, std::function<void()> done) {
    if (running) return false;
    thread.reset(); // the last work's thread has ended: its end was handed over
    run = std::make_unique<Run>(Run{std::move(work), std::move(done), self, post});
    thread = std::make_unique<QThread>(
        [](void* argument) {
            auto* r = static_cast<Run*>(argument);
            r->work();
            // The last thing this thread does with the run: the end is the other thread's.
            r->post([owner = r->owner, done = r->done] {
                if (*owner) (*owner)->finish(done);
            });
        },
        run.get(), threadName);
    running = thread->Start();
    return running;
}

void BackgroundTask::finish(const std::function<void()>& done) {
    thread.reset();
    running = false;
    done();
}
