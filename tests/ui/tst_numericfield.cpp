// The numeric entry fields driven by real key and mouse events in a small window: keystroke
// filter, mouse press, validation on leaving the field and the guard of the focus move.

#include "support/recordingdesktop.h"
#include "ui/numericfield.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {

const QString kNumbersOnly = "Invalid entries, please enter numbers only";
const QString kLess200 = "Invalid entries, number must be less than 200 kg/s";
const QString kLessPressure = "Invalid entries, number must be less 1.15 bar";
const QString kGreaterPressure = "Invalid entries, number must be greather than 0.9 bar";
const QString kLessEntered = "Invalid entries, number must be less than you entered";
const QString kFlowHint = "Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%";

// A stand-in for a Problem window: the fields of one window of the table, its leading-on
// button, a BACK button, CALCULATE and a tool button that takes no focus.
struct Host {
    RecordingDesktop desktop;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QPushButton* goTo = new QPushButton("GoTo Problem 2");
    QPushButton* back = new QPushButton("BACK");
    QPushButton* calculate = new QPushButton("CALCULATE");
    QToolButton* tool = new QToolButton;
    QMap<QString, QLineEdit*> edits;
    QString status = "earlier status";
    QString heatCapacityText = "2095.00"; // what Problem 1's lbl10 shows

    Host(const QString& form, const QStringList& controls) {
        auto* layout = new QVBoxLayout(window.get());
        for (const QString& control : controls) {
            auto* edit = new QLineEdit;
            layout->addWidget(edit);
            edits.insert(control, edit);
        }
        tool->setText("tool");
        tool->setFocusPolicy(Qt::NoFocus);
        for (QWidget* w : {static_cast<QWidget*>(calculate), static_cast<QWidget*>(goTo),
                           static_cast<QWidget*>(back), static_cast<QWidget*>(tool)})
            layout->addWidget(w);
        goTo->setEnabled(true);
        for (const QString& control : controls) {
            FieldContext context{desktop,
                                 window.get(),
                                 [this](const QString& text) { status = text; },
                                 goTo,
                                 [this] { return heatCapacityText; },
                                 {}};
            attachField(edits[control], form.toStdString(), control.toStdString(),
                        std::move(context));
        }
    }

    bool show() {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
    QLineEdit* edit(const QString& control) const { return edits.value(control); }
    QWidget* button(const QString& name) const {
        if (name == "CALCULATE")
            return calculate;
        if (name == "GoTo")
            return goTo;
        if (name == "BACK")
            return back;
        return tool;
    }
};

// Gives edit the focus by program (no validation) with the given text.
void focusWith(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->setText(text);
}

} // namespace

class TestNumericField : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanupTestCase();

    void attach();
    void typing_data();
    void typing();
    void removesLastCharacterWhereverTheCaret();
    void programmaticText_data();
    void programmaticText();
    void longJunkPaste();
    void everyEditDisablesLeadingOn_data();
    void everyEditDisablesLeadingOn();
    void mousePress_data();
    void mousePress();
    void validationOnTab_data();
    void validationOnTab();
    void clickThenTabAway();
    void actionWhileInvalid_data();
    void actionWhileInvalid();
    void actionWhileValid_data();
    void actionWhileValid();
    void otherWindowDoesNotValidate();
    void mdiSubWindows();
    void heatCapacityLimit_data();
    void heatCapacityLimit();
    void decimalComma_data();
    void decimalComma();
    void hintOnKeyboardFocus();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void enterInADialogPressesOnce();
};

void TestNumericField::init() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestNumericField::cleanupTestCase() {
    QLocale::setDefault(QLocale::system());
}

