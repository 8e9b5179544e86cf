#pragma once
// The counter-flow chain for the window tests: a recording desktop, a fresh set of windows with
// the main window shown, and helpers that press the windows' buttons the way the engineer does.

#include "app/windows.h"
#include "support/recordingdesktop.h"
#include "ui/form10.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form5.h"
#include "ui/frmmain.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <memory>

struct Chain {
    Chain()
        : windows(std::make_unique<Windows>(desktop)) {
        windows->start();
        windows->frmMain()->activateWindow();
        activeWindow = QTest::qWaitForWindowActive(windows->frmMain());
    }

    Form5* form5() const { return windows->form5(); }
    Form2* form2() const { return windows->form2(); }
    Form10* form10() const { return windows->form10(); }
    Form3* form3() const { return windows->form3(); }

    // The window of the active child window of the main window.
    QWidget* active() const {
        QMdiSubWindow* sub = windows->frmMain()->mdiArea()->activeSubWindow();
        return sub ? sub->widget() : nullptr;
    }

    // Problem 1 calculated with its fields as they stand, then Problem 2 opened.
    void toProblem2() {
        windows->showChild(form5());
        form5()->Command1_Click();
        form5()->Command2_Click();
    }
    // ... Problem 2 calculated and Problem 3 opened (which copies Problem 1 there).
    void toProblem3() {
        toProblem2();
        form2()->Command1_Click();
        form2()->Command3_Click();
    }
    // ... Problem 3 calculated and Problem 4 opened.
    void toProblem4() {
        toProblem3();
        form10()->Command1_Click();
        form10()->Command3_Click();
    }

    RecordingDesktop desktop;
    bool activeWindow = false;
    std::unique_ptr<Windows> windows;
};

// Everything a window shows: the texts of its named fields and labels, and which of its
// buttons are enabled. Two equal snapshots mean the window was left exactly as it was.
inline QMap<QString, QString> snapshot(const QWidget* window) {
    QMap<QString, QString> texts;
    for (const QLineEdit* edit : window->findChildren<QLineEdit*>())
        if (!edit->objectName().isEmpty())
            texts.insert(edit->objectName(), edit->text());
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (!label->objectName().isEmpty())
            texts.insert(label->objectName(), label->text());
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (!button->objectName().isEmpty())
            texts.insert(button->objectName() + QLatin1String(".enabled"),
                         button->isEnabled() ? QStringLiteral("1") : QStringLiteral("0"));
    return texts;
}

// The child window of the main window's area that holds a window.
inline QMdiSubWindow* subWindowOf(const QWidget* window) {
    return qobject_cast<QMdiSubWindow*>(window->parentWidget());
}
