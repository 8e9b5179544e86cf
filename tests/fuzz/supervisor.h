#pragma once
// The fuzzer's supervising process. It runs the sessions (fuzzsession.h) one after another in
// child processes, so that a crash (a sanitizer report, a signal) or a hang ends only one
// session: it reads each child's report lines, kills a child whose action has not ended after
// the watchdog's time, counts what went wrong, tells how to reproduce each finding, and
// starts the next session while time is left. Plain POSIX; no Qt.

#include <cstdint>
#include <string>

class Supervisor {
public:
    struct Options {
        std::string program; // the fuzzer's own executable, run with --worker
        std::uint64_t seed = 1;
        std::uint64_t firstSession = 0;
        double seconds = 60; // for all sessions together
        std::int64_t maxActions = -1;
        int limitMs = 2000;     // an action taking longer is a hang
        int watchdogMs = 10000; // an action taking this long is killed
        bool verbose = false;
    };
    struct Totals {
        std::int64_t actions = 0;
        int crashes = 0;
        int hangs = 0;
        int bad = 0;
    };

    explicit Supervisor(Options options);

    // Runs the sessions and prints the closing line; returns the totals.
    Totals run();

private:
    // One session from start to end; returns false when no time or actions are left.
    bool runSession(std::uint64_t session, double seconds, std::int64_t actions);

    Options options_;
    Totals totals_;
};
