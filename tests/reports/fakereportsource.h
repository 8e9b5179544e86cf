#pragma once
// A ReportSource without windows: every control shows a text naming its window, its control
// and the export number, so each cell of an export can be traced back to its source.

#include "reports/reportsource.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

class FakeReportSource final : public ReportSource {
public:
    QString flag() override { return flagText; }
    void setFlag(const QString& flag) override { flagText = flag; }
    Arrangement arrangement() override { return chosen; }
    std::optional<QString> controlText(const QString& form, const QString& control) override;
    void setStatus(const QString& text) override { statuses.append(text); }
    std::vector<int> outOfDateProblems() override { return outOfDate; }

    // The text a control shows in export number `exportNumber`; a window never opened shows
    // its design text instead.
    QString textOf(const QString& form, const QString& control) const;

    QString flagText = QStringLiteral("0");
    Arrangement chosen = Arrangement::CounterFlow;
    int exportNumber = 1;
    QSet<QString> neverOpened;        // windows that show their design texts
    QMap<QString, QString> overrides; // "Form5.Text1" -> text
    QSet<QString> unreadable;         // "Form5.lbl2": cannot be read
    QStringList formsRead;            // every form asked for, in order
    QStringList statuses;             // every status line text, in order
    std::vector<int> outOfDate;       // the Problems whose results are out of date
};
