#include "supervisor.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The worker's report descriptor inside the child.
constexpr int kReportFd = 3;
// Time allowed between starting a child and its first action (start-up under the sanitizers).
constexpr int kStartupMs = 120000;

} // namespace

Supervisor::Supervisor(Options options)
    : options_(std::move(options)) {}

Supervisor::Totals Supervisor::run() {
    const Clock::time_point start = Clock::now();
    std::uint64_t session = options_.firstSession;
    for (;;) {
        const double left = options_.seconds - secondsSince(start);
        const std::int64_t actionsLeft =
            options_.maxActions < 0 ? -1 : options_.maxActions - totals_.actions;
        if (left <= 0 || actionsLeft == 0)
            break;
        if (!runSession(session++, left, actionsLeft))
            break;
    }
    std::printf("%lld actions, %d crashes, %d hangs, %d bad texts\n",
                static_cast<long long>(totals_.actions), totals_.crashes, totals_.hangs,
                totals_.bad);
    std::fflush(stdout);
    return totals_;
}

bool Supervisor::runSession(std::uint64_t session, double seconds, std::int64_t actions) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        std::perror("ctaudit-fuzz: pipe");
        ++totals_.crashes;
        return false;
    }
    const std::vector<std::string> args = {
        "ctaudit-fuzz", "--worker",
        "--seed",       std::to_string(options_.seed),
        "--session",    std::to_string(session),
        "--seconds",    std::to_string(seconds),
        "--actions",    std::to_string(actions),
        "--limit-ms",   std::to_string(options_.limitMs),
        "--report-fd",  std::to_string(kReportFd),
    };
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    if (options_.verbose)
        argv.push_back(const_cast<char*>("--verbose"));
    argv.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        std::perror("ctaudit-fuzz: fork");
        ++totals_.crashes;
        return false;
    }
    if (pid == 0) {
        ::dup2(fds[1], kReportFd); // the duplicate does not close on exec
        ::execv(options_.program.c_str(), argv.data());
        std::perror("ctaudit-fuzz: exec");
        ::_exit(127);
    }
    ::close(fds[1]);

    const auto where = [&](long long n, const std::string& what) {
        std::fprintf(stderr,
                     "  seed %llu session %llu action %lld: %s\n"
                     "  reproduce: ctaudit-fuzz --seed %llu --session %llu --actions %lld "
                     "--verbose\n",
                     static_cast<unsigned long long>(options_.seed),
                     static_cast<unsigned long long>(session), n, what.c_str(),
                     static_cast<unsigned long long>(options_.seed),
                     static_cast<unsigned long long>(session), n + 1);
    };

    std::string buffer;
    bool inAction = false, done = false, killed = false;
    long long current = -1;
    std::string currentWhat;
    Clock::time_point actionStart = Clock::now();
    const Clock::time_point spawned = Clock::now();
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            char chunk[4096];
            const ssize_t got = ::read(fds[0], chunk, sizeof chunk);
            if (got <= 0)
                break; // the child has gone
            buffer.append(chunk, size_t(got));
            std::size_t eol;
            while ((eol = buffer.find('\n')) != std::string::npos) {
                const std::string line = buffer.substr(0, eol);
                buffer.erase(0, eol + 1);
                if (line.size() < 3)
                    continue;
                const char kind = line[0];
                char* rest = nullptr;
                const long long n = std::strtoll(line.c_str() + 2, &rest, 10);
                const std::string text = (rest && *rest == ' ') ? std::string(rest + 1) : "";
                switch (kind) {
                case 'A':
                    inAction = true;
                    current = n;
                    currentWhat = text;
                    actionStart = Clock::now();
                    ++totals_.actions;
                    break;
                case 'E':
                    inAction = false;
                    break;
                case 'H':
                    ++totals_.hangs;
                    std::fprintf(stderr, "HANG: an action took %s ms\n", text.c_str());
                    where(n, currentWhat);
                    break;
                case 'B':
                    ++totals_.bad;
                    std::fprintf(stderr, "BAD: %s\n", text.c_str());
                    where(n, currentWhat);
                    break;
                case 'D':
                    done = true;
                    break;
                default:
                    break;
                }
            }
        }
        const double sinceAction = secondsSince(actionStart) * 1000;
        const double sinceSpawn = secondsSince(spawned) * 1000;
        if (!killed && ((inAction && sinceAction > options_.watchdogMs) ||
                        (current < 0 && sinceSpawn > kStartupMs))) {
            ::kill(pid, SIGKILL);
            killed = true;
            ++totals_.hangs;
            std::fprintf(stderr, "HANG: no end after %d ms; the session was killed\n",
                         current < 0 ? kStartupMs : options_.watchdogMs);
            where(current, currentWhat);
        }
    }
    ::close(fds[0]);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (killed)
        return true;
    const bool clean = done && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (clean)
        return false; // the session spent the time or the actions
    ++totals_.crashes;
    if (WIFSIGNALED(status))
        std::fprintf(stderr, "CRASH: signal %d (%s)\n", WTERMSIG(status),
                     strsignal(WTERMSIG(status)));
    else
        std::fprintf(stderr, "CRASH: exit status %d%s\n", WEXITSTATUS(status),
                     done ? " after the session ended" : "");
    where(current, inAction ? currentWhat : "(between actions) " + currentWhat);
    return true;
}
