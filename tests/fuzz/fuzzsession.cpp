#include "fuzzsession.h"

#include "app/auditdocument.h"
#include "app/capabilitywindow.h"
#include "app/history.h"
#include "app/windows.h"
#include "auditfile/auditfile.h"
#include "auditfuzz.h"
#include "engine/fieldtable.h"
#include "fuzztexts.h"
#include "support/guifixture.h"
#include "textcheck.h"
#include "ui/mainwindow.h"
#include "ui/numericfield.h"
#include "ui/problemwindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCryptographicHash>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <algorithm>
#include <array>
#include <cstdio>
#include <unistd.h>

namespace {

// A text as the reports show it: quoted, control and non-ASCII characters escaped, long texts
// cut short.
QString quoted(const QString& text) {
    QString out;
    const qsizetype shownChars = std::min<qsizetype>(text.size(), 60);
    for (qsizetype i = 0; i < shownChars; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('\\'))
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    if (text.size() > shownChars)
        out += QStringLiteral("...(%1 characters)").arg(text.size());
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

bool isWindowName(const QString& name) {
    static const QRegularExpression form(QStringLiteral("^(Form\\d+|frmMain)$"));
    return form.match(name).hasMatch();
}

// "Form5.Text1": the window and the control's name.
QString nameOf(const QWidget* widget) {
    if (!widget)
        return QStringLiteral("(nothing)");
    const QWidget* window = widget;
    while (window && !isWindowName(window->objectName()))
        window = window->parentWidget();
    const QString control = widget->objectName().isEmpty()
                                ? QString::fromLatin1(widget->metaObject()->className())
                                : widget->objectName();
    if (!window || window == widget)
        return control;
    return window->objectName() + QLatin1Char('.') + control;
}

ProblemWindow* problemWindowOf(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* problem = qobject_cast<ProblemWindow*>(w))
            return problem;
    return nullptr;
}

QString buttonName(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return QStringLiteral("left");
    case Qt::RightButton:
        return QStringLiteral("right");
    default:
        return QStringLiteral("middle");
    }
}

// The window's labels and grid as texts, without its fields and the buttons' states: what a
// refused calculation must leave as it was.
TextSnapshot resultsOf(const QWidget* window) {
    TextSnapshot snap = snapshotTexts(window);
    for (auto it = snap.begin(); it != snap.end();) {
        const bool field = window->findChild<const QLineEdit*>(it.key()) != nullptr;
        if (field || it.key().endsWith(QLatin1String(".enabled")))
            it = snap.erase(it);
        else
            ++it;
    }
    return snap;
}

