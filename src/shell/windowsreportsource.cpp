#include "shell/windowsreportsource.h"

#include "shell/form1.h"
#include "shell/frmmain.h"
#include "shell/windows.h"

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
