#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <glm/vec2.hpp>

// Drives the real game binary from outside for end-to-end tests: starts it in
// a working directory, reads its log live (line-buffered through stdbuf),
// waits on log lines rather than on time, and ends it with SIGTERM.
class GameProcess {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // Starts MORVELUND_BINARY with 'args' in 'workDir'; 'env' is added to
    // this process's environment.
    GameProcess(const std::string& workDir, const std::vector<std::string>& args, const Environment& env = {});
    // Sends SIGTERM, and SIGKILL if that does not end it.
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Reads output until a line containing 'needle' appears (true), or until
    // the game exits or the deadline passes (false).
    bool waitForLine(const std::string& needle, int timeoutMs = 60000);
    // The player's position from the next "(x, y)" line, which the game logs
    // every 52 frames in every state: also a frame clock for tests. Each line
    // is handed out once; false at exit or the deadline.
    bool nextPosition(glm::vec2* position, int timeoutMs = 60000);
    // Reads position lines until one satisfies 'accept' (stored in *last).
    bool waitForPosition(const std::function<bool(glm::vec2)>& accept, glm::vec2* last = nullptr,
                         int timeoutMs = 60000);
    // Positions logged so far are passed over by the next nextPosition.
    void skipLoggedPositions();
    // The game's clock (ms since its start) on the last position line read.
    int lastPositionTime() const { return lastPositionMs; }
    // Waits for the game to end: its exit status, 128 + signal when killed,
    // or -1 at the deadline.
    int waitForExit(int timeoutMs = 60000);
    void terminate();
    bool running();

    // Everything the game printed so far.
    const std::string& output() const { return log; }
    pid_t pid() const { return child; }

private:
    // Reads what is available within 'timeoutMs'; false at end of output.
    bool readSome(int timeoutMs);
    bool reap(bool block);

    pid_t child = -1;
    int outputFd = -1;
    bool exited = false;
    int status = -1;
    std::string log;
    size_t searchedUpTo = 0;
    size_t positionsReadUpTo = 0;
    int lastPositionMs = 0;
};

// Runs a shell command and returns its standard output; exit status in *status.
std::string runCommand(const std::string& command, int* status = nullptr);
