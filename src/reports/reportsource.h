#pragma once
// What the spreadsheet report reads from the windows and writes back. The shell implements
// it over the real windows; reading a control of a window that was never opened creates the
// window with its designed contents.

#include "core/arrangement.h"

#include <QString>
#include <optional>
#include <vector>

struct ReportSource {
    virtual ~ReportSource() = default;

    // frmMain.Text1, the spreadsheet-open flag: "0" until the first export of the run.
    virtual QString flag() = 0;
    virtual void setFlag(const QString& flag) = 0;
    // The arrangement chosen on the start window.
    virtual Arrangement arrangement() = 0;
    // The displayed text of a control: a text field's text, a label's caption; nullopt when
    // the control cannot be read.
    virtual std::optional<QString> controlText(const QString& form, const QString& control) = 0;
    // Shows a text on the main window's status line at once, even while the export works.
    virtual void setStatus(const QString& text) = 0;
    // The Problems of the chosen arrangement whose results are out of date, in order: the
    // export writes their columns as calculated and names them on the status line.
    virtual std::vector<int> outOfDateProblems() { return {}; }
};
