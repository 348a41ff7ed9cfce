// QThread: a named thread running one function with one argument. Every thread is
// entered in a process-wide registry of 50 entries; its name is also given to the
// system (cut to the 15 characters Linux keeps), so tools like top and gdb show it.
#pragma once

#include "foundation/qstring.h"

#include <atomic>
#include <sys/types.h>
#include <thread>

class QThread {
  public:
    using Function = void (*)(void* argument);
    static constexpr int MAX_THREADS = 50;
    static constexpr int SYSTEM_NAME_LENGTH = 15;

    QThread(Function function, void* argument, const char* name);
    // Waits for the function to return: a thread is ended by its own function.
    ~QThread();
    QThread(const QThread&) = delete;
    QThread& operator=(const QThread&) = delete;

    // Starts the function on a new thread; false (after reporting it) when none could be made.
    bool Start();
    // Waits until the function has returned; at once when the thread never started.
    void Join();

    const char* Name() const { return name.Text(); }
    // The system's id of the running thread, 0 before it has started.
    pid_t Id() const { return id.load(); }
    bool Started() const { return thread.joinable(); }

    // How many threads the registry holds now.
    static int RegisteredCount();

  private:
    void run();

    Function function;
    void* argument;
    qstring name;
    std::thread thread;
    std::atomic<pid_t> id{0};
};
