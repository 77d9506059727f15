#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Slows a running process from outside, as a busy machine would: a thread
// stops it (SIGSTOP) and lets it go on (SIGCONT) by turns, so that its frames
// take at least the stopped time each. The process runs freely again once
// the throttle goes. Nothing in the process knows or changes.
class ProcessThrottle {
public:
    ProcessThrottle(pid_t pid, std::chrono::milliseconds running, std::chrono::milliseconds stopped);
    ~ProcessThrottle();
    ProcessThrottle(const ProcessThrottle&) = delete;
    ProcessThrottle& operator=(const ProcessThrottle&) = delete;

private:
    void run();
    // Waits 'time' or until the throttle ends; false once it has ended.
    bool pause(std::chrono::milliseconds time);

    const pid_t pid;
    const std::chrono::milliseconds running;
    const std::chrono::milliseconds stopped;
    std::mutex mutex;
    std::condition_variable wake;
    bool ending = false;
    std::thread worker;
};
