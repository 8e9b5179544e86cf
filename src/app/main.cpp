// ctaudit: energy audit of wet (direct-contact) cooling towers.
//
//   ctaudit [FILE]    FILE: an audit to open at start (or a batch input CSV to pick a case of)

#include "app/auditdocument.h"
#include "app/windows.h"
#include "ui/desktop.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("An audit to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    QtDesktop desktop;
    Windows windows(desktop);
    AuditDocument document(windows);
    windows.start();
    if (!parser.positionalArguments().isEmpty())
        document.open(parser.positionalArguments().front());
    return QApplication::exec();
}
