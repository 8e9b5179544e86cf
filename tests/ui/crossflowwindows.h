#pragma once
// Shared helpers of the cross-flow window tests: what a window shows (for "nothing changed"
// checks), the number a displayed text stands for, and the inlet air as the moist-air
// calculator rounds it, so that the tests can recompute every result independently with the
// numeric core from the texts the windows display.

#include "app/windows.h"
#include "core/crossflow.h"
#include "core/psychro.h"
#include "engine/numtext.h"
#include "support/recordingdesktop.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <limits>
#include <memory>

namespace cftest {

// Everything a window shows: texts of fields and labels, visibility of labels, enabled state
// of buttons, and the cells of a grid.
inline QMap<QString, QString> snapshot(const QWidget* window) {
    QMap<QString, QString> shown;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>())
        shown.insert(edit->objectName(), edit->text());
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty())
            continue;
        shown.insert(label->objectName(), label->text());
        shown.insert(label->objectName() + QStringLiteral(".visible"),
                     label->isVisibleTo(window) ? QStringLiteral("1") : QStringLiteral("0"));
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (!button->objectName().isEmpty())
            shown.insert(button->objectName() + QStringLiteral(".enabled"),
                         button->isEnabled() ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QTableWidget* grid : window->findChildren<QTableWidget*>()) {
        shown.insert(grid->objectName() + QStringLiteral(".rows"),
                     QString::number(grid->rowCount()));
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                if (const QTableWidgetItem* item = grid->item(r, c))
                    shown.insert(QStringLiteral("%1[%2,%3]").arg(grid->objectName()).arg(r).arg(c),
                                 item->text());
    }
    return shown;
}

// The number a displayed text stands for; NaN when it is not a number.
inline double value(const QString& text) {
    return numtext::readNumber(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

// A value as a window reads it back after showing it in `pattern`.
inline double shown(double v, const char* pattern) {
    return value(numtext::format(v, pattern));
}

// An air state as the moist-air calculator shows it: wet bulb with 2 decimals, absolute
// humidity with 5, enthalpy with 4, relative humidity with 1.
struct ShownAir {
    double wetBulb = 0;
    double absoluteHumidity = 0;
    double enthalpy = 0;
    double relativeHumidity = 0;
};

inline ShownAir shownAir(psychro::Given given, double p, double t, double second) {
    const psychro::AirResult r = psychro::moistAirState(given, p, t, second);
    if (r.status != psychro::AirStatus::Ok) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan, nan, nan};
    }
    return {shown(r.state.wetBulb, "###0.00"), shown(r.state.absoluteHumidity, "##0.00000"),
            shown(r.state.enthalpy, "####0.0000"), shown(r.state.relativeHumidity, "##0.0")};
}

// True when no text of the snapshot shows a non-finite number ("nan", "inf", "infinity").
inline bool allFinite(const QMap<QString, QString>& shown) {
    static const QRegularExpression nonFinite(QStringLiteral("\\b(nan|inf|infinity)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const QString& text : shown)
        if (nonFinite.match(text).hasMatch())
            return false;
    return true;
}

// The windows of one run with a recording desktop, created afresh for every test function.
class Fixture : public QObject {
protected:
    RecordingDesktop desktop;
    std::unique_ptr<Windows> windows;

    void startWindows() {
        QLocale::setDefault(QLocale::c());
        desktop.clear();
        desktop.onMessage = nullptr;
        windows = std::make_unique<Windows>(desktop);
        windows->start();
    }
    void stopWindows() { windows.reset(); }

    // Types into fields of a window: {"Text4=20", "Text6="}.
    static void setFields(QWidget* window, const QStringList& edits) {
        for (const QString& edit : edits) {
            const QStringList parts = edit.split(QLatin1Char('='));
            auto* field = window->findChild<QLineEdit*>(parts.at(0));
            QVERIFY2(field, qPrintable(parts.at(0)));
            field->setText(parts.value(1));
        }
    }
};

} // namespace cftest
