#include "support/recordingdesktop.h"

void RecordingDesktop::message(QWidget*, const QString& title, const QString& text,
                               MessageIcon icon) {
    messages.append({title, text, icon});
    if (onMessage)
        onMessage(messages.last());
}

void RecordingDesktop::setWaitCursor(QWidget*, bool on) {
    if (on)
        ++waitCursorOn;
    else
        ++waitCursorOff;
    waitCursorShown = on;
}

QString RecordingDesktop::readSetting(const QString& application, const QString& section,
                                      const QString& key) {
    for (auto it = settings.crbegin(); it != settings.crend(); ++it)
        if (it->application == application && it->section == section && it->key == key)
            return it->value;
    return QString();
}

void RecordingDesktop::writeSetting(const QString& application, const QString& section,
                                    const QString& key, const QString& value) {
    settings.append({application, section, key, value});
}

QString RecordingDesktop::saveFileName(QWidget*, const QString& caption, const QString&,
                                       const QString&) {
    fileDialogs.append(caption);
    return saveFileAnswer;
}

int RecordingDesktop::ask(QWidget*, const QString& title, const QString& text,
                          const QStringList& answers) {
    questions.append({title, text, answers});
    return askAnswer < 0 ? int(answers.size()) - 1 : askAnswer;
}

QStringList RecordingDesktop::messageTexts() const {
    QStringList texts;
    for (const Message& m : messages)
        texts.append(m.text);
    return texts;
}

void RecordingDesktop::clear() {
    messages.clear();
    settings.clear();
    beeps = 0;
    fileDialogs.clear();
    questions.clear();
    waitCursorOn = waitCursorOff = 0;
    waitCursorShown = false;
}
