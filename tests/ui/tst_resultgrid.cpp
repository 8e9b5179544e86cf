// The Problem 1 result grid: one stop of the Tab chain, and the rows it copies as a
// spreadsheet pastes them.

#include "ui/resultgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

class TestResultGrid : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiedText_data();
    void copiedText();
    void ctrlCAndTheContextMenuCopy();
    void oneTabStop();
};

namespace {

// Three regimes as the windows show them: with a decimal point, or a decimal comma.
engine::ResultRows threeRegimes(QChar separator) {
    engine::ResultRows rows;
    for (int r = 0; r < 3; ++r) {
        auto& row = rows.append();
        for (int c = 0; c < engine::ResultRows::kColumns; ++c)
            row[std::size_t(c)] = QStringLiteral("%1%2%3").arg(r + 1).arg(separator).arg(c);
    }
    return rows;
}

const QString kHeader =
    QStringLiteral("G[kg/s]\tL[kg/s]\tTw,in [oC]\tTw,out[oC]\tTa,db[oC]\tRH [%]\t"
                   "NTU[kW/(kJ/kg)]\tQ [kW]\tEfficiency [%]\tRange[oC]\t"
                   "Approach [oC]\n");

QString line(int regime, QChar separator) {
    QStringList cells;
    for (int c = 0; c < engine::ResultRows::kColumns; ++c)
        cells.append(QStringLiteral("%1%2%3").arg(regime).arg(separator).arg(c));
    return cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

} // namespace

void TestResultGrid::copiedText_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("copied"); // regimes, from 1
    QTest::newRow("none selected: all") << QChar('.') << QList<int>{} << QList<int>{1, 2, 3};
    QTest::newRow("one") << QChar('.') << QList<int>{1} << QList<int>{2};
    QTest::newRow("two apart, in order") << QChar('.') << QList<int>{2, 0} << QList<int>{1, 3};
    QTest::newRow("decimal comma") << QChar(',') << QList<int>{0, 1} << QList<int>{1, 2};
}

void TestResultGrid::copiedText() {
    QFETCH(QChar, separator);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, copied);
    ResultGrid grid;
    grid.writeHeaders();
    grid.showRows(threeRegimes(separator));
    for (int row : selected)
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QString expected = kHeader;
    for (int regime : copied)
        expected += line(regime, separator);
    QCOMPARE(grid.copyText(), expected);
}

void TestResultGrid::ctrlCAndTheContextMenuCopy() {
    ResultGrid grid;
    grid.writeHeaders();
    // An empty grid copies its header alone.
    QCOMPARE(grid.copyText(), kHeader);
    grid.showRows(threeRegimes(QLatin1Char('.')));
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setFocus();
    grid.setCurrentCell(1, 3);
    grid.selectRow(1);
    QApplication::clipboard()->clear();
    // Not the current cell alone: the selected row with the header.
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), kHeader + line(2, QLatin1Char('.')));

    QCOMPARE(grid.copyAction()->text(), QStringLiteral("Copy"));
    QVERIFY(grid.actions().contains(grid.copyAction()));
    QVERIFY(grid.actions().contains(grid.deleteAction()));
    grid.clearSelection();
    QApplication::clipboard()->clear();
    grid.copyAction()->trigger();
    QCOMPARE(QApplication::clipboard()->text(), kHeader + line(1, QLatin1Char('.')) +
                                                    line(2, QLatin1Char('.')) +
                                                    line(3, QLatin1Char('.')));
}

void TestResultGrid::oneTabStop() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    auto* grid = new ResultGrid(&window);
    auto* after = new QLineEdit(&window);
    layout->addWidget(before);
    layout->addWidget(grid);
    layout->addWidget(after);
    grid->writeHeaders();
    grid->showRows(threeRegimes(QLatin1Char('.')));
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    // The arrows move inside the grid.
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(grid->currentColumn(), 1);
    QCOMPARE(QApplication::focusWidget(), grid);
    // Tab leaves it for the next control, Shift+Tab from there comes back, and Shift+Tab
    // again leaves it for the control before.
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), grid);
    QCOMPARE(grid->currentColumn(), 1);
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), before);
}

QTEST_MAIN(TestResultGrid)
#include "tst_resultgrid.moc"
