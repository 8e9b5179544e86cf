#pragma once
// The numeric entry field: the behaviour shared by every input field of the Problem windows,
// driven by the field's row of the field table (fieldtable.h).
//
//   text changed  After every keystroke, paste or programmatic setText: while the text is
//                 not a number in the locale's format and not empty, its last character is
//                 removed (wherever the caret was), the caret goes to the end and the beep
//                 sounds; a negative number becomes "0"; then the window's leading-on button
//                 is disabled, whether or not the value changed.
//   mouse press   Any button: the text becomes empty (a text change, so the leading-on button
//                 is disabled) and the field's hint goes to the main window's status line.
//   focus in      By Tab, Backtab or a shortcut: the hint goes to the status line as well (not
//                 emptied). The hint is also the field's tooltip.
//   Enter         Moves on as Tab does, check included (enterkey.h).
//   validation    When the focus is about to leave the field for another control of its
//                 window, the value is checked (checkField). A failure shows the message in a
//                 critical "Error" box, empties the field, keeps the focus in it and cancels
//                 whatever was moving the focus away.
//
// Guarding the focus move (FieldGuard)
//
// Qt moves the focus on a mouse press before any event filter on the pressed widget sees
// the press, and a click on a button runs on the release, so validating in a FocusOut
// handler could not stop the click. Every window with fields therefore has one FieldGuard,
// an application-wide event filter that looks only at the widgets of its window:
//
//   - A field of the window losing the focus by a mouse click to another widget of the same
//     window is remembered; when the press itself arrives a moment later (still inside the
//     same event delivery), the field is validated first. A failure swallows the press: a
//     button is never pressed down, so its clicked() is not emitted; another field is not
//     emptied; only this field's message is shown and the focus is back in this field.
//   - A press on an enabled button of the window while a field has the focus is treated the
//     same way even when the button takes no focus (a tool button), so no action of the
//     window runs past an invalid field.
//   - Tab and Shift+Tab (Backtab) pressed in a field validate it first; a failure swallows
//     the key.
//   - Focus leaving the window (another top-level or MDI window activated, a popup, the
//     toolbar of the main window) and focus moved by program code do not validate. Coming
//     back to the window by a click on another of its widgets (not on the field) validates
//     the field that had the focus when the window was left, as that click would have done
//     had the window been active; coming back to the field itself does not.
//
// A window gets the guard by passing itself as FieldContext::window when it attaches its
// fields; FieldGuard::install(window) does the same explicitly and is idempotent. The guard
// is a child of the window and goes with it.
//
// Typical use in a window's constructor:
//
//     FieldContext ctx{desktop, this, setStatusLine, Command2};
//     for (const FieldDef* def : fieldsOfWindow(engine::problemKeys(arrangement, 1).window))
//         attachField(edit(def->control), *def, ctx);
//
// The locale of every conversion is the default QLocale() at the moment it runs.

#include "engine/fieldtable.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class Desktop;
class QAbstractButton;
class QLineEdit;
class QWidget;

// What a field needs from the program around it, given when it is attached.
struct FieldContext {
    Desktop& desktop; // message boxes and the beep
    // The Problem window holding the field: parent of its message boxes and the extent of
    // its focus guard. Null: no guard (validation then only runs through validate()).
    QWidget* window = nullptr;
    // Writes the main window's status line (lblstatus); may be empty.
    std::function<void(const QString&)> setStatus;
    // The window's leading-on button ("GoTo Problem N"), disabled by every edit; null in the
    // Problem 4 windows.
    QAbstractButton* leadingOn = nullptr;
    // HeatCapacity fields: the current text of the Problem 1 window's result label lbl10
    // (FieldDef::heatCapacityWindow says which window), read when the check runs.
    std::function<QString()> heatCapacityText;
    // The accessible name (the caption beside the field); empty: the table's quantity.
    QString caption;
};

class NumericField : public QObject {
    Q_OBJECT
public:
    // Attaches the behaviour to edit; the object is a child of edit. Does not touch the
    // edit's text, name or accessibility (attachField does).
    NumericField(QLineEdit* edit, const FieldDef& def, FieldContext context);

    const FieldDef& def() const { return *def_; }
    QLineEdit* edit() const { return edit_; }
    QWidget* window() const { return window_; }

    // The message of the first failing check for the current text, or nullopt.
    std::optional<QString> failure() const;

    // The validation: on failure shows the message box, empties the field, gives it the
    // focus and returns false. Returns true when the value passes.
    bool validate();

    // The field attached to widget, or nullptr.
    static NumericField* of(const QObject* widget);

    // The window's leading-on button, when the window creates it after its fields.
    void setLeadingOn(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextChanged();

    QLineEdit* edit_;
    const FieldDef* def_;
    Desktop& desktop_;
    QPointer<QWidget> window_;
    std::function<void(const QString&)> setStatus_;
    QPointer<QAbstractButton> leadingOn_;
    std::function<QString()> heatCapacityText_;
    bool correcting_ = false; // inside onTextChanged's own changes of the text
};

// Attaches a field: sets the edit's object name (the control name), its initial text from
// the table, its tooltip (the hint), its accessible name (context.caption, else the quantity) and
// accessible description (window key, a dot and control key), installs the window's guard when
// context.window is given, and returns the field (owned by edit). The initial text is set before
// the behaviour is connected, so attaching does not disable the leading-on button.
NumericField* attachField(QLineEdit* edit, const FieldDef& def, FieldContext context);

// The same for the table's row of window and control; nullptr (and nothing done) when the
// table has no such field.
NumericField* attachField(QLineEdit* edit, std::string_view window, std::string_view control,
                          FieldContext context);

// The focus-move guard of one window (see the top of this file).
class FieldGuard : public QObject {
    Q_OBJECT
public:
    // The guard of window, created on the first call.
    static FieldGuard* install(QWidget* window);

    QWidget* window() const { return window_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FieldGuard(QWidget* window);

    // The field attached to object when it is a field of this window, else nullptr.
    NumericField* fieldOf(QObject* object) const;
    bool inWindow(const QObject* object) const;

    QWidget* window_;
    // The field that a mouse click has just taken the focus from; validated when the press
    // that moved the focus is delivered.
    QPointer<NumericField> leftByClick_;
    // The field that had the focus when another window took it.
    QPointer<NumericField> leftWindow_;
};
