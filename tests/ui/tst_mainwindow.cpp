// The main window: the decimal-separator note, the toolbar and its dispatch, the status line,
// "Exit", the placement saved at shut-down and the one chosen at start-up; file names shown as
// plain text in the status line and the desktop's message boxes.

#include "app/windows.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "support/guifixture.h"
#include "ui/desktop.h"
#include "ui/mainwindow.h"
#include "ui/moistairwindow.h"
#include "ui/problemwindow.h"
#include "ui/startwindow.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void separatorNote_data();
    void separatorNote();
    void mainWindowAtStart();
    void toolbarButtons_data();
    void toolbarButtons();
    void unknownKeyDoesNothing_data();
    void unknownKeyDoesNothing();
    void exitBeforeAnyProblemWindow();
    void exitUnloadsLoadedWindows();
    void placementSavedAtShutDown_data();
    void placementSavedAtShutDown();
    void menuWhileAProblemWindowIsActive();
    void placementOnTheScreen_data();
    void placementOnTheScreen();
    void savedPlacementRestored();
    void namesShowAsTheyAre_data();
    void namesShowAsTheyAre();

private:
    void start(const QLocale& locale = pointLocale());
    MainWindow& main() { return fixture_->main(); }
    QAction* action(const QString& key);
    QWidget* activeChild() const;

    std::unique_ptr<GuiFixture> fixture_;
};

void TestMainWindow::initTestCase() {
    // Closing the main window would otherwise end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindow::cleanup() {
    if (fixture_)
        QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset();
}

void TestMainWindow::start(const QLocale& locale) {
    fixture_ = std::make_unique<GuiFixture>(locale);
    fixture_->start();
}

QAction* TestMainWindow::action(const QString& key) {
    for (QAction* a : main().toolBar()->actions())
        if (a->data().toString() == key)
            return a;
    return nullptr;
}

QWidget* TestMainWindow::activeChild() const {
    QMdiSubWindow* sub = fixture_->main().mdiArea()->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

void TestMainWindow::separatorNote_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("note");
    QTest::newRow("en_US") << pointLocale() << " .";
    QTest::newRow("C") << QLocale::c() << " .";
    QTest::newRow("de_CH: point, apostrophe groups")
        << QLocale(QLocale::German, QLocale::Switzerland) << " .";
    QTest::newRow("de_DE") << commaLocale() << " ,";
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << " ,";
    // Any separator other than the point gives the comma note.
    QTest::newRow("ar_EG: Arabic decimal separator")
        << QLocale(QLocale::Arabic, QLocale::Egypt) << " ,";
}

void TestMainWindow::separatorNote() {
    QFETCH(QLocale, locale);
    QFETCH(QString, note);
    start(locale);
    QCOMPARE(main().separatorNote()->text(),
             QStringLiteral("Note: As decimal separator use") + note);
}

void TestMainWindow::mainWindowAtStart() {
    start();
    QCOMPARE(main().windowTitle(), QStringLiteral(" DIRECT CONTACT HEAT TRANSFER COOLING TOWERS"));
    // 15090 x 10485 twips.
    // The designed size, grown so that the child windows fit below the toolbar.
    QCOMPARE(main().width(), 1006);
    QVERIFY(main().height() >= 699 && main().height() < 699 + 20);
    QVERIFY(main().mdiArea()->viewport()->height() >= 620);
    QCOMPARE(main().statusLabel()->text(), QString());
    QCOMPARE(main().spreadsheetFlag()->text(), QStringLiteral("0"));
    QVERIFY(!main().spreadsheetFlag()->isVisible());
    QVERIFY(!main().findChild<QLineEdit*>(QStringLiteral("Text2"))->text().isEmpty());
    QVERIFY(!main().findChild<QLineEdit*>(QStringLiteral("Text2"))->isVisible());
    QCOMPARE(main().toolbarIcons().size(), 19);
    for (const QIcon& icon : main().toolbarIcons())
        QVERIFY(!icon.pixmap(16, 16).isNull());
    // The start window is the first child, with counter flow selected.
    QCOMPARE(activeChild(), static_cast<QWidget*>(fixture_->windows().startWindow()));
    QVERIFY(fixture_->windows().startWindow()->counterFlowOption()->isChecked());
    QVERIFY(!fixture_->windows().isLoaded(QStringLiteral("Form5")));
}

