#pragma once
// The files the program ships with and where it finds them: the spreadsheet template, the
// LibreOffice Calc module and the manual. Each is looked for beside the executable first (the
// build tree, build/bin/), then in the folder the package installs it into, fixed when the
// program is built; neither the build tree nor an environment variable is needed once it is
// installed.
//
// The start check (ctaudit --check) shows the start window, names each file where it was
// found and ends the program: a short run that proves an installation complete.

#include <QString>
#include <QStringList>
#include <QTextStream>

class Windows;

struct ProgramFile {
    QString what;           // "template", "Calc module", "manual"
    QStringList candidates; // where it is looked for, in that order
    // The first candidate that is a file; empty when there is none.
    QString found() const;
};

namespace programfiles {

// The folders of the manual's pages: "manual" beside the executable, then the installed one.
QStringList manualFolders();
// The manual's first page where it is found; empty when it is nowhere.
QString manualIndex();
// The template, the Calc module and the manual, with where each is looked for.
QList<ProgramFile> all();

// The start check: the main and start windows must be shown (call windows.start() first),
// every program file found and the Calc module loaded (the office is not started). Writes one line
// for the version, the start window and each file, and returns the exit status: 0 when all is well,
// 1 otherwise.
int checkStart(Windows& windows, QTextStream& out);

} // namespace programfiles