// Where an engineer clicks a button: a push button anywhere (its middle), an option button on
// its circle, which is all of it that answers a click when the layout makes it wide.
QPoint clickPoint(const QAbstractButton* button) {
    if (button->isCheckable() && !qobject_cast<const QPushButton*>(button))
        return QPoint(std::min(6, button->width() - 1), button->height() / 2);
    return button->rect().center();
}

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};
constexpr std::array kEditingKeys{
    Key{Qt::Key_Backspace, Qt::NoModifier},
    Key{Qt::Key_Delete, Qt::NoModifier},
    Key{Qt::Key_Left, Qt::NoModifier},
    Key{Qt::Key_Right, Qt::NoModifier},
    Key{Qt::Key_Home, Qt::NoModifier},
    Key{Qt::Key_End, Qt::NoModifier},
    Key{Qt::Key_Up, Qt::NoModifier},
    Key{Qt::Key_Down, Qt::NoModifier},
    Key{Qt::Key_Return, Qt::NoModifier},
    Key{Qt::Key_Enter, Qt::KeypadModifier},
    Key{Qt::Key_Escape, Qt::NoModifier},
    Key{Qt::Key_Space, Qt::NoModifier},
    Key{Qt::Key_A, Qt::ControlModifier},
    Key{Qt::Key_Z, Qt::ControlModifier},
    Key{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
    Key{Qt::Key_Y, Qt::ControlModifier},
    Key{Qt::Key_X, Qt::ControlModifier},
    Key{Qt::Key_C, Qt::ControlModifier},
    Key{Qt::Key_V, Qt::ControlModifier},
    Key{Qt::Key_Backspace, Qt::ControlModifier},
    Key{Qt::Key_Delete, Qt::ControlModifier},
    Key{Qt::Key_Home, Qt::ShiftModifier},
    Key{Qt::Key_End, Qt::ShiftModifier},
    Key{Qt::Key_Insert, Qt::ShiftModifier},
    Key{Qt::Key_Tab, Qt::ControlModifier},
};

const QRegularExpression& notANumberWord() {
    static const QRegularExpression word(QStringLiteral("\\b(nan|inf|infinity)\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return word;
}

} // namespace

FuzzSession::FuzzSession(const Options& options)
    : options_(options)
    , rng_(options.seed, options.session) {
    desktop_.onMessage = [this](const RecordingDesktop::Message& m) {
        if (notANumberWord().match(m.title + QLatin1Char(' ') + m.text).hasMatch())
            bad(QStringLiteral("a message box reads %1: %2").arg(quoted(m.title), quoted(m.text)));
    };
}

FuzzSession::~FuzzSession() {
    stopProgram();
}

qint64 FuzzSession::run() {
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
    QElapsedTimer clock;
    clock.start();
    startProgram();
    while ((options_.maxActions < 0 || action_ < options_.maxActions) &&
           clock.elapsed() < qint64(options_.seconds * 1000))
        runAction(nextAction());
    report('D', action_);
    qApp->removeEventFilter(this);
    stopProgram();
    return action_;
}

void FuzzSession::startProgram() {
    const bool comma = rng_.chance(0.5);
    locale_.reset();
    locale_ = std::make_unique<LocaleGuard>(comma ? commaLocale() : pointLocale());
    check_ = std::make_unique<TextCheck>();
    runAction({QStringLiteral("start the program in %1").arg(QLocale().name()), [this] {
                   windows_ = std::make_unique<Windows>(desktop_);
                   document_ = std::make_unique<AuditDocument>(*windows_);
                   // The questions a person answers, answered here.
                   // Save is no answer for the file that "save the audit" writes: that one
                   // keeps what was shown when it was saved.
                   document_->askUnsavedChanges = [this](const QString&) {
                       const bool savedFile =
                           document_->fileName() ==
                           QFileInfo(auditDir_.filePath(QStringLiteral("saved.ctaudit")))
                               .absoluteFilePath();
                       const int answer = savedFile ? 1 + rng_.below(2) : rng_.below(3);
                       return answer == 0   ? AuditDocument::Changes::Save
                              : answer == 1 ? AuditDocument::Changes::Discard
                                            : AuditDocument::Changes::Keep;
                   };
                   document_->replayProgress = [](int, int) { return true; };
                   // As the program builds it: a child of the main window, on the toolbar.
                   capability_ = new CapabilityWindow(*windows_, *document_);
                   capability_->askWeatherFile = [this] {
                       return rng_.chance(0.2) ? QString()
                                               : auditDir_.filePath(QStringLiteral("weather.csv"));
                   };
                   installSeams();
                   windows_->start();
                   QApplication::setActiveWindow(windows_->mainWindow());
                   if (!QTest::qWaitForWindowActive(windows_->mainWindow(), 2000))
                       bad(QStringLiteral("the main window did not become active"));
               }});
}

void FuzzSession::stopProgram() {
    stillBroken_.clear();
    document_.reset();
    windows_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    check_.reset();
    locale_.reset();
}

void FuzzSession::runAction(const Action& action) {
    // The fuzzer writes only into its scratch folder: an audit whose file lies elsewhere (an
    // open that should have been refused) is never saved; the program starts again.
    QString elsewhere;
    if (windows_ && !safeToSave(&elsewhere)) {
        bad(QStringLiteral("the audit's file is %1, outside the scratch folder").arg(elsewhere));
        stopProgram();
        startProgram();
    }
    // What the Diagram window's Export is answered: a name in the scratch folder in each of its
    // formats, one of no known format, one in a missing folder, or none (cancelled).
    static const std::array<const char*, 7> kExportNames = {
        "",       "diagram.png", "diagram.svg", "diagram.pdf", "diagram.txt", "missing/diagram.png",
        "diagram"};
    const QString exportName = QString::fromLatin1(rng_.pick(kExportNames));
    desktop_.saveFileAnswer = exportName.isEmpty() ? QString() : auditDir_.filePath(exportName);
    const qint64 n = action_++;
    report('A', n, action.what);
    const QString statusBefore = windows_ ? windows_->status() : QString();
    desktop_.messages.clear();
    broken_.clear();
    pressed_ = {};
    calculations_ = 0;

    QElapsedTimer timer;
    timer.start();
    action.perform();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const qint64 ms = timer.elapsed();
    report('E', n, QString::number(ms));
    if (ms > options_.limitMs)
        report('H', n, QString::number(ms));

    const bool running = windows_ && windows_->mainWindow()->isVisible();
    if (running)
        checkAfter(statusBefore);
    for (const QString& b : broken_)
        if (!stillBroken_.contains(b))
            report('B', n, b);
    stillBroken_ = broken_;

    if (options_.verbose) {
        std::fprintf(stderr, "#%lld %s (%lld ms)\n", static_cast<long long>(n),
                     qPrintable(action.what), static_cast<long long>(ms));
        for (const RecordingDesktop::Message& m : desktop_.messages)
            std::fprintf(stderr, "    message %s: %s\n", qPrintable(quoted(m.title)),
                         qPrintable(quoted(m.text)));
        if (running)
            std::fprintf(stderr, "    status %s, active %s, focus %s\n",
                         qPrintable(quoted(windows_->status())), qPrintable(nameOf(activeForm())),
                         qPrintable(nameOf(QApplication::focusWidget())));
        for (const QString& b : broken_)
            std::fprintf(stderr, "    BROKEN: %s\n", qPrintable(b));
    }

    // "Exit" ended the program: start it again, perhaps in the other locale.
    if (!running) {
        stopProgram();
        startProgram();
    }
}

void FuzzSession::checkAfter(const QString& statusBefore) {
    if (desktop_.waitCursorShown)
        bad(QStringLiteral("the wait cursor is still shown"));
    if (QWidget* form = activeForm())
        for (const QLabel* label : form->findChildren<QLabel*>())
            if (label->isVisible() && label->text().startsWith(QLatin1String("Please wait")))
                bad(QStringLiteral("%1 still shows %2").arg(nameOf(label), quoted(label->text())));
    const QString status = windows_->status();
    if (TextCheck::isCompletion(status) && status != statusBefore && calculations_ == 0)
        bad(QStringLiteral("the status line shows %1 without a CALCULATE that succeeded")
                .arg(quoted(status)));
    broken_.append(check_->check(*windows_));
}

void FuzzSession::bad(const QString& what) {
    broken_.append(what);
}

void FuzzSession::report(char kind, qint64 n, const QString& text) {
    QByteArray line(1, kind);
    line += ' ';
    line += QByteArray::number(n);
    if (!text.isEmpty()) {
        QByteArray t = text.toUtf8();
        t.replace('\n', "\\n");
        line += ' ';
        line += t;
    }
    line += '\n';
    const char* data = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(options_.reportFd, data, size_t(left));
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}

// ---------------------------------------------------------------------------------------------
// What the engineer sees and can reach

QWidget* FuzzSession::activeForm() const {
    if (!windows_)
        return nullptr;
    QMdiSubWindow* sub = windows_->mainWindow()->mdiArea()->currentSubWindow();
    if (!sub || !sub->isVisible() || sub->isMinimized())
        return nullptr;
    return sub->widget();
}

QList<QLineEdit*> FuzzSession::fieldsOf(QWidget* form) const {
    QList<QLineEdit*> fields;
    if (!form)
        return fields;
    for (QLineEdit* edit : form->findChildren<QLineEdit*>())
        if (NumericField::of(edit) && edit->isVisible() && edit->isEnabled())
            fields.append(edit);
    return fields;
}

QList<QAbstractButton*> FuzzSession::buttonsOf(QWidget* form) const {
    QList<QAbstractButton*> buttons;
    if (!form)
        return buttons;
    for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
        QWidget* parent = button->parentWidget();
        if (qobject_cast<QAbstractItemView*>(parent) || qobject_cast<QHeaderView*>(parent))
            continue;
        if (button->isVisible())
            buttons.append(button);
    }
    return buttons;
}

QList<QLineEdit*> FuzzSession::allFields() const {
    QList<QLineEdit*> fields;
    for (const QString& name : TextCheck::windowNames()) {
        if (name == QLatin1String("Form11") || !windows_->isLoaded(name))
            continue;
        for (QLineEdit* edit : windows_->form(name)->findChildren<QLineEdit*>())
            if (NumericField::of(edit))
                fields.append(edit);
    }
    return fields;
}

QString FuzzSession::textFor(QLineEdit* field) {
    const NumericField* numeric = NumericField::of(field);
    return fuzztexts::any(rng_, numeric ? &numeric->def() : nullptr, QLocale());
}

// Types text key by key into whatever has the focus at each key, as a keyboard does: a
// printable character is its own key, a control character the key that makes it.
void FuzzSession::typeText(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        QWidget* target = QApplication::focusWidget();
        if (!target)
            target = windows_->mainWindow();
        const QChar c = text.at(i);
        QString chars(c);
        Qt::Key key = Qt::Key(c.toUpper().unicode());
        switch (c.unicode()) {
        case '\t':
            key = Qt::Key_Tab;
            break;
        case '\n':
        case '\r':
            key = Qt::Key_Return;
            chars = QStringLiteral("\r");
            break;
        case '\b':
            key = Qt::Key_Backspace;
            break;
        case 0x1b:
            key = Qt::Key_Escape;
            break;
        case 0x7f:
            key = Qt::Key_Delete;
            break;
        default:
            if (c.unicode() < 0x20)
                key = Qt::Key_unknown;
            else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                chars += text.at(++i);
            break;
        }
        QTest::sendKeyEvent(QTest::Click, target, key, chars, Qt::NoModifier);
    }
}