void TestMainWindow::toolbarButtons_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("does"); // a word of what the tooltip says it does
    QTest::addColumn<QKeySequence>("shortcut");
    // The trailing blanks widen the buttons and belong to the captions.
    QTest::newRow("menu") << 0 << "Menu    "
                          << "menu"
                          << "start window" << QKeySequence(Qt::ALT | Qt::Key_M);
    QTest::newRow("Excel") << 1 << "Excel    "
                           << "Excel"
                           << "spreadsheet" << QKeySequence(Qt::ALT | Qt::Key_E);
    QTest::newRow("Diagram") << 2 << "Diagram    "
                             << "Diagram"
                             << "diagrams" << QKeySequence(Qt::ALT | Qt::Key_D);
    QTest::newRow("Uncertainty") << 3 << "Uncertainty"
                                 << "Uncertainty"
                                 << "uncertainty" << QKeySequence(Qt::ALT | Qt::Key_U);
    QTest::newRow("Exit") << 4 << "Exit     "
                          << "Exit"
                          << "End the program" << QKeySequence(Qt::CTRL | Qt::Key_Q);
}

// Each button is found by its key (object name and data); its tooltip says what it does and
// names its shortcut.
void TestMainWindow::toolbarButtons() {
    QFETCH(int, position);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    QFETCH(QString, does);
    QFETCH(QKeySequence, shortcut);
    start();
    QList<QAction*> buttons;
    for (QAction* a : main().toolBar()->actions())
        if (!a->text().isEmpty())
            buttons.append(a);
    QCOMPARE(buttons.size(), 5);
    QAction* a = buttons.at(position);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->objectName(), key);
    QCOMPARE(a->data().toString(), key);
    QCOMPARE(a->shortcut(), shortcut);
    QVERIFY2(a->toolTip().contains(does), qPrintable(a->toolTip()));
    QVERIFY2(a->toolTip().endsWith(
                 QStringLiteral(" (%1)").arg(shortcut.toString(QKeySequence::NativeText))),
             qPrintable(a->toolTip()));
    QVERIFY(!a->icon().isNull());
    QVERIFY(a->isVisible());
}

void TestMainWindow::unknownKeyDoesNothing_data() {
    QTest::addColumn<QString>("key");
    QTest::newRow("MENU") << "MENU";
    QTest::newRow("exit") << "exit";
    QTest::newRow("excel") << "excel";
    QTest::newRow("empty") << "";
    QTest::newRow("caption instead of key") << "Menu    ";
    QTest::newRow("leading blank") << " menu";
}

void TestMainWindow::unknownKeyDoesNothing() {
    QFETCH(QString, key);
    start();
    ProblemWindow* form5 = fixture_->windows().problemWindow(Arrangement::CounterFlow, 1);
    fixture_->show(form5);
    fixture_->windows().setStatus(QStringLiteral("a hint"));
    const TextSnapshot before = snapshotTexts(&main());
    main().buttonClicked(key);
    QCoreApplication::processEvents();
    QCOMPARE(fixture_->windows().status(), QStringLiteral("a hint"));
    QCOMPARE(activeChild(), static_cast<QWidget*>(form5));
    QVERIFY(main().isVisible());
    QVERIFY(fixture_->desktop().settings.isEmpty());
    const QString difference = snapshotDifference(before, snapshotTexts(&main()));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestMainWindow::exitBeforeAnyProblemWindow() {
    start();
    QAction* exit = action(QStringLiteral("Exit"));
    QVERIFY(exit);
    exit->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!main().isVisible());
    QCOMPARE(fixture_->desktop().settings.size(), 4);
    QVERIFY(fixture_->desktop().messages.isEmpty());
    for (const char* name :
         {"Form10", "Form11", "Form2", "Form3", "Form4", "Form5", "Form6", "Form8", "Form9"})
        QVERIFY2(!fixture_->windows().isLoaded(QString::fromLatin1(name)), name);
}

