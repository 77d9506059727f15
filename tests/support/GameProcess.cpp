#include "support/GameProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

GameProcess::GameProcess(const std::string& workDir, const std::vector<std::string>& args, const Environment& env)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    child = fork();
    if (child == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        if (chdir(workDir.c_str()) != 0)
            _exit(126);
        for (const auto& [name, value] : env)
            setenv(name.c_str(), value.c_str(), 1);
        // stdbuf's preload must not upset a sanitizer build's runtime check.
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 0);
        std::vector<std::string> argvStrings = {"stdbuf", "-oL", MORVELUND_BINARY};
        argvStrings.insert(argvStrings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : argvStrings)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp("stdbuf", argv.data());
        _exit(127);
    }
    close(fds[1]);
    outputFd = fds[0];
}

GameProcess::~GameProcess()
{
    if (child > 0 && !reap(false)) {
        terminate();
        if (waitForExit(10000) < 0) {
            kill(child, SIGKILL);
            reap(true);
        }
    }
    if (outputFd >= 0)
        close(outputFd);
}

bool GameProcess::readSome(int timeoutMs)
{
    pollfd request = {outputFd, POLLIN, 0};
    if (poll(&request, 1, timeoutMs) <= 0)
        return true;
    char buffer[4096];
    const ssize_t got = read(outputFd, buffer, sizeof(buffer));
    if (got <= 0)
        return false;
    log.append(buffer, static_cast<size_t>(got));
    return true;
}

bool GameProcess::waitForLine(const std::string& needle, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t found = log.find(needle, searchedUpTo);
        if (found != std::string::npos) {
            // Later waits look only after this line, so one line answers once.
            const size_t lineEnd = log.find('\n', found);
            searchedUpTo = lineEnd == std::string::npos ? log.size() : lineEnd + 1;
            return true;
        }
        if (outputFd < 0 || millisecondsLeft(deadline) == 0)
            return false;
        if (!readSome(millisecondsLeft(deadline)))
            return log.find(needle, searchedUpTo) != std::string::npos;
    }
}

namespace {

// "   [INFO] [000:01:234] (12.0, 34.5)" -> (12, 34.5), logged at 1234 ms
bool parsePosition(const std::string& line, glm::vec2* position, int* loggedMs)
{
    const size_t text = line.find("] (");
    if (line.find("[INFO]") == std::string::npos || text == std::string::npos)
        return false;
    float x = 0.0f;
    float y = 0.0f;
    char close = 0;
    if (std::sscanf(line.c_str() + text + 2, "(%f, %f%c", &x, &y, &close) != 3 || close != ')')
        return false;
    *position = glm::vec2(x, y);
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
    const size_t stamp = line.find("] [");
    if (stamp != std::string::npos &&
        std::sscanf(line.c_str() + stamp + 3, "%d:%d:%d", &minutes, &seconds, &milliseconds) == 3)
        *loggedMs = (minutes * 60 + seconds) * 1000 + milliseconds;
    return true;
}

} // namespace

bool GameProcess::nextPosition(glm::vec2* position, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t lineEnd;
        while ((lineEnd = log.find('\n', positionsReadUpTo)) != std::string::npos) {
            const std::string line = log.substr(positionsReadUpTo, lineEnd - positionsReadUpTo);
            positionsReadUpTo = lineEnd + 1;
            if (parsePosition(line, position, &lastPositionMs))
                return true;
        }
        if (outputFd < 0 || millisecondsLeft(deadline) == 0 || !readSome(millisecondsLeft(deadline)))
            return false;
    }
}

bool GameProcess::waitForPosition(const std::function<bool(glm::vec2)>& accept, glm::vec2* last, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    glm::vec2 position;
    while (nextPosition(&position, millisecondsLeft(deadline))) {
        if (last != nullptr)
            *last = position;
        if (accept(position))
            return true;
    }
    return false;
}

void GameProcess::skipLoggedPositions()
{
    // Take in what the game has printed so far, without waiting for more.
    pollfd pending = {outputFd, POLLIN, 0};
    while (outputFd >= 0 && poll(&pending, 1, 0) > 0 && readSome(0)) {
    }
    const size_t lastLineEnd = log.rfind('\n');
    if (lastLineEnd != std::string::npos && lastLineEnd + 1 > positionsReadUpTo)
        positionsReadUpTo = lastLineEnd + 1;
}

bool GameProcess::reap(bool block)
{
    if (exited)
        return true;
    int raw = 0;
    const pid_t done = waitpid(child, &raw, block ? 0 : WNOHANG);
    if (done != child)
        return false;
    exited = true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return true;
}

int GameProcess::waitForExit(int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Drain the output so the game never blocks on a full pipe, then reap.
    while (outputFd >= 0 && millisecondsLeft(deadline) > 0 && readSome(millisecondsLeft(deadline))) {
        if (reap(false))
            break;
    }
    while (!reap(false)) {
        if (millisecondsLeft(deadline) == 0)
            return -1;
        pollfd none = {-1, 0, 0};
        poll(&none, 0, 20);
    }
    return status;
}

void GameProcess::terminate()
{
    if (child > 0 && !exited)
        kill(child, SIGTERM);
}

bool GameProcess::running()
{
    return child > 0 && !reap(false);
}

std::string runCommand(const std::string& command, int* status)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (status != nullptr)
            *status = -1;
        return output;
    }
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, got);
    const int raw = pclose(pipe);
    if (status != nullptr)
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}
