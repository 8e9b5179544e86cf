#pragma once
// What the spreadsheet report reads from the real windows: the main window's spreadsheet flag,
// the arrangement chosen on the start window, and any control by window and name (loading a
// window that was never opened with its designed contents).

#include "reports/reportsource.h"

class Windows;

class WindowsReportSource final : public ReportSource {
public:
    explicit WindowsReportSource(Windows& windows)
        : windows_(windows) {}

    QString flag() override;
    void setFlag(const QString& flag) override;
    Arrangement arrangement() override;
    std::optional<QString> controlText(const QString& form, const QString& control) override;
    void setStatus(const QString& text) override;
    std::vector<int> outOfDateProblems() override;

private:
    Windows& windows_;
};
