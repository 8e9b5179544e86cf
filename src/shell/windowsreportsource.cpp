#include "shell/windowsreportsource.h"

#include "shell/form1.h"
#include "shell/frmmain.h"
#include "shell/windows.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

QString WindowsReportSource::flag() {
    return windows_.frmMain()->Text1->text();
}

void WindowsReportSource::setFlag(const QString& flag) {
    windows_.frmMain()->Text1->setText(flag);
}

bool WindowsReportSource::counterFlowSelected() {
    return windows_.form1()->Option1->isChecked();
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
