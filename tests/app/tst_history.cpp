// Undo and redo of the audit: random sequences of edits, calculations and deleted grid rows
// undone to the start and redone to the end show every text as it was at each step; a field
// that is left records its edit; Ctrl+Z in a field undoes the audit; undoing back to the saved
// state makes the audit unchanged.

#include "auditprogram.h"
#include "ui/diagramwindow.h"

#include <QApplication>
#include <QToolBar>

class TestHistory : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void undoThenRedoReturnsEveryText_data();
    void undoThenRedoReturnsEveryText();
    void leavingAFieldRecordsItsEdit();
    void undoBackToTheSavedStateIsUnchanged();
    void actionsAndShortcuts();
};

void TestHistory::undoThenRedoReturnsEveryText_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("seed 1") << 1u << pointLocale();
    QTest::newRow("seed 2, decimal comma") << 2u << commaLocale();
    QTest::newRow("seed 3") << 3u << pointLocale();
}

void TestHistory::undoThenRedoReturnsEveryText() {
    QFETCH(quint32, seed);
    QFETCH(QLocale, locale);
    Program p(locale);
    p.loadAll();
    for (Arrangement a : kBoth)
        p.fixture.show(p.form(a, 1)); // the grids' headers, written on activation
    QUndoStack& stack = p.document.history().stack();
    // The texts at each index of the stack, as each change is recorded.
    QMap<int, TextSnapshot> at{{0, p.problemTexts()}};
    QMap<int, engine::Audit::State> states{{0, p.windows().audit().state()}};
    const QMetaObject::Connection recording =
        connect(&stack, &QUndoStack::indexChanged, this, [&](int index) {
            at[index] = p.problemTexts();
            states[index] = p.windows().audit().state();
        });
    RandomWork work(p, seed);
    for (int i = 0; i < 24; ++i)
        work.step(false);
    disconnect(recording);
    QVERIFY2(stack.count() >= 10, qPrintable(QString::number(stack.count())));
    const auto check = [&](const char* when) {
        const QString difference = snapshotDifference(at.value(stack.index()), p.problemTexts());
        QVERIFY2(difference.isEmpty(),
                 qPrintable(
                     QStringLiteral("%1 to %2:\n%3").arg(when).arg(stack.index()).arg(difference)));
        QVERIFY(engine::Audit::sameAudit(states.value(stack.index()), p.windows().audit().state()));
    };
    while (stack.canUndo()) {
        p.document.history().undo();
        check("undone");
    }
    QVERIFY(!p.document.isModified());
    while (stack.canRedo()) {
        p.document.history().redo();
        check("redone");
    }
    QVERIFY(p.document.isModified());
}

// A field that is left hands its edit over as one change; an edit typed and not yet left is a
// change of the audit too, and undo takes it back first.
void TestHistory::leavingAFieldRecordsItsEdit() {
    Program p;
    const Arrangement a = Arrangement::CounterFlow;
    p.fixture.show(p.form(a, 1));
    QUndoStack& stack = p.document.history().stack();
    QLineEdit* water = p.field(a, 0);
    QLineEdit* air = p.field(a, 1);
    const QString first = water->text();
    water->setFocus();
    QTRY_VERIFY(water->hasFocus());
    water->setText(QStringLiteral("120"));
    QCOMPARE(stack.count(), 0);
    QVERIFY(p.document.isModified());
    QVERIFY(p.main()->isWindowModified());
    air->setFocus();
    QTRY_VERIFY(air->hasFocus());
    QCOMPARE(stack.count(), 1);
    QCOMPARE(p.windows().audit().text(a, 1, 0), QStringLiteral("120"));

    // Typed into another field and not left: Ctrl+Z there takes that edit back first, then the
    // one before.
    air->setText(QStringLiteral("80"));
    QTest::keyClick(air, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(air->text(), p.fixture.windows().audit().text(a, 1, 1));
    QCOMPARE(stack.index(), 1);
    QCOMPARE(water->text(), QStringLiteral("120"));
    QTest::keyClick(air, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(water->text(), first);
    QTest::keyClick(air, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(water->text(), QStringLiteral("120"));
    QVERIFY(p.fixture.checkNoDialogs());
}

// Undo back to the state that was last saved makes the audit unchanged: no mark, and closing
// asks nothing. A CALCULATE undone brings the previous results back, and takes its status text.
void TestHistory::undoBackToTheSavedStateIsUnchanged() {
    QTemporaryDir dir;
    Program p;
    const Arrangement a = Arrangement::CounterFlow;
    p.fixture.show(p.form(a, 1));
    p.calculate(a, 1);
    QVERIFY(p.document.saveTo(dir.filePath(QStringLiteral("a.ctaudit"))));
    const TextSnapshot saved = p.problemTexts();
    QVERIFY(!p.main()->isWindowModified());

    p.type(a, 1, QStringLiteral("95")); // a wrong value, calculated
    p.calculate(a, 1);
    QVERIFY(p.main()->isWindowModified());
    // The calculation before saving, the edit, the calculation.
    QCOMPARE(p.document.history().stack().count(), 3);
    p.document.history().undo();
    p.document.history().undo();
    QCOMPARE(snapshotDifference(saved, p.problemTexts()), QString());
    QVERIFY(!p.main()->isWindowModified());
    QCOMPARE(p.windows().status(), QString()); // the undone calculation's text is gone
    int asked = 0;
    p.document.askUnsavedChanges = [&](const QString&) {
        return ++asked, AuditDocument::Changes::Keep;
    };
    QVERIFY(p.document.mayClose());
    QCOMPARE(asked, 0);
    p.document.history().redo();
    QVERIFY(p.main()->isWindowModified());
    QVERIFY(!p.document.mayClose());
    QCOMPARE(asked, 1);
}

// "Undo" and "Redo" on the toolbar, with their shortcuts in the tooltips, enabled when there is
// something to undo or redo; the Diagram window follows what they restore.
void TestHistory::actionsAndShortcuts() {
    Program p;
    QAction* undo = p.document.history().undoAction();
    QAction* redo = p.document.history().redoAction();
    QVERIFY(p.main()->toolBar()->actions().contains(undo));
    QVERIFY(p.main()->toolBar()->actions().contains(redo));
    QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    QVERIFY(undo->toolTip().endsWith(QStringLiteral("(Ctrl+Z)")));
    QVERIFY(redo->toolTip().endsWith(QStringLiteral("(Ctrl+Shift+Z)")));
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    DiagramWindow* diagram = p.windows().diagramWindow();
    p.fixture.show(p.form(Arrangement::CounterFlow, 1));
    p.calculate(Arrangement::CounterFlow, 1);
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    QCOMPARE(undo->toolTip(), QStringLiteral("Undo CALCULATE (Ctrl+Z)"));
    QVERIFY(diagram->currentPlot());
    undo->trigger();
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    QVERIFY(p.windows().audit().calculations().empty());
    QVERIFY(!diagram->currentPlot());
    redo->trigger();
    QVERIFY(diagram->currentPlot());
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