void TestMainWindow::exitUnloadsLoadedWindows() {
    start();
    QPointer<ProblemWindow> form5 = fixture_->windows().problemWindow(Arrangement::CounterFlow, 1);
    fixture_->show(form5);
    form5->calculateButton()->click();
    QPointer<MoistAirWindow> form11 = fixture_->windows().moistAirWindow();
    QVERIFY(fixture_->windows().isLoaded(QStringLiteral("Form5")));
    QVERIFY(fixture_->windows().isLoaded(QStringLiteral("Form11")));

    action(QStringLiteral("Exit"))->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!fixture_->windows().isLoaded(QStringLiteral("Form5")));
    QVERIFY(!fixture_->windows().isLoaded(QStringLiteral("Form11")));
    QVERIFY(form5.isNull());
    QVERIFY(form11.isNull());
    QVERIFY(!main().isVisible());
    QCOMPARE(fixture_->desktop().settings.size(), 4);
}

void TestMainWindow::placementSavedAtShutDown_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("byExit");
    QTest::addColumn<bool>("saved");
    QTest::newRow("normal, close box") << int(Qt::WindowNoState) << false << true;
    QTest::newRow("normal, Exit") << int(Qt::WindowNoState) << true << true;
    QTest::newRow("maximised, close box") << int(Qt::WindowMaximized) << false << true;
    QTest::newRow("maximised, Exit") << int(Qt::WindowMaximized) << true << true;
    QTest::newRow("minimised, close box") << int(Qt::WindowMinimized) << false << false;
    QTest::newRow("minimised, Exit") << int(Qt::WindowMinimized) << true << false;
}

void TestMainWindow::placementSavedAtShutDown() {
    QFETCH(int, state);
    QFETCH(bool, byExit);
    QFETCH(bool, saved);
    start(commaLocale()); // the numbers are written with the locale's conversion
    main().move(40, 30);
    main().setWindowState(static_cast<Qt::WindowState>(state));
    QCoreApplication::processEvents();
    QCOMPARE(main().isMinimized(), state == Qt::WindowMinimized);
    QCOMPARE(main().isMaximized(), state == Qt::WindowMaximized);
    const QRect frame = main().frameGeometry();

    if (byExit)
        main().buttonClicked(QStringLiteral("Exit"));
    else
        main().close();
    QCoreApplication::processEvents();
    QVERIFY(!main().isVisible());

    const QList<RecordingDesktop::Setting>& settings = fixture_->desktop().settings;
    if (!saved) {
        QVERIFY(settings.isEmpty());
        return;
    }
    QCOMPARE(settings.size(), 4);
    const QString keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
    const int twips[] = {frame.x() * 15, frame.y() * 15, frame.width() * 15, frame.height() * 15};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(settings[i].application, QStringLiteral("Kestrel-13"));
        QCOMPARE(settings[i].application, applicationTitle());
        QCOMPARE(settings[i].section, QStringLiteral("Settings"));
        QCOMPARE(settings[i].key, keys[i]);
        QCOMPARE(settings[i].value, QString::number(twips[i]));
    }
    if (state == Qt::WindowNoState)
        QCOMPARE(settings[0].value, QStringLiteral("600")); // 40 px
}

