#include "MonkeyLog.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MUTAPLOT_MONKEY_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MUTAPLOT_MONKEY_ASAN 1
#endif
#ifdef MUTAPLOT_MONKEY_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace mutaplot::testing {

namespace {

constexpr std::size_t kKeptSteps = 80;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

#ifndef MUTAPLOT_MONKEY_ASAN
extern "C" void OnFatalSignal(int sig) {
    MonkeyLog::Instance().Print(sig == SIGABRT ? "abort" : "fatal signal");
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}
#endif

}  // namespace

MonkeyLog& MonkeyLog::Instance() {
    static MonkeyLog* log = new MonkeyLog;  // alive for the hooks at process end
    return *log;
}

void MonkeyLog::Begin(std::string testName, std::uint32_t seed, bool trace) {
    std::lock_guard lock(mutex_);
    testName_ = std::move(testName);
    seed_ = seed;
    trace_ = trace;
    active_ = true;
    ended_ = false;
    lines_.clear();
    step_ = 0;
}

void MonkeyLog::Add(std::string line) {
    std::lock_guard lock(mutex_);
    if (trace_) std::fprintf(stderr, "monkey %s\n", line.c_str());
    lines_.push_back(std::move(line));
    if (lines_.size() > kKeptSteps) lines_.pop_front();
}

void MonkeyLog::Print(const char* why) {
    // A fatal signal may arrive while the lock is held: print without it then.
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!active_) return;
    if (ended_) {
        std::fprintf(stderr, "\n=== GUI monkey: %s after the last walk (%s, seed %u) ended\n", why,
                     testName_.c_str(), seed_);
        return;
    }
    std::fprintf(stderr,
                 "\n=== GUI monkey: %s in %s, seed %u, at step %ld\n"
                 "=== replay: MUTAPLOT_MONKEY_SEED=%u MUTAPLOT_MONKEY_STEPS=%ld test_monkey "
                 "--gtest_filter=%s (MUTAPLOT_MONKEY_TRACE=1 prints every step)\n"
                 "=== the last %zu steps:\n",
                 why, testName_.c_str(), seed_, step_.load(), seed_, step_.load(), testName_.c_str(),
                 lines_.size());
    for (const std::string& line : lines_) std::fprintf(stderr, "  %s\n", line.c_str());
    std::fflush(stderr);
}

void InstallMonkeyDeathHooks() {
    static bool installed = false;
    if (installed) return;
    installed = true;
#ifdef MUTAPLOT_MONKEY_ASAN
    // The sanitizers handle the fatal signals themselves; their report ends
    // with the walk's log.
    __sanitizer_set_death_callback([] { MonkeyLog::Instance().Print("sanitizer report"); });
#else
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(sig, OnFatalSignal);
#endif
}

MonkeyWatchdog::MonkeyWatchdog(int seconds)
    : limit_(seconds), lastTick_(NowNs()), thread_([this] { Watch(); }) {}

MonkeyWatchdog::~MonkeyWatchdog() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void MonkeyWatchdog::Tick() { lastTick_ = NowNs(); }

void MonkeyWatchdog::Watch() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(200), [this] { return stop_; })) {
        const auto idle = std::chrono::nanoseconds(NowNs() - lastTick_.load());
        if (idle > limit_) {
            MonkeyLog::Instance().Print("hang (no step began for the watchdog's time)");
            std::_Exit(124);
        }
    }
}

}  // namespace mutaplot::testing
