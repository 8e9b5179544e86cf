// Form8, Problem 1 cross flow: the default calculation checked against the core, the result
// grid, the busy indication, the window's own checks and every refusal leaving the window as
// it was, and the navigation of the cross-flow chain.

#include "app/windows.h"
#include "crossflowwindows.h"
#include "engine/crossflowrefusal.h"
#include "ui/desktop.h"
#include "ui/form1.h"
#include "ui/form4.h"
#include "ui/form6.h"
#include "ui/form8.h"
#include "ui/form9.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>

using namespace cftest;

class TestForm8 : public Fixture {
    Q_OBJECT

private:
    Form8* form = nullptr;

private Q_SLOTS:
    void init() {
        startWindows();
        form = windows->form8();
        windows->showChild(form);
    }

    void cleanup() {
        stopWindows();
        form = nullptr;
    }

    void defaultsAgreeWithTheCore() {
        QVERIFY(!form->Command3->isEnabled());
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));

        QCOMPARE(form->lbl10->text(), QStringLiteral("1131.30"));
        QCOMPARE(form->lbl17->text(), QStringLiteral("3.0"));
        QCOMPARE(form->Text1->text(), QStringLiteral("90.00"));
        QCOMPARE(form->Text5->text(), QStringLiteral("1.000"));
        QCOMPARE(form->Text7->text(), QStringLiteral("55.0"));
        QCOMPARE(windows->status(), QStringLiteral("Calculation has successfuly complited"));
        QVERIFY(form->Command3->isEnabled());
        QVERIFY(allFinite(snapshot(form)));

        // The same search from the same texts, with the inlet air as Form11 rounds it.
        const ShownAir air = shownAir(psychro::Given::RelativeHumidity, 1, 28, 55);
        QCOMPARE(form->lbl9->text(), numtext::format(air.wetBulb, "###0.00"));
        const crossflow::NtuResult r =
            crossflow::searchNtu({90, 70, 37, 34, air.enthalpy, 28, air.wetBulb, 1});
        QCOMPARE(r.status, crossflow::Status::Ok);
        QCOMPARE(form->lbl2->text(), numtext::format(r.ntu, "###0.00"));
        QCOMPARE(form->lbl11->text(), numtext::format(r.sweep.airDryBulbOutMean, "##0.00"));
        QCOMPARE(form->lbl13->text(), numtext::format(r.sweep.airEnthalpyOutMean, "###0.00"));
        QCOMPARE(form->lbl16->text(), numtext::format(3 / (37 - air.wetBulb), "0.000"));
        QCOMPARE(form->lbl18->text(), numtext::format(34 - air.wetBulb, "#0.0"));

        // Grid row 1 holds the reformatted fields and the results as shown.
        const QStringList expected = {"70.00",
                                      "90.00",
                                      "37.00",
                                      "34.00",
                                      "28.00",
                                      "55.0",
                                      form->lbl2->text(),
                                      "1131.30",
                                      form->lbl16->text(),
                                      "3.0",
                                      form->lbl18->text()};
        QCOMPARE(form->fgTable->rowCount(), 1);
        for (int col = 0; col < 11; ++col)
            QCOMPARE(form->fgTable->item(0, col)->text(), expected.at(col));
    }

    void equalWaterTemperaturesGiveNtuZero() {
        setFields(form, {"Text4=37"});
        form->Command1_Click();
        QVERIFY2(desktop.messages.isEmpty(), qPrintable(desktop.messageTexts().join('|')));
        QCOMPARE(form->lbl2->text(), QStringLiteral("0.00"));
        QCOMPARE(form->lbl17->text(), QStringLiteral("0.0"));
        QCOMPARE(form->lbl10->text(), QStringLiteral("0.00"));
        QCOMPARE(form->lbl16->text(), QStringLiteral("0.000"));
    }

    void gridRowsFollowActivation() {
        form->Command1_Click();
        setFields(form, {"Text1=80"});
        form->Command1_Click();
        QCOMPARE(form->fgTable->rowCount(), 2);
        QCOMPARE(form->fgTable->item(1, 1)->text(), QStringLiteral("80.00"));
        QCOMPARE(form->fgTable->horizontalHeaderItem(6)->text(), QStringLiteral("NTU[kW/(kJ/kg)]"));

        // Another window and back: the next calculation writes row 1 again.
        windows->showChild(windows->form1());
        windows->showChild(form);
        QCOMPARE(form->NextRow, 1);
        QCOMPARE(windows->status(),
                 QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with "
                                "accuracy +/- 2%"));
        setFields(form, {"Text1=70"});
        form->Command1_Click();
        QCOMPARE(form->fgTable->rowCount(), 2);
        QCOMPARE(form->fgTable->item(0, 1)->text(), QStringLiteral("70.00"));
        QCOMPARE(form->fgTable->item(1, 1)->text(), QStringLiteral("80.00"));
    }

    void busyIndicationLastsThroughTheWork() {
        form->Command1_Click();
        QCOMPARE(desktop.waitCursorOn, 1);
        QCOMPARE(desktop.waitCursorOff, 1);
        QVERIFY(!desktop.waitCursorShown);
        QVERIFY(!form->Label8->isVisible());

        // While a refusal of the work is on screen the cursor is still up, but the label is
        // not: it would stand behind the box. It is laid out inside the window.
        bool labelShown = false;
        bool cursorShown = false;
        QRect labelPlace;
        desktop.onMessage = [&](const RecordingDesktop::Message&) {
            labelShown = form->Label8->isVisible();
            cursorShown = desktop.waitCursorShown;
            labelPlace = form->Label8->geometry();
        };
        setFields(form, {"Text4=20"}); // below the inlet wet bulb: never reached
        form->Command1_Click();
        QCOMPARE(desktop.messages.size(), 1);
        QVERIFY(!labelShown);
        QVERIFY(cursorShown);
        QVERIFY(labelPlace.width() > 100 && labelPlace.height() > 5);
        QVERIFY(form->rect().contains(form->Label8->mapTo(form, QPoint(0, 0))));
        QVERIFY(!form->Label8->isVisible());
        QVERIFY(!desktop.waitCursorShown);
        QCOMPARE(desktop.waitCursorOn, 2);
        QCOMPARE(desktop.waitCursorOff, 2);
    }

    void ownChecks_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("emptied");
        QTest::newRow("empty field")
            << QStringList{"Text6="} << "Missing Data"
            << "All fields require data" << int(MessageIcon::Warning) << QStringList{};
        QTest::newRow("outlet above inlet")
            << QStringList{"Text4=38"} << "Error"
            << "Outlet water temperature must be less then inlet water temperature"
            << int(MessageIcon::Error) << QStringList{"Text3", "Text4"};
    }

    void ownChecks() {
        QFETCH(QStringList, edits);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, icon);
        QFETCH(QStringList, emptied);
        setFields(form, edits);
        auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].title, title);
        QCOMPARE(desktop.messages[0].text, text);
        QCOMPARE(int(desktop.messages[0].icon), icon);
        QCOMPARE(desktop.waitCursorOn, 0);
        QVERIFY(!form->Label8->isVisible());
        for (const QString& name : emptied)
            before[name].clear();
        QCOMPARE(snapshot(form), before);
    }

    void refusalsLeaveTheWindowAsItWas_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("text");
        QTest::newRow("outlet below the wet bulb")
            << QStringList{"Text4=20"}
            << crossflow::refusalText(crossflow::Status::OutletNotReached);
        QTest::newRow("air flow too small for the heat")
            << QStringList{"Text8=10"}
            << crossflow::refusalText(crossflow::Status::CellAboveSaturation);
        QTest::newRow("zero water flow")
            << QStringList{"Text1=0"} << crossflow::refusalText(crossflow::Status::NonPositiveFlow);
        QTest::newRow("zero air flow")
            << QStringList{"Text8=0"} << crossflow::refusalText(crossflow::Status::NonPositiveFlow);
        QTest::newRow("water at the wet bulb")
            << QStringList{"Text6=37", "Text7=100"}
            << crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb);
        QTest::newRow("water below the wet bulb")
            << QStringList{"Text3=30", "Text4=29", "Text6=40", "Text7=90"}
            << crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb);
        QTest::newRow("impossible inlet air")
            << QStringList{"Text5=0.9", "Text6=100", "Text7=100"}
            << "No such inlet air exists: its humidity would be negative or unbounded. Check the "
               "temperatures, the humidity and the pressure.";
    }

    void refusalsLeaveTheWindowAsItWas() {
        QFETCH(QStringList, edits);
        QFETCH(QString, text);
        form->Command1_Click(); // results and a grid row to keep
        QVERIFY(desktop.messages.isEmpty());
        desktop.clear();
        setFields(form, edits);
        const QString status = windows->status();
        const auto before = snapshot(form);
        form->Command1_Click();
        QCOMPARE(desktop.messageTexts(), QStringList{text});
        QCOMPARE(desktop.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(desktop.messages[0].icon, MessageIcon::Error);
        QCOMPARE(snapshot(form), before);
        QCOMPARE(windows->status(), status);
        QCOMPARE(desktop.waitCursorOn, desktop.waitCursorOff);
    }

    void refusedFirstRunKeepsGoToDisabled() {
        setFields(form, {"Text4=20"});
        form->Command1_Click();
        QCOMPARE(desktop.messages.size(), 1);
        QVERIFY(!form->Command3->isEnabled());
        QVERIFY(form->lbl2->text().isEmpty());
    }

    void everyFailureHasItsOwnMessage() {
        using crossflow::Status;
        const Status failures[] = {Status::InvalidInput,
                                   Status::NonPositiveFlow,
                                   Status::NonPositiveHeat,
                                   Status::WaterNotAboveWetBulb,
                                   Status::OutletAboveInlet,
                                   Status::SaturationAbovePressure,
                                   Status::CellAboveSaturation,
                                   Status::CellBelowBracket,
                                   Status::NonFinite,
                                   Status::OutletNotReached,
                                   Status::RefinementNoConvergence,
                                   Status::HeatNotReachable,
                                   Status::FlowNoConvergence};
        QSet<QString> texts;
        for (Status s : failures) {
            const QString text = crossflow::refusalText(s);
            QVERIFY2(!text.isEmpty(), crossflow::statusText(s));
            texts.insert(text);
        }
        QCOMPARE(texts.size(), int(std::size(failures)));
        QVERIFY(crossflow::refusalText(Status::Ok).isEmpty());
    }

    void startWindowOpensTheCrossFlowWindow() {
        Form1* start = windows->form1();
        windows->showChild(start);
        start->Option2->setChecked(true);
        start->Command1_Click();
        QCOMPARE(windows->frmMain()->mdiArea()->activeSubWindow()->widget(), form);
    }

    void navigation_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("to");
        QTest::newRow("Form8 BACK") << "Form8"
                                    << "Command2"
                                    << "Form1";
        QTest::newRow("Form8 GoTo Problem 2") << "Form8"
                                              << "Command3"
                                              << "Form6";
        QTest::newRow("Form6 BACK") << "Form6"
                                    << "Command2"
                                    << "Form8";
        QTest::newRow("Form6 GoTo Problem 3") << "Form6"
                                              << "Command3"
                                              << "Form9";
        QTest::newRow("Form9 GoTo Problem 4") << "Form9"
                                              << "Command2"
                                              << "Form4";
        QTest::newRow("Form9 BACK") << "Form9"
                                    << "Command3"
                                    << "Form6";
        QTest::newRow("Form4 BACK") << "Form4"
                                    << "Command3"
                                    << "Form9";
        QTest::newRow("Form4 GoTo MENU") << "Form4"
                                         << "Command4"
                                         << "Form1";
    }

    void navigation() {
        QFETCH(QString, from);
        QFETCH(QString, button);
        QFETCH(QString, to);
        QWidget* source = windows->form(from);
        windows->showChild(source);
        auto* push = source->findChild<QPushButton*>(button);
        QVERIFY(push);
        push->setEnabled(true); // the leading-on buttons wait for a calculation
        push->click();
        QMdiSubWindow* active = windows->frmMain()->mdiArea()->activeSubWindow();
        QVERIFY(active);
        QCOMPARE(active->widget(), windows->form(to));
        QCOMPARE(active->geometry(), QRect(0, 0, 940, 620));
        QVERIFY(source->isVisible()); // the window left behind stays open
    }
};

QTEST_MAIN(TestForm8)
#include "tst_form8.moc"
