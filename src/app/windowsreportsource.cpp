#include "app/windowsreportsource.h"

#include "app/windows.h"
#include "ui/currencytext.h"
#include "ui/mainwindow.h"

#include <QLabel>
#include <QLineEdit>

QString WindowsReportSource::flag() {
    return windows_.mainWindow()->spreadsheetFlag()->text();
}

void WindowsReportSource::setFlag(const QString& flag) {
    windows_.mainWindow()->spreadsheetFlag()->setText(flag);
}

Arrangement WindowsReportSource::arrangement() {
    return windows_.chosenArrangement();
}

std::optional<QString> WindowsReportSource::controlText(const QString& form,
                                                        const QString& control) {
    return windows_.controlText(form, control);
}

void WindowsReportSource::setStatus(const QString& text) {
    windows_.setStatus(text);
    // The export blocks the event loop while the office starts: paint the line now.
    windows_.mainWindow()->statusLabel()->repaint();
}

std::vector<int> WindowsReportSource::outOfDateProblems() {
    return currencytext::outOfDateProblems(windows_.audit(), arrangement());
}
