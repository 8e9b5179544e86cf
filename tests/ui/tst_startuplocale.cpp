// Start-up in a decimal-comma locale chosen the way a user chooses it: by the environment, not
// by the program. CTest runs this with LC_ALL=de_DE.UTF-8; the test fails when the system does
// not provide that locale.

#include "app/windows.h"
#include "engine/keys.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/problemwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <clocale>

class TestStartupLocale : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void systemLocaleHasDecimalComma();
    void startUpNoteAndResultsUseTheComma();
};

void TestStartupLocale::systemLocaleHasDecimalComma() {
    QCOMPARE(qEnvironmentVariable("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    // The C library accepted the locale (the application object selects it from the
    // environment): it is installed on this machine.
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    QVERIFY(numeric);
    QVERIFY2(QByteArray(numeric).startsWith("de_DE"),
             "de_DE.UTF-8 is not installed: run script/bootstrap (locale-gen)");
    QCOMPARE(QLocale::system().decimalPoint(), QStringLiteral(","));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
}

void TestStartupLocale::startUpNoteAndResultsUseTheComma() {
    GuiFixture fixture(QLocale::system());
    fixture.start();
    QCOMPARE(fixture.main().separatorNote()->text(),
             QStringLiteral("Note: As decimal separator use ,"));
    QVERIFY(fixture.main().separatorNote()->text().endsWith(QStringLiteral(" ,")));
    // The separator the note names is the one the windows write and read.
    ProblemWindow* form = fixture.windows().problemWindow(Arrangement::CounterFlow, 1);
    fixture.show(form);
    form->calculateButton()->click();
    QVERIFY(fixture.desktop().messages.isEmpty());
    QCOMPARE(form->result(engine::cf1::ntu)->text(), QStringLiteral("30,58"));
    QCOMPARE(form->result(engine::cf1::heat)->text(), QStringLiteral("2095,00"));
    QVERIFY(fixture.checkNoDialogs());
}

QTEST_MAIN(TestStartupLocale)
#include "tst_startuplocale.moc"
