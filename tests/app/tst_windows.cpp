// The window registry: a Problem window that is unloaded leaves nothing of itself in the
// engine, whichever window the multiple-document area activates while it goes.

#include "auditprogram.h"

#include <QApplication>

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void unloadedProblemStartsAfresh();
};

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

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
