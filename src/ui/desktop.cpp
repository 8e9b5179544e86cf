#include "ui/desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QWidget>

Desktop::~Desktop() = default;

void QtDesktop::message(QWidget* parent, const QString& title, const QString& text,
                        MessageIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Warning:
        qicon = QMessageBox::Warning;
        break;
    case MessageIcon::Error:
    case MessageIcon::Critical:
        qicon = QMessageBox::Critical;
        break;
    }
    QMessageBox box(qicon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtDesktop::beep() {
    QApplication::beep();
}

void QtDesktop::setWaitCursor(QWidget* window, bool on) {
    if (!window)
        return;
    if (on)
        window->setCursor(Qt::WaitCursor);
    else
        window->unsetCursor();
}

void QtDesktop::writeSetting(const QString& application, const QString& section, const QString& key,
                             const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, application, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
}

QString Desktop::readSetting(const QString&, const QString&, const QString&) {
    return QString();
}

QString QtDesktop::readSetting(const QString& application, const QString& section,
                               const QString& key) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, application, application);
    settings.beginGroup(section);
    return settings.value(key).toString();
}

QString Desktop::saveFileName(QWidget*, const QString&, const QString&, const QString&) {
    return QString();
}

QString QtDesktop::saveFileName(QWidget* parent, const QString& caption,
                                const QString& suggestedName, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggestedName, filter);
}

int Desktop::ask(QWidget*, const QString&, const QString&, const QStringList& answers) {
    return int(answers.size()) - 1;
}

int QtDesktop::ask(QWidget* parent, const QString& title, const QString& text,
                   const QStringList& answers) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < answers.size(); ++i)
        buttons.append(box.addButton(answers[i], i + 1 == answers.size()
                                                     ? QMessageBox::RejectRole
                                                     : QMessageBox::AcceptRole));
    if (!buttons.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.last()));
        box.setEscapeButton(buttons.last());
    }
    box.exec();
    const qsizetype answer = buttons.indexOf(box.clickedButton());
    return int(answer < 0 ? answers.size() - 1 : answer);
}

bool mayReplaceFile(Desktop& desktop, QWidget* parent, const QString& title, const QString& path) {
    // A link counts as a file there, whatever it leads to.
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink())
        return true;
    return desktop.ask(
               parent, title,
               QStringLiteral("\u201c%1\u201d already exists. Replace it?").arg(file.fileName()),
               {QStringLiteral("Yes"), QStringLiteral("No")}) == 0;
}
