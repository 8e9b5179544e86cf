#pragma once
// A Desktop that records instead of showing: message boxes are answered at once, the beep
// and the wait cursor are counted, settings are kept in memory. Every GUI test installs one,
// so nothing in a test waits for a person.

#include "ui/desktop.h"

#include <QList>
#include <QMap>
#include <QString>
#include <functional>

class RecordingDesktop final : public Desktop {
public:
    struct Message {
        QString title;
        QString text;
        MessageIcon icon;
    };
    struct Question {
        QString title;
        QString text;
        QStringList answers;
    };
    struct Setting {
        QString application;
        QString section;
        QString key;
        QString value;
    };

    void message(QWidget* parent, const QString& title, const QString& text,
                 MessageIcon icon) override;
    void beep() override { ++beeps; }
    void setWaitCursor(QWidget* window, bool on) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    // The value last written under that name.
    QString readSetting(const QString& application, const QString& section,
                        const QString& key) override;
    // Records the dialog and answers with saveFileAnswer.
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                         const QString& filter) override;
    // Records the question and answers with askAnswer.
    int ask(QWidget* parent, const QString& title, const QString& text,
            const QStringList& answers) override;

    // The texts of the messages shown so far, in order.
    QStringList messageTexts() const;
    void clear();

    QList<Message> messages;
    QList<Setting> settings;
    int beeps = 0;
    int waitCursorOn = 0;  // calls that showed the wait cursor
    int waitCursorOff = 0; // calls that removed it
    bool waitCursorShown = false;
    // The captions of the file dialogs asked, and what a file dialog answers (empty:
    // cancelled).
    QStringList fileDialogs;
    QString saveFileAnswer;
    // The questions asked, and the index of the answer given (-1: the last, the safe one).
    QList<Question> questions;
    int askAnswer = -1;
    // Called while a message is "shown", to look at the windows at that moment.
    std::function<void(const Message&)> onMessage;
};
