// QSema and QMutex: the counting semaphore and the mutex the server threads coordinate with.
#pragma once

#include <condition_variable>
#include <mutex>

class QSema {
  public:
    static constexpr int FOREVER = 0;
    static constexpr int TEST_ONLY = -1;

    QSema(int initialCount, int maximumCount);

    // Takes one unit: timeout 0 waits for ever, -1 only tests, any other value waits that
    // many milliseconds. True when a unit was taken.
    bool Wait(int timeoutMilliseconds = FOREVER);
    // Gives one unit back; false when the count is already at its maximum.
    bool Release();
    int Count();

  private:
    std::mutex lock;
    std::condition_variable released;
    int count;
    int maximum;
};

// Created unowned.
class QMutex {
  public:
    void Lock() { mutex.lock(); }
    void Unlock() { mutex.unlock(); }
    bool TryLock() { return mutex.try_lock(); }

  private:
    std::mutex mutex;
};

// Holds a QMutex for the life of a scope.
class QMutexLock {
  public:
    explicit QMutexLock(QMutex& m) : mutex(m) { mutex.Lock(); }
    ~QMutexLock() { mutex.Unlock(); }
    QMutexLock(const QMutexLock&) = delete;
    QMutexLock& operator=(const QMutexLock&) = delete;

  private:
    QMutex& mutex;
};