void TestNumericField::attach() {
    RecordingDesktop desktop;
    QWidget window;
    QPushButton goTo("GoTo Problem 2");
    auto* edit = new QLineEdit(&window);
    NumericField* field =
        attachField(edit, "Form5", "Text8", FieldContext{desktop, &window, {}, &goTo, {}, {}});
    QVERIFY(field);
    QCOMPARE(NumericField::of(edit), field);
    QCOMPARE(edit->objectName(), QString("Text8"));
    QCOMPARE(edit->text(), QString("90"));
    QCOMPARE(edit->accessibleName(), QString("air mass flow rate, kg/s"));
    QCOMPARE(edit->accessibleDescription(), QString("Form5.Text8"));
    QVERIFY2(goTo.isEnabled(), "setting the initial text is no edit");
    QVERIFY(window.findChild<FieldGuard*>());
    QCOMPARE(FieldGuard::install(&window), window.findChild<FieldGuard*>());
    QCOMPARE(window.findChildren<FieldGuard*>().size(), 1);
    QCOMPARE(attachField(edit, "Form5", "Text8", FieldContext{desktop, &window, {}, &goTo, {}, {}}),
             field);

    auto* captioned = new QLineEdit(&window);
    attachField(captioned, "Form3", "Text29",
                FieldContext{desktop, &window, {}, nullptr, {}, " Water temperature IN, [oC]"});
    QCOMPARE(captioned->accessibleName(), QString(" Water temperature IN, [oC]"));
    QCOMPARE(captioned->text(), QString("36"));

    auto* unknown = new QLineEdit("x", &window);
    QCOMPARE(attachField(unknown, "Form5", "Text2", FieldContext{desktop, &window, {}, {}, {}, {}}),
             nullptr);
    QCOMPARE(unknown->text(), QString("x"));
}

void TestNumericField::typing_data() {
    // clang-format off
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("3a") << "3a" << "3" << 1;
    QTest::newRow("minus alone") << "-" << "" << 1;
    QTest::newRow("minus then digit") << "-5" << "5" << 1;
    QTest::newRow("decimal") << "0.25" << "0.25" << 0;
    QTest::newRow("letters only") << "abc" << "" << 3;
    QTest::newRow("junk inside") << "12a3" << "123" << 1;
    QTest::newRow("exponent key by key") << "1e5" << "15" << 1;
    // clang-format on
}

