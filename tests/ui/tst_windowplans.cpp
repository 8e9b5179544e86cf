// The Problem windows' plans against the key table: every control of a Problem's list is one
// widget of its window, named by its key, a field exactly where the list has an entry field;
// the buttons and the busy label carry the keys of engine::kProblemKeys; a result's tooltip
// names its quantity and unit.

#include "app/windows.h"
#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "support/guifixture.h"
#include "ui/problemwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

class TestWindowPlans : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { fixture_ = std::make_unique<GuiFixture>(); }
    void cleanup() {
        QVERIFY(fixture_->checkNoDialogs());
        fixture_.reset();
    }

    void everyControlOnce_data() { windows(); }
    void everyControlOnce() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        ProblemWindow* w = fixture_->windows().problemWindow(arrangement, problem);
        QVERIFY(w);
        QCOMPARE(w->objectName(),
                 engine::toQString(engine::problemKeys(arrangement, problem).window));
        const auto keys = engine::Audit::controls(arrangement, problem);
        const int fieldCount = engine::Audit::fieldCount(arrangement, problem);
        for (int id = 0; id < int(keys.size()); ++id) {
            const QString key = engine::toQString(keys[std::size_t(id)]);
            QWidget* control =
                id < fieldCount ? static_cast<QWidget*>(w->field(id)) : w->result(id);
            QVERIFY2(control, qPrintable(key));
            QCOMPARE(control->objectName(), key);
            QVERIFY2(!(id < fieldCount ? static_cast<QWidget*>(w->result(id)) : w->field(id)),
                     qPrintable(key));
            QCOMPARE(w->findChildren<QWidget*>(key).size(), 1);
            if (control->isVisibleTo(w))
                QCOMPARE(control->accessibleDescription(), w->objectName() + u'.' + key);
            // A result shown names its quantity and unit when the pointer rests on it.
            if (id >= fieldCount && control->isVisibleTo(w)) {
                const engine::ControlKey& what =
                    engine::controlTable(arrangement, problem)[std::size_t(id)];
                QCOMPARE(what.key, keys[std::size_t(id)]);
                const QString tip = control->toolTip();
                QVERIFY2(tip.endsWith(QStringLiteral(" [%1]").arg(engine::toQString(what.unit))) &&
                             tip.front().isUpper() &&
                             tip.contains(engine::toQString(what.quantity).mid(1)),
                         qPrintable(key + QStringLiteral(": ") + tip));
            }
        }
        QVERIFY(!w->field(-1) && !w->result(int(keys.size())));
        // No entry field stands outside the list.
        QCOMPARE(w->findChildren<QLineEdit*>().size(), fieldCount);
        QCOMPARE(w->fields().size(), fieldCount);
    }

    void buttonsByKey_data() { windows(); }
    void buttonsByKey() {
        QFETCH(Arrangement, arrangement);
        QFETCH(int, problem);
        ProblemWindow* w = fixture_->windows().problemWindow(arrangement, problem);
        const engine::ProblemKeys& keys = engine::problemKeys(arrangement, problem);
        QCOMPARE(w->calculateButton()->objectName(), engine::toQString(keys.calculate));
        QCOMPARE(w->backButton()->objectName(), engine::toQString(keys.back));
        QCOMPARE(w->goOnButton()->objectName(), engine::toQString(keys.goOn));
        QCOMPARE(w->calculateButton()->text(), QStringLiteral("CALCULATE"));
        QCOMPARE(w->backButton()->text(), QStringLiteral("BACK"));
        QCOMPARE(w->goOnButton()->text(), problem == engine::kProblems
                                              ? QStringLiteral("GoTo MENU")
                                              : QStringLiteral("GoTo Problem %1").arg(problem + 1));
        // The leading-on buttons wait for a calculation; "GoTo MENU" does not.
        QCOMPARE(w->goOnButton()->isEnabled(), problem == engine::kProblems);
        if (keys.busy.empty()) {
            QVERIFY(!w->busyLabel());
        } else {
            QVERIFY(w->busyLabel());
            QCOMPARE(w->busyLabel()->objectName(), engine::toQString(keys.busy));
            QVERIFY(!w->busyLabel()->isVisibleTo(w));
        }
    }

private:
    static void windows() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<int>("problem");
        for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
            for (int p = 1; p <= engine::kProblems; ++p)
                QTest::addRow("%s %d", a == Arrangement::CounterFlow ? "counter" : "cross", p)
                    << a << p;
    }

    std::unique_ptr<GuiFixture> fixture_;
};

QTEST_MAIN(TestWindowPlans)
#include "tst_windowplans.moc"
