#pragma once
// The desktop seam: everything that would wait for a person or touch the machine outside
// the program (modal message boxes, the beep, the wait cursor, the settings store, the file
// dialog) goes through this interface. The program uses QtDesktop; tests install a recorder.

#include "engine/message.h"

#include <QString>
#include <QStringList>

class QWidget;

class Desktop {
public:
    virtual ~Desktop();

    // A modal message box with a single OK button; returns when the user has answered it. The
    // text is shown as it is, never as formatted text (it may hold a file's name).
    virtual void message(QWidget* parent, const QString& title, const QString& text,
                         MessageIcon icon) = 0;
    virtual void beep() = 0;
    // Shows or removes the wait (hourglass) cursor over a window.
    virtual void setWaitCursor(QWidget* window, bool on) = 0;
    // Writes one named string value into the per-user settings store.
    virtual void writeSetting(const QString& application, const QString& section,
                              const QString& key, const QString& value) = 0;
    // Reads one named string value from the store; empty when it holds none. This default
    // keeps nothing.
    virtual QString readSetting(const QString& application, const QString& section,
                                const QString& key);
    // A modal "save as" file dialog starting at suggestedName, offering the filters
    // ("PNG image (*.png);;..."); returns the chosen file name, empty when cancelled. A desktop
    // without a person cancels.
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& suggestedName, const QString& filter);
    // A modal question with a button for each answer, in order ("Yes", "No"); the last is the
    // default and also answers Escape and the close box. The text is shown as it is. Returns
    // the index of the answer; a desktop without a person gives the last.
    virtual int ask(QWidget* parent, const QString& title, const QString& text,
                    const QStringList& answers);
};

// Whether a file may be written at path, a name the program completed after the file dialog
// (by adding the extension), which asked only about the name as typed: true when nothing is
// there, or when the person answers Yes to "“name” already exists. Replace it?".
bool mayReplaceFile(Desktop& desktop, QWidget* parent, const QString& title, const QString& path);

class QtDesktop final : public Desktop {
public:
    void message(QWidget* parent, const QString& title, const QString& text,
                 MessageIcon icon) override;
    void beep() override;
    void setWaitCursor(QWidget* window, bool on) override;
    void writeSetting(const QString& application, const QString& section, const QString& key,
                      const QString& value) override;
    QString readSetting(const QString& application, const QString& section,
                        const QString& key) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                         const QString& filter) override;
    int ask(QWidget* parent, const QString& title, const QString& text,
            const QStringList& answers) override;
};
