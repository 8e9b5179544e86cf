#pragma once
// The desktop seam: everything that would wait for a person or touch the machine outside
// the program (modal message boxes, the beep, the wait cursor, the settings store) goes
// through this interface. The program uses QtDesktop; tests install a recorder.

#include <QString>

class QWidget;

enum class MessageIcon {
    None,     // no icon
    Warning,  // "Missing Data" and similar
    Error,    // a CALCULATE that refuses inconsistent input
    Critical, // a field that refuses its value (the stop sign)
};

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
};

// The program's application title: the settings store's application name and the title of
// the message boxes that carry no title of their own.
QString applicationTitle();
