// ctaudit-fuzz: a seeded fuzzer of the program's windows.
//
//   ctaudit-fuzz [--seconds N] [--seed S] [--session K] [--actions N] [--limit-ms MS]
//                [--verbose]
//
// Drives the real windows offscreen with random but reproducible actions for N seconds
// (default 60) and prints one closing line, "N actions, C crashes, H hangs, B bad texts";
// exits non-zero when any of the last three is not 0. Each finding is reported on standard
// error with the command that reproduces it (a seed, a session and an action count). The
// sessions run in child processes (supervisor.h); --worker runs one session in this process
// and is used by the supervisor only.

#include "fuzzsession.h"
#include "supervisor.h"

#include <QApplication>
#include <QByteArray>
#include <QSet>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

void usage() {
    std::fprintf(stderr, "usage: ctaudit-fuzz [--seconds N] [--seed S] [--session K] "
                         "[--actions N] [--limit-ms MS] [--verbose]\n");
}

// Qt's warnings once each, so that a repeated one does not flood the report.
void messageHandler(QtMsgType type, const QMessageLogContext&, const QString& text) {
    static QSet<QString> seen;
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(text));
        std::abort();
    }
    if (type == QtDebugMsg || type == QtInfoMsg || seen.contains(text))
        return;
    // Notes of the offscreen platform, not of the program.
    if (text.contains(QLatin1String("XDG_RUNTIME_DIR")) ||
        text.contains(QLatin1String("propagateSizeHints")) ||
        text.contains(QLatin1String("OpenType support missing")))
        return;
    seen.insert(text);
    std::fprintf(stderr, "Qt warning: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv) {
    Supervisor::Options supervise;
    FuzzSession::Options session;
    bool worker = false, seeded = false, timed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--seconds") {
            supervise.seconds = session.seconds = std::atof(value());
            timed = true;
        } else if (arg == "--seed") {
            supervise.seed = session.seed = std::strtoull(value(), nullptr, 10);
            seeded = true;
        } else if (arg == "--session") {
            supervise.firstSession = session.session = std::strtoull(value(), nullptr, 10);
        } else if (arg == "--actions") {
            supervise.maxActions = session.maxActions = std::strtoll(value(), nullptr, 10);
        } else if (arg == "--limit-ms") {
            supervise.limitMs = session.limitMs = std::atoi(value());
        } else if (arg == "--report-fd") {
            session.reportFd = std::atoi(value());
        } else if (arg == "--verbose") {
            supervise.verbose = session.verbose = true;
        } else if (arg == "--worker") {
            worker = true;
        } else {
            usage();
            return 2;
        }
    }

    if (worker) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(messageHandler);
        QApplication app(argc, argv);
        QStandardPaths::setTestModeEnabled(true);
        FuzzSession(session).run();
        return 0;
    }

    if (!seeded) {
        supervise.seed = std::random_device{}();
        std::fprintf(stderr, "ctaudit-fuzz: seed %llu\n",
                     static_cast<unsigned long long>(supervise.seed));
    }
    if (!timed && supervise.maxActions >= 0)
        supervise.seconds = 1e9; // a replay runs its actions, however long they take
    supervise.program = "/proc/self/exe";
    const Supervisor::Totals totals = Supervisor(supervise).run();
    return (totals.crashes || totals.hangs || totals.bad) ? 1 : 0;
}
