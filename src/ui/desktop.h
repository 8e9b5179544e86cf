#pragma once
// The desktop seam: everything that would wait for a person or touch the machine outside
// the program (modal message boxes, the beep, the wait cursor, the settings store, the file
// dialog) goes through this interface. The program uses QtDesktop; tests install a recorder.

#include "engine/message.h"

#include <QString>

class QWidget;

class Desktop {
public:
    virtual ~Desktop();

    // A modal message box with a single OK button; returns when the user has answered it.
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
};

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
};
