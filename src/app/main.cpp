// ctaudit: energy audit of wet (direct-contact) cooling towers.
//
//   ctaudit [FILE]    FILE: an audit to open at start (or a batch input CSV to pick a case of)
//   ctaudit --check   shows the start window, names the program's files and exits

#include "app/aboutbox.h"
#include "app/auditdocument.h"
#include "app/capabilitywindow.h"
#include "app/help.h"
#include "app/programfiles.h"
#include "app/reportfile.h"
#include "app/reportwindow.h"
#include "app/windows.h"
#include "ui/desktop.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string_view>

namespace {

// Whether the command line asks for the help or the version: those need no display, so a Qt
// Core application answers them (a GUI application cannot start without one). --help-all
// stays with the GUI application, whose Qt options it lists.
bool asksHelpOrVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        if (argument == "--version" || argument == "--help" || argument == "-h" || argument == "-?")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // A limit on the file size (ulimit -f) makes a save past it fail with "File too large",
    // which the program reports, keeping the old file and the audit on screen, instead of
    // ending it with all unsaved work.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::unique_ptr<QCoreApplication> application =
        asksHelpOrVersion(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                      : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(applicationTitle());
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Shows the version and exits."));
    const QCommandLineOption checkOption(
        QStringLiteral("check"),
        QStringLiteral("Shows the start window, names where the template, the Calc module and "
                       "the manual were found, and exits (status 1 when one is missing)."));
    parser.addOption(versionOption);
    parser.addOption(checkOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("An audit to open."),
                                 QStringLiteral("[file]"));
    parser.process(*application);
    QTextStream out(stdout);
    if (parser.isSet(versionOption)) {
        out << "ctaudit " << AboutBox::version() << '\n';
        return 0;
    }

    QtDesktop desktop;
    Windows windows(desktop);
    AuditDocument document(windows);
    ReportFile reportFile(windows, document);
    new ReportWindow(windows, document);     // a child window of the main window, which owns it
    new CapabilityWindow(windows, document); // the same; "Capability" goes before "Report"
    AboutBox about(*windows.mainWindow());
    Help help(*windows.mainWindow());
    windows.start();
    if (parser.isSet(checkOption))
        return programfiles::checkStart(windows, out);
    if (!parser.positionalArguments().isEmpty())
        document.open(parser.positionalArguments().front());
    return QApplication::exec();
}
