// The fuzzer's oracle: what TextCheck lets pass and what it reports, and the plausible texts
// the fuzzer types being numbers in the locale's format.

#include "app/windows.h"
#include "engine/fieldtable.h"
#include "engine/numtext.h"
#include "fuzztexts.h"
#include "rng.h"
#include "support/guifixture.h"
#include "textcheck.h"
#include "ui/mainwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QtTest>
#include <memory>

class TestTextCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { fixture_.reset(); }

    void freshWindowsPass_data() {
        QTest::addColumn<bool>("comma");
        QTest::newRow("point") << false;
        QTest::newRow("comma") << true;
    }
    void freshWindowsPass() {
        QFETCH(bool, comma);
        start(comma);
        for (const QString& name : TextCheck::windowNames())
            windows().form(name); // every window loaded, as designed
        const QStringList bad = TextCheck().check(windows());
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    }

    void texts_data() {
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("reported");
        const QString f5 = QStringLiteral("Form5");
        const QString lbl2 = QStringLiteral("lbl2");
        QTest::newRow("nan") << false << f5 << lbl2 << "nan" << true;
        QTest::newRow("inf") << false << f5 << lbl2 << "inf" << true;
        QTest::newRow("-inf, comma") << true << f5 << lbl2 << "-inf" << true;
        QTest::newRow("number") << false << f5 << lbl2 << "12.50" << false;
        QTest::newRow("number with exponent") << false << f5 << lbl2 << "1E+20" << false;
        QTest::newRow("point number in a comma locale") << true << f5 << lbl2 << "12.50" << true;
        QTest::newRow("comma number") << true << f5 << lbl2 << "12,50" << false;
        QTest::newRow("grouped number") << false << f5 << lbl2 << "1,250.00" << true;
        QTest::newRow("another control's caption")
            << false << f5 << lbl2 << "Heat capacity, [kW]" << true;
        QTest::newRow("empty label") << false << f5 << lbl2 << "" << false;
        QTest::newRow("field not a number") << false << f5 << "Text1"
                                            << "3a" << true;
        QTest::newRow("field empty") << false << f5 << "Text1"
                                     << "" << false;
        QTest::newRow("field of the calculator") << false << "Form11"
                                                 << "Text9"
                                                 << "nan" << true;
        QTest::newRow("decimal note of its locale") << true << "frmMain"
                                                    << "Label1"
                                                    << "Note: As decimal separator use ," << false;
        QTest::newRow("decimal note of the other locale")
            << false << "frmMain"
            << "Label1"
            << "Note: As decimal separator use ," << true;
    }
    void texts() {
        QFETCH(bool, comma);
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, reported);
        start(comma);
        const TextCheck check;
        QWidget* control_ = windows().form(window)->findChild<QWidget*>(control);
        QVERIFY(control_);
        if (auto* label = qobject_cast<QLabel*>(control_)) {
            label->setText(text);
        } else {
            auto* edit = qobject_cast<QLineEdit*>(control_);
            const QSignalBlocker noFilter(edit); // past the field's own keystroke filter
            edit->setText(text);
        }
        const QStringList bad = check.check(windows());
        QCOMPARE(!bad.isEmpty(), reported);
        if (reported)
            QVERIFY2(bad.first().contains(control), qPrintable(bad.first()));
    }

    void statusLine_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("reported");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a field's hint")
            << "Ambient air pressure is in range 0.9 - 1.15 [bar] with accuracy +/-1%" << false;
        QTest::newRow("completion") << "Calculation has successfully complited" << false;
        QTest::newRow("other completion") << "Calculation has successfuly complited" << false;
        QTest::newRow("corrected spelling") << "Calculation has successfully completed" << true;
        QTest::newRow("a number") << "12.5" << true;
        const char* const outOfDate =
            "Problem 3 is out of date (it builds on Problem 1's earlier results): CALCULATE "
            "Problems 2 and 3 again, in this order.";
        QTest::newRow("out of date") << outOfDate << false;
        QTest::newRow("completion, out of date")
            << QStringLiteral("Calculation has successfully complited - ") + outOfDate << false;
        QTest::newRow("unknown text, out of date")
            << QStringLiteral("Calculation has successfully completed - ") + outOfDate << true;
    }
    void statusLine() {
        QFETCH(QString, status);
        QFETCH(bool, reported);
        start(false);
        const TextCheck check;
        windows().setStatus(status);
        QCOMPARE(!check.check(windows()).isEmpty(), reported);
    }

    // What the fuzzer types as an engineer's value is a number in the locale's format, so
    // that it reaches the fields' limits and the calculations, not only their keystroke filter.
    void plausibleTextsAreNumbers() {
        Rng rng(1, 0);
        for (const QLocale& locale : {pointLocale(), commaLocale()})
            for (const FieldDef& def : fieldTable())
                for (int i = 0; i < 50; ++i) {
                    const QString text = fuzztexts::plausible(rng, &def, locale);
                    QVERIFY2(numtext::readNumber(text, locale).has_value(),
                             qPrintable(locale.name() + QLatin1Char(' ') + text));
                }
    }

private:
    void start(bool comma) {
        fixture_ = std::make_unique<GuiFixture>(comma ? commaLocale() : pointLocale());
        fixture_->start();
    }
    Windows& windows() { return fixture_->windows(); }

    std::unique_ptr<GuiFixture> fixture_;
};

QTEST_MAIN(TestTextCheck)
#include "tst_textcheck.moc"