void TestMainWindow::menuWhileAProblemWindowIsActive() {
    start();
    StartWindow* form1 = fixture_->windows().startWindow();
    form1->calculateButton()->click(); // opens the counter-flow Problem 1
    ProblemWindow* form5 = fixture_->windows().problemWindow(Arrangement::CounterFlow, 1);
    QCOMPARE(activeChild(), static_cast<QWidget*>(form5));
    form5->calculateButton()->click();
    QCOMPARE(fixture_->windows().status(),
             QStringLiteral("Calculation has successfully complited"));
    const TextSnapshot before = snapshotTexts(form5);

    // Menu's shortcut works from a field of the Problem window.
    QLineEdit* field = form5->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QVERIFY(field);
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field));
    QTest::keyClick(field, Qt::Key_M, Qt::AltModifier);
    QCoreApplication::processEvents();
    QCOMPARE(activeChild(), static_cast<QWidget*>(form1));
    QCOMPARE(fixture_->windows().status(), QString());
    QTRY_VERIFY(form1->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == form1);
    // The problem window stays open with its contents.
    QVERIFY(form5->isVisible());
    const QString difference = snapshotDifference(before, snapshotTexts(form5));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestMainWindow::placementOnTheScreen_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<std::optional<QRect>>("saved");
    QTest::addColumn<QRect>("placed");
    const QRect screen(0, 0, 1600, 960); // 1600 x 1000 less a 40-pixel panel
    // None saved: 90 % of the available area, centred.
    QTest::newRow("1600 x 1000") << screen << std::optional<QRect>() << QRect(80, 48, 1440, 864);
    QTest::newRow("second screen")
        << QRect(1600, 0, 1920, 1040) << std::optional<QRect>() << QRect(1696, 52, 1728, 936);
    // A screen where 90 % is less than the design: the designed size, centred.
    QTest::newRow("1100 x 760") << QRect(0, 0, 1100, 760) << std::optional<QRect>()
                                << QRect(47, 30, 1006, 699);
    // A screen smaller than the design: its top left corner.
    QTest::newRow("800 x 600") << QRect(0, 0, 800, 600) << std::optional<QRect>()
                               << QRect(0, 0, 1006, 699);
    // Saved at the designed size (the window was never resized): as if none were saved.
    QTest::newRow("saved as designed")
        << screen << std::optional<QRect>(QRect(10, 20, 1008, 730)) << QRect(80, 48, 1440, 864);
    // Moved and resized by the engineer: where it was left.
    QTest::newRow("saved") << screen << std::optional<QRect>(QRect(100, 50, 1300, 800))
                           << QRect(100, 50, 1300, 800);
    // Larger than the screen now: the screen's size; smaller than the design: the design.
    QTest::newRow("saved larger than the screen")
        << screen << std::optional<QRect>(QRect(0, 0, 2400, 1400)) << QRect(0, 0, 1600, 960);
    QTest::newRow("saved smaller than the design")
        << screen << std::optional<QRect>(QRect(30, 40, 600, 400)) << QRect(30, 40, 1006, 699);
    // Mostly off the screen (a monitor since removed): the default.
    QTest::newRow("saved off the screen")
        << screen << std::optional<QRect>(QRect(1900, 100, 1300, 800)) << QRect(80, 48, 1440, 864);
}

void TestMainWindow::placementOnTheScreen() {
    QFETCH(QRect, available);
    QFETCH(std::optional<QRect>, saved);
    QFETCH(QRect, placed);
    QCOMPARE(MainWindow::placement(available, QSize(1006, 699), saved), placed);
}

void TestMainWindow::savedPlacementRestored() {
    // The placement the last run saved (in twips) is where the next run opens.
    fixture_ = std::make_unique<GuiFixture>(pointLocale());
    for (const auto& [key, value] : {std::pair{"MainLeft", 20 * 15},
                                     {"MainTop", 10 * 15},
                                     {"MainWidth", 700 * 15},
                                     {"MainHeight", 500 * 15}})
        fixture_->desktop().writeSetting(applicationTitle(), QStringLiteral("Settings"),
                                         QString::fromLatin1(key), QString::number(value));
    fixture_->start();
    // Smaller than the design, so the design; the offscreen screen holds its corner.
    QCOMPARE(main().frameGeometry().topLeft(), QPoint(20, 10));
    QVERIFY(main().width() >= 1006);
}

// A file's name is shown as it is, never as formatted text that would hide the rest of the
// message: the program's message boxes and questions (real ones here, closed as soon as they
// show) and the status line.
void TestMainWindow::namesShowAsTheyAre_data() {
    QTest::addColumn<QString>("where");
    QTest::newRow("message box") << "message";
    QTest::newRow("question") << "question";
    QTest::newRow("status line") << "status";
}

void TestMainWindow::namesShowAsTheyAre() {
    QFETCH(QString, where);
    const QString text = QStringLiteral("The file \"/tmp/<h1>Saved OK<!--.ctaudit\" cannot be "
                                        "opened: it is not an audit");
    std::optional<Qt::TextFormat> format;
    if (where == QLatin1String("status")) {
        start();
        fixture_->windows().setStatus(text);
        const auto* status =
            main().findChild<QLabel*>(engine::toQString(engine::mainwindow::kStatusLine));
        QVERIFY(status && status->text() == text);
        format = status->textFormat();
    } else {
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                format = box->textFormat();
                box->done(0);
            }
        });
        poll.start(10);
        QtDesktop desktop;
        if (where == QLatin1String("message"))
            desktop.message(nullptr, QStringLiteral("ctaudit"), text, MessageIcon::Critical);
        else
            QCOMPARE(desktop.ask(nullptr, QStringLiteral("ctaudit"), text,
                                 {QStringLiteral("Yes"), QStringLiteral("No")}),
                     1);
    }
    QVERIFY(format);
    QCOMPARE(*format, Qt::PlainText);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
