// The window registry: a Problem window that is unloaded leaves nothing of itself in the
// engine, whichever window the multiple-document area activates while it goes; the Diagram
// window beside the Problem windows; the "Window" menu.

#include "app/windowmenu.h"
#include "auditprogram.h"
#include "ui/diagramwindow.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void unloadedProblemStartsAfresh();
    void childGeometry_data();
    void childGeometry();
    void diagramBesideTheProblem_data();
    void diagramBesideTheProblem();
    void windowMenuFollowsTheOpenWindows();
    void ctrlTabSwitchesWindows();
};

namespace {

QMdiSubWindow* subOf(QWidget* form) {
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
}

void showDiagram(Program& p) {
    for (QAction* a : p.main()->toolBar()->actions())
        if (a->data().toString() == QLatin1String("Diagram"))
            a->trigger();
    QCoreApplication::processEvents();
}

} // namespace

void TestWindows::unloadedProblemStartsAfresh() {
    Program p;
    const Arrangement a = Arrangement::CrossFlow;
    // Only Problem windows on screen: the cross-flow Problem 1, calculated and edited, in front
    // of Problems 2 and 3.
    p.windows().startWindow()->parentWidget()->close();
    for (int problem = 3; problem >= 1; --problem)
        p.fixture.show(p.form(a, problem));
    p.calculate(a, 1);
    p.field(a, 0)->setText(QStringLiteral("91"));
    QVERIFY(!p.windows().audit().calculatedFields(a, 1).empty());

    p.windows().unloadProblems();
    const engine::Audit fresh;
    for (int problem = 1; problem <= 4; ++problem) {
        QVERIFY(!p.windows().isLoaded(QString::fromLatin1(auditfile::problemForm(a, problem))));
        for (std::string_view control : engine::Audit::controls(a, problem))
            QCOMPARE(p.windows().audit().text(a, problem, control),
                     fresh.text(a, problem, control));
        QVERIFY(!p.windows().audit().currency(a, problem).calculated);
    }
    QCOMPARE(p.windows().audit().resultRows(a), fresh.resultRows(a));
}

void TestWindows::childGeometry_data() {
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QRect>("problem");
    QTest::addColumn<QRect>("diagram");
    // The Problem windows' place is 940 x 620 at the top left; the Diagram window goes beside
    // it when 480 pixels remain.
    QTest::newRow("wide") << QSize(1596, 870) << QRect(0, 0, 940, 620) << QRect(940, 0, 656, 870);
    QTest::newRow("just wide enough")
        << QSize(1420, 640) << QRect(0, 0, 940, 620) << QRect(940, 0, 480, 640);
    QTest::newRow("a pixel too narrow")
        << QSize(1419, 640) << QRect(0, 0, 940, 620) << QRect(0, 0, 940, 620);
    QTest::newRow("low") << QSize(1600, 500) << QRect(0, 0, 940, 500) << QRect(940, 0, 660, 500);
    QTest::newRow("not laid out yet")
        << QSize(0, 0) << QRect(0, 0, 940, 620) << QRect(0, 0, 940, 620);
}

void TestWindows::childGeometry() {
    QFETCH(QSize, area);
    QFETCH(QRect, problem);
    QFETCH(QRect, diagram);
    QCOMPARE(Windows::childGeometry(area, false), problem);
    QCOMPARE(Windows::childGeometry(area, true), diagram);
}

void TestWindows::diagramBesideTheProblem_data() {
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<bool>("beside");
    QTest::newRow("1600 x 1000") << QSize(1600, 1000) << true;
    QTest::newRow("designed size") << QSize(1006, 702) << false;
}

void TestWindows::diagramBesideTheProblem() {
    QFETCH(QSize, mainSize);
    QFETCH(bool, beside);
    Program p;
    p.main()->resize(mainSize);
    QCoreApplication::processEvents();
    // The engineer calculates Problem 1, then opens the Diagram from the toolbar, then goes
    // back to the Problem: both stay where they were put.
    p.startProblemOne(Arrangement::CounterFlow);
    QWidget* problem = p.form(Arrangement::CounterFlow, 1);
    showDiagram(p);
    QWidget* diagram = p.windows().diagramWindow();
    p.fixture.show(problem);
    const QRect problemPlace = subOf(problem)->geometry();
    const QRect diagramPlace = subOf(diagram)->geometry();
    QVERIFY(subOf(problem)->isVisible() && subOf(diagram)->isVisible());
    QCOMPARE(problemPlace, QRect(0, 0, 940, 620));
    const QRect area = p.main()->mdiArea()->viewport()->rect();
    if (beside) {
        QVERIFY2(!problemPlace.intersects(diagramPlace),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(diagramPlace.x())
                                .arg(diagramPlace.y())
                                .arg(diagramPlace.width())
                                .arg(diagramPlace.height())));
        QCOMPARE(diagramPlace.right(), area.right());
        QVERIFY(diagramPlace.width() >= Windows::kDiagramBesideWidth);
    } else {
        QCOMPARE(diagramPlace, problemPlace);
    }
    // The Diagram follows the Problem window that was active last: the one beside it.
    QCOMPARE(p.main()->mdiArea()->activeSubWindow(), subOf(problem));
}

