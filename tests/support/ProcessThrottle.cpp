#include "support/ProcessThrottle.h"

#include <signal.h>

ProcessThrottle::ProcessThrottle(pid_t pid, std::chrono::milliseconds running, std::chrono::milliseconds stopped)
    : pid(pid), running(running), stopped(stopped), worker(&ProcessThrottle::run, this)
{
}

ProcessThrottle::~ProcessThrottle()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        ending = true;
    }
    wake.notify_all();
    worker.join();
    kill(pid, SIGCONT);
}

void ProcessThrottle::run()
{
    while (pause(running)) {
        kill(pid, SIGSTOP);
        const bool goOn = pause(stopped);
        kill(pid, SIGCONT);
        if (!goOn)
            return;
    }
}

bool ProcessThrottle::pause(std::chrono::milliseconds time)
{
    std::unique_lock<std::mutex> lock(mutex);
    return !wake.wait_for(lock, time, [this] { return ending; });
}
