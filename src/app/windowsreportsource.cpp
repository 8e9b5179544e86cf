#include "app/windowsreportsource.h"

#include "app/windows.h"
#include "ui/frmmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

QString WindowsReportSource::flag() {
    return windows_.frmMain()->Text1->text();
}

void WindowsReportSource::setFlag(const QString& flag) {
    windows_.frmMain()->Text1->setText(flag);
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
    windows_.frmMain()->lblstatus->repaint();
}
