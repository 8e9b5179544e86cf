// The GUI fixture itself: the watchdog must notice (and close) a real dialog instead of
// letting a test hang, the snapshot must see every kind of change, and the locale guard must
// restore the default locale.

#include "support/guifixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

class TestGuiFixture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void watchdogClosesAndRecordsRealDialogs();
    void snapshotSeesEveryChange();
    void localeGuardRestores();
};

void TestGuiFixture::watchdogClosesAndRecordsRealDialogs() {
    GuiFixture fixture;
    QVERIFY(fixture.unexpectedDialogs().isEmpty());
    // Without the watchdog this call would wait for a person.
    QMessageBox::warning(nullptr, QStringLiteral("Missing Data"),
                         QStringLiteral("All fields require data"));
    QCOMPARE(fixture.unexpectedDialogs().size(), 1);
    QVERIFY(fixture.unexpectedDialogs().first().contains(QStringLiteral("Missing Data")));
    QVERIFY(fixture.unexpectedDialogs().first().contains(QStringLiteral("All fields require")));
}

void TestGuiFixture::snapshotSeesEveryChange() {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(QStringLiteral("100"), &window);
    edit->setObjectName(QStringLiteral("Text1"));
    auto* label = new QLabel(QStringLiteral("30.58"), &window);
    label->setObjectName(QStringLiteral("lbl2"));
    auto* caption = new QLabel(QStringLiteral("Range, [oC]"), &window);
    auto* button = new QPushButton(QStringLiteral("GoTo Problem 2"), &window);
    button->setObjectName(QStringLiteral("Command2"));
    auto* grid = new QTableWidget(1, 2, &window);
    grid->setObjectName(QStringLiteral("fgTable"));
    for (QWidget* w :
         {static_cast<QWidget*>(edit), static_cast<QWidget*>(label), static_cast<QWidget*>(caption),
          static_cast<QWidget*>(button), static_cast<QWidget*>(grid)})
        layout->addWidget(w);

    const TextSnapshot before = snapshotTexts(&window);
    QCOMPARE(before.value(QStringLiteral("Text1")), QStringLiteral("100"));
    QCOMPARE(before.value(QStringLiteral("lbl2")), QStringLiteral("30.58"));
    QCOMPARE(before.value(QStringLiteral("fgTable.rows")), QStringLiteral("1"));
    QVERIFY(snapshotDifference(before, snapshotTexts(&window)).isEmpty());

    const std::function<void()> changes[] = {
        [&] { edit->setText(QStringLiteral("100.00")); },
        [&] { label->setText(QStringLiteral("30.59")); },
        [&] { caption->setText(QStringLiteral("Range")); },
        [&] { button->setEnabled(false); },
        [&] { grid->setItem(0, 1, new QTableWidgetItem(QStringLiteral("x"))); },
        [&] { grid->setRowCount(2); },
        [&] {
            grid->setHorizontalHeaderLabels({QStringLiteral("a"), QStringLiteral("b")});
        },
    };
    TextSnapshot previous = before;
    for (const auto& change : changes) {
        change();
        const TextSnapshot now = snapshotTexts(&window);
        QVERIFY(!snapshotDifference(previous, now).isEmpty());
        previous = now;
    }
}

void TestGuiFixture::localeGuardRestores() {
    const QLocale before;
    {
        LocaleGuard guard(commaLocale());
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
        {
            GuiFixture fixture(pointLocale());
            QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
        }
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    }
    QCOMPARE(QLocale(), before);
}

QTEST_MAIN(TestGuiFixture)
#include "tst_guifixture.moc"
