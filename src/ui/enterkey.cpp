#include "ui/enterkey.h"

#include "ui/numericfield.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class EnterKeyFilter : public QObject {
public:
    explicit EnterKeyFilter(QObject* parent)
        : QObject(parent) {
        setObjectName(QStringLiteral("EnterKeyFilter"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        // Only the focus widget's own delivery: a key it ignores travels on to its parents.
        if (widget != QApplication::focusWidget() || qobject_cast<QDialog*>(widget->window()))
            return false;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (!key->isAutoRepeat() && button->isEnabled())
                button->click();
            return true;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && NumericField::of(edit)) {
            // The field's guard and Qt's focus chain see a Tab, as if it had been typed.
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(edit, &tab);
            return true;
        }
        return false;
    }
};

} // namespace

void installEnterKey() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app ||
        app->findChild<QObject*>(QStringLiteral("EnterKeyFilter"), Qt::FindDirectChildrenOnly))
        return;
    app->installEventFilter(new EnterKeyFilter(app));
}
