#pragma once
// What a random walk did so far, kept so that a crash, a hang or a sanitizer
// report can say which seed and which steps led to it; and the watchdog that
// ends a walk that stops making progress.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace mutaplot::testing {

class MonkeyLog {
public:
    // The one log of the process (the fatal-signal and sanitizer hooks print it).
    static MonkeyLog& Instance();

    // A new walk: clears the steps. `trace`: every step is printed at once.
    void Begin(std::string testName, std::uint32_t seed, bool trace);
    void Add(std::string line);
    // The walk is over: a later report (a leak at exit) names no step.
    void End() { ended_ = true; }
    // The step that is running.
    void SetStep(long step) { step_ = step; }
    // Prints the seed, how to replay and the last steps to standard error.
    void Print(const char* why);

private:
    MonkeyLog() = default;
    std::mutex mutex_;
    std::string testName_;
    std::uint32_t seed_ = 0;
    bool trace_ = false;
    bool active_ = false;
    std::atomic<bool> ended_{false};
    std::deque<std::string> lines_;  // the last steps
    std::atomic<long> step_{0};
};

// Installs the hooks that print the log when the process dies of a fatal
// signal or a sanitizer report (once per process).
void InstallMonkeyDeathHooks();

// Ends the process with status 124 and the log when no step has begun for
// `seconds` seconds.
class MonkeyWatchdog {
public:
    explicit MonkeyWatchdog(int seconds);
    ~MonkeyWatchdog();
    MonkeyWatchdog(const MonkeyWatchdog&) = delete;
    MonkeyWatchdog& operator=(const MonkeyWatchdog&) = delete;
    // A step begins.
    void Tick();

private:
    void Watch();

    const std::chrono::seconds limit_;
    std::atomic<std::int64_t> lastTick_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace mutaplot::testing
