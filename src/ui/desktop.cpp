#include "ui/desktop.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
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