void TestWindows::windowMenuFollowsTheOpenWindows() {
    Program p;
    p.main()->resize(1600, 1000);
    QCoreApplication::processEvents();
    WindowMenu* menu = p.windows().windowMenu();
    // A toolbar entry before "Exit" whose tooltip names the keys that switch windows.
    QToolButton* button = menu->button();
    QVERIFY(button->isVisible());
    QVERIFY(button->toolTip().contains(QStringLiteral("Ctrl+Tab")));
    QVERIFY(button->toolTip().contains(QStringLiteral("Ctrl+Shift+Tab")));
    const QList<QAction*> toolbar = p.main()->toolBar()->actions();
    const auto at = [&](const auto& found) {
        return std::ranges::find_if(toolbar, found) - toolbar.begin();
    };
    QVERIFY(at([&](QAction* a) { return p.main()->toolBar()->widgetForAction(a) == button; }) <
            at([](QAction* a) { return a->data().toString() == QLatin1String("Exit"); }));

    const auto listed = [&] {
        Q_EMIT menu->menu()->aboutToShow();
        QStringList entries;
        for (QAction* a : menu->menu()->actions())
            if (a->isCheckable())
                entries.append((a->isChecked() ? QStringLiteral("* ") : QString()) +
                               a->text().section(QLatin1Char(' '), 1, -1));
        return entries;
    };
    const auto entry = [&](const QString& title) -> QAction* {
        for (QAction* a : menu->menu()->actions())
            if (a->isCheckable() && a->text().section(QLatin1Char(' '), 1, -1) == title)
                return a;
        return nullptr;
    };
    const QString start = p.windows().startWindow()->windowTitle().trimmed();
    QCOMPARE(listed(), QStringList{"* " + start});

    // Two Problem windows and the Diagram: listed in the order they were opened, the active
    // one checked.
    p.startProblemOne(Arrangement::CounterFlow);
    QWidget* one = p.form(Arrangement::CounterFlow, 1);
    QWidget* two = p.form(Arrangement::CounterFlow, 2);
    p.fixture.show(two);
    showDiagram(p);
    QWidget* diagram = p.windows().diagramWindow();
    const QString titleOne = one->windowTitle().trimmed();
    const QString titleTwo = two->windowTitle().trimmed();
    const QString titleDiagram = diagram->windowTitle().trimmed();
    QCOMPARE(listed(), QStringList({start, titleOne, titleTwo, "* " + titleDiagram}));

    // Choosing an entry activates its window; a closed window leaves the list.
    entry(titleOne)->trigger();
    QCOMPARE(p.main()->mdiArea()->activeSubWindow(), subOf(one));
    subOf(two)->close();
    QStringList now = listed();
    QVERIFY(!now.contains(titleTwo) && !now.contains("* " + titleTwo));
    QCOMPARE(now.size(), 3);

    // Tile shares the area as it is among the open windows without overlaps, the main window
    // keeping its size; Cascade lays them one over the other, each a step further down.
    const QSize mainSize = p.main()->size();
    menu->tileAction()->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(p.main()->size(), mainSize);
    const QList<QMdiSubWindow*> shown = [&] {
        QList<QMdiSubWindow*> subs;
        for (QMdiSubWindow* sub : p.main()->mdiArea()->subWindowList())
            if (sub->isVisible())
                subs.append(sub);
        return subs;
    }();
    QCOMPARE(shown.size(), 3);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        QVERIFY(p.main()->mdiArea()->viewport()->rect().contains(shown[i]->geometry()));
        for (qsizetype j = i + 1; j < shown.size(); ++j)
            QVERIFY(!shown[i]->geometry().intersects(shown[j]->geometry()));
    }
    menu->cascadeAction()->trigger();
    QCoreApplication::processEvents();
    QList<int> tops;
    for (QMdiSubWindow* sub : p.main()->mdiArea()->subWindowList())
        if (sub->isVisible())
            tops.append(sub->y());
    QCOMPARE(tops.size(), 3);
    std::ranges::sort(tops);
    QVERIFY(tops[0] < tops[1] && tops[1] < tops[2]);
    QVERIFY(!subOf(two)->isVisible());
}

void TestWindows::ctrlTabSwitchesWindows() {
    Program p;
    p.startProblemOne(Arrangement::CounterFlow);
    QWidget* one = p.form(Arrangement::CounterFlow, 1);
    QWidget* two = p.form(Arrangement::CounterFlow, 2);
    p.fixture.show(two);
    p.fixture.show(one);
    QMdiArea* area = p.main()->mdiArea();
    QCOMPARE(area->activeSubWindow(), subOf(one));
    // Ctrl+Tab in a field of the active window goes to the window used before it, and
    // Ctrl+Shift+Tab back; the windows keep their places.
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyPress(focus, key, modifiers);
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control, Qt::NoModifier);
        QCoreApplication::processEvents();
    };
    press(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(area->activeSubWindow() != subOf(one));
    const QMdiSubWindow* next = area->activeSubWindow();
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(area->activeSubWindow(), subOf(one));
    QVERIFY(next == subOf(two) || next == p.windows().startWindow()->parentWidget());
    QCOMPARE(subOf(one)->geometry(), QRect(0, 0, 940, 620));
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
