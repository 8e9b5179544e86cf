#include "ui/numericfield.h"

#include "engine/fieldbehaviour.h"
#include "engine/message.h"
#include "engine/numtext.h"
#include "ui/desktop.h"
#include "ui/enterkey.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

using engine::toQString;

// ---------------------------------------------------------------------------------------------
// NumericField

NumericField::NumericField(QLineEdit* edit, const FieldDef& def, FieldContext context)
    : QObject(edit)
    , edit_(edit)
    , def_(&def)
    , desktop_(context.desktop)
    , window_(context.window)
    , setStatus_(std::move(context.setStatus))
    , leadingOn_(context.leadingOn)
    , heatCapacityText_(std::move(context.heatCapacityText)) {
    // textChanged, not textEdited: programmatic changes run the procedure like typing does.
    connect(edit_, &QLineEdit::textChanged, this, &NumericField::onTextChanged);
    edit_->installEventFilter(this);
}

NumericField* NumericField::of(const QObject* widget) {
    if (!widget)
        return nullptr;
    return widget->findChild<NumericField*>(QString(), Qt::FindDirectChildrenOnly);
}

void NumericField::onTextChanged() {
    // Each removal is itself a text change that runs this procedure again. Done literally, a
    // long pasted text would recurse as deep as it is long and lay out the edit once per
    // removed character; instead the characters are removed here, one beep for each, and the
    // edit receives the result once (the nested call for it returns at once).
    if (correcting_)
        return;
    correcting_ = true;
    const engine::TypedText typed = engine::correctTyped(edit_->text(), numtext::Converter());
    if (typed.removed > 0) {
        edit_->setText(typed.text);
        edit_->end(false);
        for (int i = 0; i < typed.removed; ++i)
            desktop_.beep();
    } else if (typed.text != edit_->text()) {
        edit_->setText(typed.text);
    }
    correcting_ = false;

    if (leadingOn_)
        leadingOn_->setEnabled(false);
}

bool NumericField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::MouseButtonPress && edit_->isEnabled()) {
        edit_->setText(QString());
        if (setStatus_)
            setStatus_(toQString(def_->hint));
    } else if (watched == edit_ && event->type() == QEvent::FocusIn && setStatus_ &&
               !def_->hint.empty()) {
        // Reached from the keyboard; a click shows the hint with its press (above), and the
        // program's own focus moves leave the status line to what the program says there.
        switch (static_cast<QFocusEvent*>(event)->reason()) {
        case Qt::TabFocusReason:
        case Qt::BacktabFocusReason:
        case Qt::ShortcutFocusReason:
            setStatus_(toQString(def_->hint));
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void NumericField::setLeadingOn(QAbstractButton* button) {
    leadingOn_ = button;
}

std::optional<QString> NumericField::failure() const {
    const std::optional<std::string_view> message = engine::fieldFailure(
        *def_, edit_->text(), heatCapacityText_ ? heatCapacityText_() : QString(),
        numtext::Converter());
    if (!message)
        return std::nullopt;
    return toQString(*message);
}

bool NumericField::validate() {
    const std::optional<QString> message = failure();
    if (!message)
        return true;
    // The focus goes back first, so that the message box returns it to this field.
    edit_->setFocus(Qt::OtherFocusReason);
    desktop_.message(window_ ? window_.data() : edit_->window(), toQString(kFieldErrorTitle),
                     *message, MessageIcon::Critical);
    edit_->setText(QString());
    edit_->setFocus(Qt::OtherFocusReason);
    return false;
}

// ---------------------------------------------------------------------------------------------
// Attaching

NumericField* attachField(QLineEdit* edit, const FieldDef& def, FieldContext context) {
    if (NumericField* existing = NumericField::of(edit))
        return existing;
    edit->setObjectName(toQString(def.control));
    edit->setText(toQString(def.initialText));
    edit->setAccessibleName(context.caption.isEmpty() ? toQString(def.quantity) : context.caption);
    edit->setAccessibleDescription(toQString(def.window) + QLatin1Char('.') +
                                   toQString(def.control));
    edit->setToolTip(toQString(def.hint));
    if (context.window)
        FieldGuard::install(context.window);
    return new NumericField(edit, def, std::move(context));
}

NumericField* attachField(QLineEdit* edit, std::string_view window, std::string_view control,
                          FieldContext context) {
    const FieldDef* def = findField(window, control);
    return def ? attachField(edit, *def, std::move(context)) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// FieldGuard

FieldGuard* FieldGuard::install(QWidget* window) {
    if (auto* guard = window->findChild<FieldGuard*>(QString(), Qt::FindDirectChildrenOnly))
        return guard;
    return new FieldGuard(window);
}

FieldGuard::FieldGuard(QWidget* window)
    : QObject(window)
    , window_(window) {
    // Application-wide: a press must be seen before the pressed widget's own filters, and
    // the focus has already moved by then (see the header).
    QCoreApplication::instance()->installEventFilter(this);
    installEnterKey();
}

bool FieldGuard::inWindow(const QObject* object) const {
    if (!object || !object->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(object);
    return widget == window_ || window_->isAncestorOf(widget);
}

NumericField* FieldGuard::fieldOf(QObject* object) const {
    if (!inWindow(object))
        return nullptr;
    return NumericField::of(object);
}

bool FieldGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut: {
        NumericField* field = fieldOf(watched);
        if (!field)
            break;
        // By now the application's focus widget is the one that takes the focus.
        QWidget* next = QApplication::focusWidget();
        if (next == field->edit())
            break;
        if (!inWindow(next))
            leftWindow_ = field; // another window activated: no validation now
        else if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            leftByClick_ = field;
        break;
    }
    case QEvent::FocusIn: {
        if (!inWindow(watched))
            break;
        NumericField* away = leftWindow_.data();
        leftWindow_ = nullptr;
        if (leftByClick_ && watched == leftByClick_->edit())
            leftByClick_ = nullptr;
        // Coming back to the window by a click on another of its widgets leaves the field
        // that had the focus when the window was left, as if the click had been made then.
        if (away && watched != away->edit() &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            leftByClick_ = away;
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The window system's window sees the press before the widget under the mouse (and
        // before the focus moves); only the widget's delivery counts.
        if (!watched->isWidgetType())
            break;
        NumericField* field = leftByClick_.data();
        leftByClick_ = nullptr;
        if (!inWindow(watched))
            break;
        if (!field) {
            // A button that takes no focus would otherwise act past an invalid field.
            auto* button = qobject_cast<QAbstractButton*>(watched);
            if (button && button->isEnabled())
                field = fieldOf(QApplication::focusWidget());
        }
        if (field && !field->validate())
            return true; // the press never reaches the widget: no click, no emptying
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            break;
        NumericField* field = fieldOf(watched);
        if (field && watched == QApplication::focusWidget() && !field->validate())
            return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