void TestNumericField::typing() {
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    Host host("Form5", {"Text1"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit("Text1");
    focusWith(edit, "");
    host.desktop.clear();
    QTest::keyClicks(edit, keys);
    QCOMPARE(edit->text(), text);
    QCOMPARE(host.desktop.beeps, beeps);
    QCOMPARE(edit->cursorPosition(), int(text.size()));
    QVERIFY(host.desktop.messages.isEmpty());
}

void TestNumericField::removesLastCharacterWhereverTheCaret() {
    Host host("Form5", {"Text1"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit("Text1");
    focusWith(edit, "12");
    host.desktop.clear();
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, "x"); // "1x2": the "2" goes first, then the "x"
    QCOMPARE(edit->text(), QString("1"));
    QCOMPARE(host.desktop.beeps, 2);
    QCOMPARE(edit->cursorPosition(), 1);
}

void TestNumericField::programmaticText_data() {
    // clang-format off
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("insert"); // insert at the caret (a paste) instead of setText
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::newRow("negative set") << "" << false << "-5" << "0" << 0;
    QTest::newRow("negative pasted") << "" << true << "-5" << "0" << 0;
    QTest::newRow("minus zero stays") << "" << false << "-0" << "-0" << 0;
    QTest::newRow("junk pasted") << "" << true << "3ab" << "3" << 2;
    QTest::newRow("junk first") << "" << false << "abc3" << "" << 4;
    QTest::newRow("exponent pasted") << "" << true << "1e2" << "1e2" << 0;
    QTest::newRow("group separator") << "" << false << "1,000" << "1" << 4;
    QTest::newRow("pasted after digits") << "12" << true << "-5" << "12" << 2;
    QTest::newRow("signed exponent, junk") << "" << true << "1.5E+3x" << "1.5E+3" << 1;
    QTest::newRow("unicode minus") << "" << false << QString::fromUtf8("\u22125") << "0" << 0;
    QTest::newRow("blank inside") << "" << false << "1 2" << "1 " << 1;
    QTest::newRow("junk in the middle") << "" << false << "12x3-4" << "12" << 4;
    // clang-format on
}

void TestNumericField::programmaticText() {
    QFETCH(QString, start);
    QFETCH(bool, insert);
    QFETCH(QString, input);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    Host host("Form5", {"Text1"});
    QLineEdit* edit = host.edit("Text1");
    edit->setText(start);
    host.desktop.clear();
    if (insert)
        edit->insert(input);
    else
        edit->setText(input);
    QCOMPARE(edit->text(), text);
    QCOMPARE(host.desktop.beeps, beeps);
}

void TestNumericField::longJunkPaste() {
    Host host("Form5", {"Text1"});
    QLineEdit* edit = host.edit("Text1");
    host.desktop.clear();
    int changes = 0;
    QObject::connect(edit, &QLineEdit::textChanged, edit, [&changes] { ++changes; });
    edit->setText("7" + QString(20000, QLatin1Char('x')));
    QCOMPARE(edit->text(), QString("7"));
    QCOMPARE(host.desktop.beeps, 20000);
    QCOMPARE(changes, 2); // the pasted text, then the corrected one
}

void TestNumericField::everyEditDisablesLeadingOn_data() {
    // clang-format off
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("text");
    QTest::newRow("rejected keystroke") << "key a" << "100";
    QTest::newRow("same value retyped") << "retype" << "100";
    QTest::newRow("equal value by program") << "set 100.00" << "100.00";
    QTest::newRow("emptied by program") << "set" << "";
    QTest::newRow("negative replaced") << "set -1" << "0";
    // clang-format on
}

void TestNumericField::everyEditDisablesLeadingOn() {
    QFETCH(QString, action);
    QFETCH(QString, text);
    Host host("Form5", {"Text1"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit("Text1");
    edit->setFocus();
    QCOMPARE(edit->text(), QString("100"));
    host.goTo->setEnabled(true); // as after a successful CALCULATE
    if (action == "key a") {
        edit->end(false);
        QTest::keyClicks(edit, "a");
    } else if (action == "retype") {
        edit->selectAll();
        QTest::keyClicks(edit, "100");
    } else {
        edit->setText(action.mid(4));
    }
    QCOMPARE(edit->text(), text);
    QVERIFY(!host.goTo->isEnabled());
}

void TestNumericField::mousePress_data() {
    // clang-format off
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
    // clang-format on
}

void TestNumericField::mousePress() {
    QFETCH(Qt::MouseButton, button);
    Host host("Form5", {"Text1", "Text8"});
    QVERIFY(host.show());
    host.edit("Text8")->setFocus();
    QLineEdit* edit = host.edit("Text1");
    QCOMPARE(edit->text(), QString("100"));
    QTest::mouseClick(edit, button, Qt::ShiftModifier);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(host.status, kFlowHint);
    QVERIFY(!host.goTo->isEnabled());
    QVERIFY(host.desktop.messages.isEmpty()); // Text8 held a valid value
}

void TestNumericField::validationOnTab_data() {
    // clang-format off
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("message"); // empty: passes

    QTest::newRow("flow 200") << "Text1" << "200" << int(Qt::Key_Tab) << "";
    QTest::newRow("flow 200.01") << "Text1" << "200.01" << int(Qt::Key_Tab) << kLess200;
    QTest::newRow("flow 200.01 backtab") << "Text1" << "200.01" << int(Qt::Key_Backtab) << kLess200;
    QTest::newRow("empty") << "Text1" << "" << int(Qt::Key_Tab) << kNumbersOnly;
    QTest::newRow("pressure 0.89") << "Text5" << "0.89" << int(Qt::Key_Tab) << kGreaterPressure;
    QTest::newRow("pressure 1.16") << "Text5" << "1.16" << int(Qt::Key_Tab) << kLessPressure;
    QTest::newRow("humidity 0") << "Text7" << "0" << int(Qt::Key_Tab) << "";
    // Enter (and the keypad's Enter) in a field is Tab: the same check, the same focus move.
    QTest::newRow("flow 200 return") << "Text1" << "200" << int(Qt::Key_Return) << "";
    QTest::newRow("flow 200 enter") << "Text1" << "200" << int(Qt::Key_Enter) << "";
    QTest::newRow("flow 200.01 return") << "Text1" << "200.01" << int(Qt::Key_Return) << kLess200;
    QTest::newRow("empty enter") << "Text1" << "" << int(Qt::Key_Enter) << kNumbersOnly;
    QTest::newRow("pressure 1.16 return") << "Text5" << "1.16" << int(Qt::Key_Return) << kLessPressure;
    // clang-format on
}

void TestNumericField::validationOnTab() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(QString, message);
    Host host("Form5", {"Text1", "Text5", "Text7", "Text8"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit(control);
    focusWith(edit, text);
    const QString shown = edit->text();
    host.desktop.clear();
    QWidget* next =
        key == Qt::Key_Backtab ? edit->previousInFocusChain() : edit->nextInFocusChain();
    QWidget* focusDuringMessage = nullptr;
    QString textDuringMessage;
    host.desktop.onMessage = [&](const RecordingDesktop::Message&) {
        focusDuringMessage = QApplication::focusWidget();
        textDuringMessage = edit->text();
    };

    QTest::keyClick(edit, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);

    if (message.isEmpty()) {
        QVERIFY(host.desktop.messages.isEmpty());
        QVERIFY(QApplication::focusWidget() != edit);
        QCOMPARE(edit->text(), shown);
        if (key != Qt::Key_Tab && key != Qt::Key_Backtab) {
            QCOMPARE(QApplication::focusWidget(), next);
            QCOMPARE(host.status, next->toolTip()); // the next field's hint
        }
        return;
    }
    QCOMPARE(host.desktop.messageTexts(), QStringList{message});
    QCOMPARE(host.desktop.messages[0].title, QString("Error"));
    QCOMPARE(host.desktop.messages[0].icon, MessageIcon::Critical);
    QCOMPARE(focusDuringMessage, edit);
    QCOMPARE(textDuringMessage, shown); // emptied after the message
    QCOMPARE(edit->text(), QString());
    QCOMPARE(QApplication::focusWidget(), edit);
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab)
        QCOMPARE(host.status, QString("earlier status"));
}

void TestNumericField::clickThenTabAway() {
    Host host("Form5", {"Text1", "Text8"});
    QVERIFY(host.show());
    host.edit("Text8")->setFocus();
    QLineEdit* edit = host.edit("Text1");
    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), edit);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(host.desktop.messageTexts(), QStringList{kNumbersOnly});
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(host.status, kFlowHint);
    // Once it holds a valid value it lets go.
    QTest::keyClicks(edit, "150");
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(host.desktop.messages.size(), 1);
    QVERIFY(QApplication::focusWidget() != edit);
}

void TestNumericField::actionWhileInvalid_data() {
    // clang-format off
    QTest::addColumn<QString>("target");
    QTest::newRow("CALCULATE") << "CALCULATE";
    QTest::newRow("BACK") << "BACK";
    QTest::newRow("GoTo") << "GoTo";
    QTest::newRow("button without focus") << "tool";
    QTest::newRow("other field") << "Text8";
    // clang-format on
}

void TestNumericField::actionWhileInvalid() {
    QFETCH(QString, target);
    Host host("Form5", {"Text1", "Text8"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit("Text1");
    focusWith(edit, "250");
    host.goTo->setEnabled(true);
    host.desktop.clear();
    host.status = "earlier status";

    QWidget* widget = target.startsWith("Text") ? host.edit(target) : host.button(target);
    int clicks = 0;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QObject::connect(button, &QAbstractButton::clicked, button, [&clicks] { ++clicks; });
    QTest::mouseClick(widget, Qt::LeftButton);

    QCOMPARE(host.desktop.messageTexts(), QStringList{kLess200});
    QCOMPARE(clicks, 0);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(host.edit("Text8")->text(), QString("90")); // not emptied by a press
    QCOMPARE(host.status, QString("earlier status"));
}

void TestNumericField::actionWhileValid_data() {
    // clang-format off
    actionWhileInvalid_data();
    // clang-format on
}

void TestNumericField::actionWhileValid() {
    QFETCH(QString, target);
    Host host("Form5", {"Text1", "Text8"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit("Text1");
    focusWith(edit, "150");
    host.goTo->setEnabled(true);
    host.desktop.clear();

    QWidget* widget = target.startsWith("Text") ? host.edit(target) : host.button(target);
    int clicks = 0;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QObject::connect(button, &QAbstractButton::clicked, button, [&clicks] { ++clicks; });
    QTest::mouseClick(widget, Qt::LeftButton);

    QVERIFY(host.desktop.messages.isEmpty());
    QCOMPARE(edit->text(), QString("150"));
    if (target == "Text8") {
        QCOMPARE(host.edit("Text8")->text(), QString());
        QCOMPARE(host.status,
                 QString("Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%"));
        QCOMPARE(QApplication::focusWidget(), host.edit("Text8"));
    } else {
        QCOMPARE(clicks, 1);
    }
}

void TestNumericField::otherWindowDoesNotValidate() {
    Host host("Form5", {"Text1", "Text8"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit("Text1");
    focusWith(edit, "250");
    host.desktop.clear();

    QWidget other;
    auto* otherEdit = new QLineEdit("x", &other);
    new QVBoxLayout(&other);
    other.layout()->addWidget(otherEdit);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::mouseClick(otherEdit, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), otherEdit);
    QVERIFY(host.desktop.messages.isEmpty());
    QCOMPARE(edit->text(), QString("250"));

    // Coming back by a click on CALCULATE leaves the field first.
    int clicks = 0;
    QObject::connect(host.calculate, &QAbstractButton::clicked, host.calculate,
                     [&clicks] { ++clicks; });
    host.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(host.window.get()));
    QTest::mouseClick(host.calculate, Qt::LeftButton);
    QCOMPARE(host.desktop.messageTexts(), QStringList{kLess200});
    QCOMPARE(clicks, 0);
    QCOMPARE(QApplication::focusWidget(), edit);
}

// The Problem windows are children of a multiple-document main window: switching between
// them moves the focus inside one top-level window.
void TestNumericField::mdiSubWindows() {
    Host host("Form5", {"Text1", "Text8"});
    QMdiArea area;
    area.addSubWindow(host.window.release())->show(); // the area owns its child windows
    auto* otherForm = new QWidget;
    auto* otherEdit = new QLineEdit("x", otherForm);
    area.addSubWindow(otherForm)->show();
    area.resize(900, 600);
    area.show();
    area.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    QWidget* form5 = area.subWindowList().at(0)->widget();
    area.setActiveSubWindow(area.subWindowList().at(0));
    QLineEdit* edit = host.edit("Text1");
    focusWith(edit, "250");
    host.desktop.clear();
    int clicks = 0;
    QObject::connect(host.calculate, &QAbstractButton::clicked, host.calculate,
                     [&clicks] { ++clicks; });

    QTest::mouseClick(otherEdit, Qt::LeftButton); // another child window: no validation
    QCOMPARE(QApplication::focusWidget(), otherEdit);
    QVERIFY(host.desktop.messages.isEmpty());

    QTest::mouseClick(host.calculate, Qt::LeftButton); // back, straight onto CALCULATE
    QCOMPARE(host.desktop.messageTexts(), QStringList{kLess200});
    QCOMPARE(clicks, 0);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), QString());

    QTest::keyClicks(edit, "150");
    QTest::mouseClick(otherEdit, Qt::LeftButton);
    QTest::mouseClick(host.calculate, Qt::LeftButton);
    QCOMPARE(host.desktop.messages.size(), 1);
    QCOMPARE(clicks, 1);
    QVERIFY(form5->isAncestorOf(QApplication::focusWidget()));
}

void TestNumericField::heatCapacityLimit_data() {
    // clang-format off
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("problem1"); // the text of Problem 1's lbl10
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("twice Q") << "Form3" << "Text1" << "2095.00" << "4190" << "";
    QTest::newRow("above twice Q") << "Form3" << "Text1" << "2095.00" << "4190.01" << kLessEntered;
    QTest::newRow("no Q shown") << "Form3" << "Text1" << "" << "1000000" << "";
    QTest::newRow("Q zero, cross flow") << "Form4" << "Text7" << "0.00" << "0.5" << kLessEntered;
    // clang-format on
}

void TestNumericField::heatCapacityLimit() {
    QFETCH(QString, form);
    QFETCH(QString, control);
    QFETCH(QString, problem1);
    QFETCH(QString, text);
    QFETCH(QString, message);
    const QString other = form == "Form3" ? "Text29" : "Text4";
    Host host(form, {control, other});
    QVERIFY(host.show());
    host.heatCapacityText = "junk";
    QLineEdit* edit = host.edit(control);
    focusWith(edit, text);
    host.desktop.clear();
    host.heatCapacityText = problem1; // read when the check runs
    QTest::mouseClick(host.edit(other), Qt::LeftButton);
    QCOMPARE(host.desktop.messageTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(QApplication::focusWidget(), message.isEmpty() ? host.edit(other) : edit);
}

void TestNumericField::decimalComma_data() {
    // clang-format off
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("message"); // on Tab
    QTest::newRow("comma stays") << "Text1" << "1,5" << "1,5" << 0 << "";
    QTest::newRow("point removed") << "Text1" << "1.5" << "15" << 1 << "";
    QTest::newRow("pressure 1,15") << "Text5" << "1,15" << "1,15" << 0 << "";
    QTest::newRow("pressure 1,16") << "Text5" << "1,16" << "1,16" << 0 << kLessPressure;
    // clang-format on
}

void TestNumericField::decimalComma() {
    QFETCH(QString, control);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    QFETCH(QString, message);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().decimalPoint(), QString(","));
    Host host("Form5", {"Text1", "Text5"});
    QVERIFY(host.show());
    QLineEdit* edit = host.edit(control);
    focusWith(edit, "");
    host.desktop.clear();
    QTest::keyClicks(edit, keys);
    QCOMPARE(edit->text(), text);
    QCOMPARE(host.desktop.beeps, beeps);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(host.desktop.messageTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
}

// The hint is the tooltip, and reaches the status line when the field is reached from the
// keyboard, without emptying it; the program's own focus moves leave the status line alone.
void TestNumericField::hintOnKeyboardFocus() {
    Host host("Form5", {"Text1", "Text5", "Text8"});
    QVERIFY(host.show());
    QCOMPARE(host.edit("Text1")->toolTip(), kFlowHint);
    for (QLineEdit* edit : host.edits)
        QVERIFY(!edit->toolTip().isEmpty());
    host.edit("Text8")->setFocus(Qt::OtherFocusReason);
    QCOMPARE(host.status, QString("earlier status"));
    focusWith(host.edit("Text5"), "1");
    QTest::keyClick(host.edit("Text5"), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), host.edit("Text1"));
    QCOMPARE(host.status, kFlowHint);
    QCOMPARE(host.edit("Text1")->text(), QString("100"));
    QVERIFY(host.goTo->isEnabled()); // no edit happened
    QTest::keyClick(host.edit("Text1"), Qt::Key_Tab);
    QCOMPARE(host.status, host.edit("Text5")->toolTip());
    QVERIFY(host.status != kFlowHint);
}

// Enter on a focused button presses it, once; with Ctrl, Alt or Shift it does nothing.
void TestNumericField::enterPressesFocusedButton_data() {
    // clang-format off
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("shift return") << int(Qt::Key_Return) << int(Qt::ShiftModifier) << 0;
    QTest::newRow("ctrl return") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
    QTest::newRow("space still works") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
    // clang-format on
}

void TestNumericField::enterPressesFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    Host host("Form5", {"Text1", "Text8"});
    auto* option = new QRadioButton("option", host.window.get());
    host.window->layout()->addWidget(option);
    QVERIFY(host.show());
    int pressed = 0;
    QObject::connect(host.calculate, &QAbstractButton::clicked, host.calculate,
                     [&pressed] { ++pressed; });
    host.calculate->setFocus(Qt::TabFocusReason);
    QTest::keyClick(host.calculate, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(pressed, clicks);
    option->setFocus(Qt::TabFocusReason);
    QTest::keyClick(option, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(option->isChecked(), clicks == 1);
    QVERIFY(host.desktop.messages.isEmpty());
}

// A dialog keeps its own Enter: its focused button is pressed once, not twice.
void TestNumericField::enterInADialogPressesOnce() {
    RecordingDesktop desktop;
    QWidget window;
    attachField(new QLineEdit(&window), "Form5", "Text1",
                FieldContext{desktop, &window, {}, {}, {}, {}});
    QDialog dialog;
    auto* button = new QPushButton("OK", &dialog);
    int pressed = 0;
    QObject::connect(button, &QAbstractButton::clicked, button, [&pressed] { ++pressed; });
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(pressed, 1);
}

QTEST_MAIN(TestNumericField)
#include "tst_numericfield.moc"