// ---------------------------------------------------------------------------------------------
// Choosing the next action

FuzzSession::Action FuzzSession::nextAction() {
    enum Kind {
        ClickField,
        ClickAndType,
        Type,
        EditingKey,
        Paste,
        Programmatic,
        Tab,
        Calculate,
        Button,
        Navigate,
        Proceed,
        FixField,
        FillEmpty,
        ClickElsewhere,
        Menu,
        TitleBar,
        Exit,
        OpenAudit,
        Undo,
        Save,
        OpenSaved,
        Toolbar,
        Shortcut,
        RecentFile,
        WindowMenu,
        Drop,
        CloseMain,
        MoistAir,
        LongPaste,
        Capability
    };
    struct Weighted {
        Kind kind;
        int weight;
    };
    // Two moods: exploring a window (mostly edits), and working along the chain of Problems
    // (mostly CALCULATE and the buttons leading on), so that every window is reached.
    static constexpr std::array kExploring{
        Weighted{ClickField, 120}, Weighted{ClickAndType, 200},
        Weighted{Type, 110},       Weighted{EditingKey, 80},
        Weighted{Paste, 60},       Weighted{Programmatic, 40},
        Weighted{Tab, 80},         Weighted{Calculate, 130},
        Weighted{Button, 80},      Weighted{Navigate, 60},
        Weighted{Proceed, 300},    Weighted{FixField, 100},
        Weighted{FillEmpty, 60},   Weighted{ClickElsewhere, 30},
        Weighted{Menu, 25},        Weighted{TitleBar, 8},
        Weighted{Exit, 2},         Weighted{OpenAudit, 12},
        Weighted{Undo, 40},        Weighted{Save, 8},
        Weighted{OpenSaved, 6},    Weighted{Toolbar, 40},
        Weighted{Shortcut, 15},    Weighted{RecentFile, 5},
        Weighted{WindowMenu, 8},   Weighted{Drop, 5},
        Weighted{CloseMain, 2},    Weighted{MoistAir, 6},
        Weighted{LongPaste, 6},    Weighted{Capability, 12},
    };
    static constexpr std::array kWorking{
        Weighted{ClickField, 5},  Weighted{ClickAndType, 40},  Weighted{Type, 5},
        Weighted{EditingKey, 0},  Weighted{Paste, 0},          Weighted{Programmatic, 0},
        Weighted{Tab, 10},        Weighted{Calculate, 300},    Weighted{Button, 60},
        Weighted{Navigate, 20},   Weighted{Proceed, 600},      Weighted{FixField, 300},
        Weighted{FillEmpty, 150}, Weighted{ClickElsewhere, 0}, Weighted{Menu, 5},
        Weighted{TitleBar, 0},    Weighted{Exit, 0},           Weighted{OpenAudit, 3},
        Weighted{Undo, 20},       Weighted{Save, 4},           Weighted{OpenSaved, 2},
        Weighted{Toolbar, 30},    Weighted{Shortcut, 5},       Weighted{RecentFile, 2},
        Weighted{WindowMenu, 3},  Weighted{Drop, 1},           Weighted{CloseMain, 0},
        Weighted{MoistAir, 1},    Weighted{LongPaste, 0},      Weighted{Capability, 4},
    };
    if (rng_.chance(0.02))
        working_ = !working_;
    const auto& weights = working_ ? kWorking : kExploring;
    int total = 0;
    for (const Weighted& w : weights)
        total += w.weight;

    QWidget* form = activeForm();
    const QList<QLineEdit*> fields = fieldsOf(form);
    const QList<QAbstractButton*> buttons = buttonsOf(form);
    QAbstractButton* calculate = nullptr;
    for (QAbstractButton* b : buttons)
        if (b->objectName() == QLatin1String("Command1"))
            calculate = b;
    QList<QAbstractButton*> onwards; // the enabled buttons that lead to another window
    for (QAbstractButton* b : buttons)
        if (b != calculate && b->isEnabled() &&
            b->objectName().startsWith(QLatin1String("Command")))
            onwards.append(b);
    // The leading-on button, enabled by a successful calculation.
    QAbstractButton* proceed = nullptr;
    if (form) {
        const std::string_view name = leadingOnButtonOf(form->objectName().toStdString());
        if (!name.empty())
            proceed = form->findChild<QAbstractButton*>(
                QString::fromLatin1(name.data(), qsizetype(name.size())));
        if (proceed && (!proceed->isEnabled() || !proceed->isVisible()))
            proceed = nullptr;
    }
    auto* focusField = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    const NumericField* focusNumeric = NumericField::of(focusField);

    const auto toolButton = [this](const char* key) -> QWidget* {
        QToolBar* bar = windows_->mainWindow()->toolBar();
        auto* action = bar->findChild<QAction*>(QString::fromLatin1(key));
        return action ? bar->widgetForAction(action) : nullptr;
    };

    for (;;) {
        int roll = rng_.below(total);
        Kind kind = Exit;
        for (const Weighted& w : weights) {
            if (roll < w.weight) {
                kind = w.kind;
                break;
            }
            roll -= w.weight;
        }
        switch (kind) {
        case ClickField:
        case ClickAndType: {
            if (fields.isEmpty())
                continue;
            QPointer<QLineEdit> field = rng_.pick(fields);
            const Qt::MouseButton button = rng_.chance(0.85)  ? Qt::LeftButton
                                           : rng_.chance(0.5) ? Qt::RightButton
                                                              : Qt::MiddleButton;
            const bool twice = kind == ClickField && rng_.chance(0.05);
            const QPoint at(rng_.below(std::max(1, field->width())), field->height() / 2);
            QString what =
                QStringLiteral("%1 %2 on %3")
                    .arg(twice ? QStringLiteral("double-click") : QStringLiteral("click"),
                         buttonName(button), nameOf(field));
            QString text;
            bool tab = false;
            if (kind == ClickAndType) {
                text = textFor(field);
                tab = rng_.chance(0.5);
                what += QStringLiteral(", type %1").arg(quoted(text));
                if (tab)
                    what += QStringLiteral(", Tab");
            }
            return {what, [this, field, button, twice, at, kind, text, tab] {
                        if (!field)
                            return;
                        if (twice)
                            QTest::mouseDClick(field, button, Qt::NoModifier, at);
                        else
                            QTest::mouseClick(field, button, Qt::NoModifier, at);
                        if (kind == ClickAndType) {
                            typeText(text);
                            if (tab)
                                typeText(QStringLiteral("\t"));
                        }
                    }};
        }
        case Type: {
            const QString text = textFor(focusField);
            return {QStringLiteral("type %1 into %2")
                        .arg(quoted(text), nameOf(QApplication::focusWidget())),
                    [this, text] { typeText(text); }};
        }
        case EditingKey: {
            const Key key = rng_.pick(kEditingKeys);
            return {QStringLiteral("press %1 in %2")
                        .arg(QKeySequence(key.key | key.modifiers).toString(),
                             nameOf(QApplication::focusWidget())),
                    [this, key] {
                        QWidget* target = QApplication::focusWidget();
                        QTest::keyClick(target ? target : windows_->mainWindow(), key.key,
                                        key.modifiers);
                    }};
        }
        case Paste: {
            const QString text =
                fuzztexts::any(rng_, focusNumeric ? &focusNumeric->def() : nullptr, QLocale());
            return {QStringLiteral("paste %1 into %2")
                        .arg(quoted(text), nameOf(QApplication::focusWidget())),
                    [this, text] {
                        QApplication::clipboard()->setText(text);
                        QWidget* target = QApplication::focusWidget();
                        QTest::keyClick(target ? target : windows_->mainWindow(), Qt::Key_V,
                                        Qt::ControlModifier);
                    }};
        }
        case Programmatic: {
            const QList<QLineEdit*> all = allFields();
            if (all.isEmpty())
                continue;
            QPointer<QLineEdit> field = rng_.pick(all);
            const QString text = textFor(field);
            const bool insert = rng_.chance(0.5);
            return {QStringLiteral("%1 %2 in %3 by program")
                        .arg(insert ? QStringLiteral("insert") : QStringLiteral("set text"),
                             quoted(text), nameOf(field)),
                    [field, text, insert] {
                        if (!field)
                            return;
                        if (insert)
                            field->insert(text);
                        else
                            field->setText(text);
                    }};
        }
        case Tab: {
            const bool back = rng_.chance(0.3);
            return {QStringLiteral("%1 in %2")
                        .arg(back ? QStringLiteral("Shift+Tab") : QStringLiteral("Tab"),
                             nameOf(QApplication::focusWidget())),
                    [this, back] {
                        QWidget* target = QApplication::focusWidget();
                        QTest::keyClick(target ? target : windows_->mainWindow(),
                                        back ? Qt::Key_Backtab : Qt::Key_Tab,
                                        back ? Qt::ShiftModifier : Qt::NoModifier);
                    }};
        }
        case FixField: {
            // The engineer corrects the value that a field has refused.
            if (!focusNumeric || !focusNumeric->failure())
                continue;
            const QString text = fuzztexts::plausible(rng_, &focusNumeric->def(), QLocale());
            const bool tab = rng_.chance(0.5);
            return {QStringLiteral("select all in %1, type %2%3")
                        .arg(nameOf(focusField), quoted(text),
                             tab ? QStringLiteral(", Tab") : QString()),
                    [this, text, tab] {
                        if (QWidget* target = QApplication::focusWidget())
                            QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
                        typeText(text);
                        if (tab)
                            typeText(QStringLiteral("\t"));
                    }};
        }
        case FillEmpty: {
            // The engineer fills in every empty field of the window, one after another.
            QList<QPointer<QLineEdit>> empty;
            QStringList texts;
            for (QLineEdit* field : fields)
                if (field->text().isEmpty()) {
                    empty.append(field);
                    texts.append(
                        fuzztexts::plausible(rng_, &NumericField::of(field)->def(), QLocale()));
                }
            if (empty.isEmpty())
                continue;
            QStringList what;
            for (qsizetype i = 0; i < empty.size(); ++i)
                what.append(QStringLiteral("%1 %2").arg(nameOf(empty[i]), quoted(texts[i])));
            return {QStringLiteral("fill in ") + what.join(QStringLiteral(", ")),
                    [this, empty, texts] {
                        for (qsizetype i = 0; i < empty.size(); ++i) {
                            if (!empty[i])
                                continue;
                            QTest::mouseClick(empty[i], Qt::LeftButton);
                            typeText(texts[i]);
                        }
                    }};
        }
        case Calculate:
        case Button:
        case Navigate:
        case Proceed: {
            QAbstractButton* chosen = nullptr;
            if (kind == Calculate && calculate && form->objectName() == QLatin1String("Form1")) {
                // The start window: choose the arrangement, then CALCULATE.
                QPointer<QAbstractButton> option = form->findChild<QAbstractButton*>(
                    rng_.chance(0.5) ? QStringLiteral("Option1") : QStringLiteral("Option2"));
                QPointer<QAbstractButton> go = calculate;
                if (!option)
                    continue;
                return {QStringLiteral("click Form1.%1 \"%2\", then Form1.Command1 \"%3\"")
                            .arg(option->objectName(), option->text(), go->text()),
                        [option, go] {
                            if (option)
                                QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier,
                                                  clickPoint(option));
                            if (go)
                                QTest::mouseClick(go, Qt::LeftButton);
                        }};
            }
            if (kind == Calculate)
                chosen = calculate;
            else if (kind == Proceed)
                chosen = proceed;
            else if (kind == Navigate && !onwards.isEmpty()) {
                // Mostly onwards along the chain ("GoTo ..."), sometimes back.
                QList<QAbstractButton*> forward;
                for (QAbstractButton* b : onwards)
                    if (b->text().startsWith(QLatin1String("GoTo")))
                        forward.append(b);
                chosen = !forward.isEmpty() && rng_.chance(0.8) ? rng_.pick(forward)
                                                                : rng_.pick(onwards);
            } else if (kind == Button && !buttons.isEmpty())
                chosen = rng_.pick(buttons);
            if (!chosen)
                continue;
            QPointer<QAbstractButton> button = chosen;
            return {QStringLiteral("click %1 \"%2\"%3")
                        .arg(nameOf(button), button->text(),
                             button->isEnabled() ? QString() : QStringLiteral(" (disabled)")),
                    [button] {
                        if (button)
                            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                                              clickPoint(button));
                    }};
        }
        case ClickElsewhere: {
            // Anything else of the window: a result label, a caption, a frame, the grid, the
            // tower picture.
            if (!form)
                continue;
            QList<QWidget*> others;
            for (QWidget* w : form->findChildren<QWidget*>())
                if (w->isVisible() && !qobject_cast<QLineEdit*>(w) &&
                    !qobject_cast<QAbstractButton*>(w))
                    others.append(w);
            if (others.isEmpty())
                continue;
            QPointer<QWidget> target = rng_.pick(others);
            const QPoint at(rng_.below(std::max(1, target->width())),
                            rng_.below(std::max(1, target->height())));
            return {
                QStringLiteral("click %1 at %2, %3").arg(nameOf(target)).arg(at.x()).arg(at.y()),
                [target, at] {
                    if (target)
                        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
                }};
        }
        case Menu:
        case Exit: {
            QPointer<QWidget> tool = toolButton(kind == Menu ? "menu" : "Exit");
            if (!tool)
                continue;
            return {QStringLiteral("click the toolbar's \"%1\"")
                        .arg(kind == Menu ? QStringLiteral("menu") : QStringLiteral("Exit")),
                    [tool] {
                        if (tool)
                            QTest::mouseClick(tool, Qt::LeftButton);
                    }};
        }
        case OpenAudit: {
            QString damage;
            const QByteArray file =
                auditfuzz::mutate(rng_, auditfuzz::seed(rng_, document_->current()), &damage);
            return {QStringLiteral("open an audit, %1").arg(damage),
                    [this, file] { openAudit(file); }};
        }
        case Undo: {
            const int what = rng_.below(3);
            static const char* const names[] = {"undo", "redo", "undo, then redo"};
            return {QStringLiteral("%1 by the toolbar").arg(QString::fromLatin1(names[what])),
                    [this, what] { undoRedo(what); }};
        }
        case Save:
            return {QStringLiteral("save the audit"), [this] { saveAudit(); }};
        case OpenSaved:
            if (!hasSaved_)
                continue;
            return {QStringLiteral("open the saved audit again"), [this] { openSaved(); }};
        case Toolbar:
        case Shortcut:
        case RecentFile:
        case WindowMenu:
        case Drop:
        case CloseMain:
        case MoistAir:
        case Capability:
        case LongPaste: {
            Action action = kind == Toolbar      ? toolbarAction()
                            : kind == Shortcut   ? shortcutAction()
                            : kind == RecentFile ? recentFileAction()
                            : kind == WindowMenu ? windowMenuAction()
                            : kind == Drop       ? dropAction()
                            : kind == CloseMain  ? closeMainWindowAction()
                            : kind == MoistAir   ? moistAirAction()
                            : kind == Capability ? capabilityAction()
                                                 : longPasteAction();
            if (!action.perform)
                continue;
            return action;
        }
        case TitleBar: {
            QPointer<QMdiSubWindow> sub = windows_->mainWindow()->mdiArea()->currentSubWindow();
            if (!sub)
                continue;
            const int what = rng_.below(4);
            static const char* const names[] = {"close", "minimise", "maximise", "restore"};
            return {QStringLiteral("%1 %2 by its title bar")
                        .arg(QString::fromLatin1(names[what]), nameOf(sub->widget())),
                    [sub, what] {
                        if (!sub)
                            return;
                        switch (what) {
                        case 0:
                            sub->close();
                            break;
                        case 1:
                            sub->showMinimized();
                            break;
                        case 2:
                            sub->showMaximized();
                            break;
                        default:
                            sub->showNormal();
                            break;
                        }
                    }};
        }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Watching CALCULATE, dialogs and menus

bool FuzzSession::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        if (auto* dialog = qobject_cast<QDialog*>(watched)) {
            bad(QStringLiteral("a real dialog appeared: %1 %2")
                    .arg(QString::fromLatin1(dialog->metaObject()->className()),
                         quoted(dialog->windowTitle())));
            QTimer::singleShot(0, dialog, [dialog] { dialog->done(QDialog::Rejected); });
        } else if (auto* menu = qobject_cast<QMenu*>(watched)) {
            QTimer::singleShot(0, menu, &QMenu::close);
        } else if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
            if (button->objectName() == QLatin1String("Command1"))
                watchCalculate(button);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FuzzSession::watchCalculate(QAbstractButton* button) {
    if (button->property("fuzzWatched").toBool())
        return;
    QPointer<QWidget> window = problemWindowOf(button);
    if (!window)
        return;
    button->setProperty("fuzzWatched", true);
    connect(button, &QAbstractButton::pressed, this,
            [this, window] { onCalculatePressed(window); });
    connect(button, &QAbstractButton::clicked, this,
            [this, window] { onCalculateClicked(window); });
}

void FuzzSession::onCalculatePressed(QWidget* window) {
    pressed_ = {window, desktop_.messages.size(), windows_->status()};
    pressedResults_ = window ? resultsOf(window) : TextSnapshot();
}

void FuzzSession::onCalculateClicked(QWidget* window) {
    if (!window || pressed_.window != window)
        return;
    const QString name = window->objectName();
    if (desktop_.messages.size() > pressed_.messagesAtPress) {
        if (windows_->status() != pressed_.statusAtPress)
            bad(QStringLiteral("a refused CALCULATE of %1 changed the status line to %2")
                    .arg(name, quoted(windows_->status())));
        const QString changed = snapshotDifference(pressedResults_, resultsOf(window));
        if (!changed.isEmpty())
            bad(QStringLiteral("a refused CALCULATE of %1 changed %2")
                    .arg(name, QString(changed).replace(QLatin1Char('\n'), QStringLiteral("; "))));
        return;
    }
    ++calculations_;
    const std::string_view leadingOn = leadingOnButtonOf(name.toStdString());
    if (leadingOn.empty())
        return;
    const auto* next = window->findChild<QAbstractButton*>(
        QString::fromLatin1(leadingOn.data(), qsizetype(leadingOn.size())));
    if (next && !next->isEnabled())
        bad(QStringLiteral("CALCULATE of %1 showed no message but left %2 disabled")
                .arg(name, nameOf(next)));
}

// ---------------------------------------------------------------------------------------------
// Audit files

void FuzzSession::openAudit(const QByteArray& file) {
    // The loader alone on more variants of the same file: it is cheap.
    for (int i = 0; i < 200; ++i) {
        QString damage;
        const auditfile::Loaded loaded = auditfile::parse(auditfuzz::mutate(rng_, file, &damage));
        if (!loaded.error)
            auditfile::checkFields(loaded.audit);
    }
    // Then the whole of Open: a file that does not open shows one message and changes nothing.
    const QString path = auditDir_.filePath(QStringLiteral("fuzz.ctaudit"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size() || !out.commit())
        return bad(QStringLiteral("cannot write %1").arg(path));
    const auto everything = [this] {
        TextSnapshot all;
        for (const QString& name : TextCheck::windowNames())
            if (windows_->isLoaded(name))
                all.insert(name,
                           QStringList(snapshotTexts(windows_->form(name)).values()).join(u'|'));
        return all;
    };
    const TextSnapshot before = everything();
    if (document_->open(path)) {
        if (!desktop_.messages.isEmpty())
            bad(QStringLiteral("an audit that opened showed %1")
                    .arg(quoted(desktop_.messages.front().text)));
        return;
    }
    if (desktop_.messages.size() != 1)
        bad(QStringLiteral("an audit that did not open showed %1 messages")
                .arg(desktop_.messages.size()));
    for (const QString& name :
         snapshotDifference(before, everything()).split(u'\n', Qt::SkipEmptyParts))
        bad(QStringLiteral("an audit that did not open changed %1").arg(name.section(u':', 0, 0)));
}

// ---------------------------------------------------------------------------------------------
// Undo, redo, saving and opening again

TextSnapshot FuzzSession::problemTexts() const {
    TextSnapshot all;
    for (const QString& name : TextCheck::windowNames()) {
        if (!windows_->isLoaded(name) || !engine::Audit::problemOf(name.toStdString()))
            continue;
        const TextSnapshot one = snapshotTexts(windows_->form(name));
        for (auto it = one.cbegin(); it != one.cend(); ++it)
            all.insert(name + u'.' + it.key(), it.value());
    }
    return all;
}

void FuzzSession::undoRedo(int what) {
    History& history = document_->history();
    if (what == 0) {
        history.undoAction()->trigger();
        return;
    }
    if (what == 1) {
        history.redoAction()->trigger();
        return;
    }
    // Undo then redo: every text of the Problem windows as it was (an edit typed and not yet
    // handed over is recorded first, and comes back with the redo).
    history.commit();
    const TextSnapshot before = problemTexts();
    if (!history.stack().canUndo())
        return;
    history.undoAction()->trigger();
    history.redoAction()->trigger();
    for (const QString& line :
         snapshotDifference(before, problemTexts()).split(u'\n', Qt::SkipEmptyParts))
        bad(QStringLiteral("undo, then redo changed %1").arg(line));
}

void FuzzSession::saveAudit() {
    if (!document_->saveTo(auditDir_.filePath(QStringLiteral("saved.ctaudit"))))
        return; // a field holds a value it refuses: the engineer was told
    saved_ = problemTexts();
    savedLocale_ = QLocale();
    savedHash_ = fileHash(auditDir_.filePath(QStringLiteral("saved.ctaudit")));
    hasSaved_ = true;
    if (document_->isModified())
        bad(QStringLiteral("the audit is changed right after it was saved"));
}

void FuzzSession::openSaved() {
    // The toolbar's Save of an audit opened from that file rewrites it: what it shows then is
    // not known here.
    if (fileHash(auditDir_.filePath(QStringLiteral("saved.ctaudit"))) != savedHash_) {
        hasSaved_ = false;
        return;
    }
    if (!document_->openInstead(auditDir_.filePath(QStringLiteral("saved.ctaudit"))))
        return; // kept, or the save before it failed
    if (!desktop_.messages.isEmpty())
        bad(QStringLiteral("the saved audit showed %1 on opening")
                .arg(quoted(desktop_.messages.front().text)));
    if (document_->isModified())
        bad(QStringLiteral("the audit opened is changed"));
    // The windows loaded both then and now show the same field texts and grid rows. (The file
    // keeps no leading-on button's state and no value carried on by a button pressed after the
    // last calculation: the results shown follow from the calculations it keeps.) The program
    // may have been started again in the other locale since the save: the texts are compared
    // as the file keeps them, with a decimal point.
    const TextSnapshot now = problemTexts();
    const auto asFiled = [](const QString& text, const QLocale& locale) {
        return auditfile::toPointText(text, locale);
    };
    const auto kept = [](const QString& key) {
        const QString control = key.section(u'.', 1);
        return control.startsWith(QLatin1String("Text")) ||
               (control.startsWith(QLatin1String("fgTable")) && !control.contains(u'.'));
    };
    for (auto it = saved_.cbegin(); it != saved_.cend(); ++it)
        if (kept(it.key()) && now.contains(it.key()) &&
            asFiled(now.value(it.key()), QLocale()) != asFiled(it.value(), savedLocale_))
            bad(QStringLiteral("the saved audit opened with %1 %2 instead of %3")
                    .arg(it.key(), quoted(now.value(it.key())), quoted(it.value())));
}
