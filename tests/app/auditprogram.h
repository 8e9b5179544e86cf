#pragma once
// The program's tests of audits share this: one run of the program with the document over it,
// driven as the engineer drives it, and a seeded source of random work on an audit.

#include "app/auditdocument.h"
#include "app/history.h"
#include "app/windows.h"
#include "engine/audit.h"
#include "engine/fieldtable.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/numericfield.h"
#include "ui/performancewindow.h"
#include "ui/resultgrid.h"
#include "ui/startwindow.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

inline const char* const kWindows[] = {"Form1", "Form5", "Form2", "Form10", "Form3",
                                       "Form8", "Form6", "Form9", "Form4",  "Form11"};
inline constexpr Arrangement kBoth[] = {Arrangement::CounterFlow, Arrangement::CrossFlow};

// One run of the program with the document over it.
struct Program {
    explicit Program(const QLocale& locale = pointLocale())
        : fixture(locale)
        , document(fixture.windows()) {
        fixture.start();
    }
    Windows& windows() { return fixture.windows(); }
    MainWindow* main() { return windows().mainWindow(); }
    QWidget* form(Arrangement a, int problem) {
        return windows().form(QString::fromLatin1(auditfile::problemForm(a, problem)));
    }
    QLineEdit* field(Arrangement a, int column) {
        const auditfile::FieldRef f = auditfile::inputField(a, column);
        return windows().form(QString::fromLatin1(f.form))->findChild<QLineEdit*>(f.control);
    }
    ResultGrid* grid(Arrangement a) {
        return static_cast<PerformanceWindow*>(windows().problemWindow(a, 1))->resultGrid();
    }
    void click(QWidget* form, std::string_view button) {
        form->findChild<QAbstractButton*>(
                QString::fromLatin1(button.data(), static_cast<qsizetype>(button.size())))
            ->click();
    }
    // Pastes a value with a decimal point into a field in the locale's form and leaves it.
    void type(Arrangement a, int column, const QString& point) {
        QLineEdit* edit = field(a, column);
        edit->setText(auditfile::toLocaleText(point));
        NumericField::of(edit)->validate();
    }
    void calculate(Arrangement a, int problem) { click(form(a, problem), "Command1"); }
    void goOn(Arrangement a, int problem) {
        click(form(a, problem), leadingOnButtonOf(auditfile::problemForm(a, problem)));
    }
    // The start window: "Menu", the arrangement chosen, its CALCULATE.
    void startProblemOne(Arrangement a) {
        main()->buttonClicked(QStringLiteral("menu"));
        StartWindow* start = windows().startWindow();
        (a == Arrangement::CounterFlow ? start->counterFlowOption() : start->crossFlowOption())
            ->click();
        start->calculateButton()->click();
        QCoreApplication::processEvents();
    }
    // Loads every Problem window and the start window, so that snapshots compare them all.
    void loadAll() {
        for (const char* name : kWindows)
            windows().form(QString::fromLatin1(name));
    }
    // Every text of every loaded window, and the main window's title.
    TextSnapshot everything() {
        TextSnapshot all;
        for (const char* name : kWindows) {
            if (!windows().isLoaded(QString::fromLatin1(name)))
                continue;
            const TextSnapshot one = snapshotTexts(windows().form(QString::fromLatin1(name)));
            for (auto it = one.cbegin(); it != one.cend(); ++it)
                all.insert(QString::fromLatin1(name) + u'.' + it.key(), it.value());
        }
        all.insert(QStringLiteral("title"), main()->windowTitle());
        return all;
    }
    // The texts of the eight Problem windows (loaded first), without the status line.
    TextSnapshot problemTexts() {
        TextSnapshot all;
        for (Arrangement a : kBoth)
            for (int problem = 1; problem <= 4; ++problem) {
                const TextSnapshot one = snapshotTexts(form(a, problem));
                for (auto it = one.cbegin(); it != one.cend(); ++it)
                    all.insert(QString::fromLatin1(auditfile::problemForm(a, problem)) + u'.' +
                                   it.key(),
                               it.value());
            }
        return all;
    }

    GuiFixture fixture;
    AuditDocument document;
};

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return path;
}

// A hand-written audit: the required keys and whatever follows.
inline QByteArray handWritten(const QByteArray& counterP1L = "\"100\"",
                              const QByteArray& rest = {}) {
    QByteArray inputs;
    for (int c = 0; c < auditfile::kInputCount; ++c)
        inputs += (c ? ", \"" : "\"") + auditfile::inputColumn(c).toLatin1() + "\": \"" +
                  (c == 2   ? "38"
                   : c == 3 ? "33"
                   : c == 4 ? "1"
                            : "20") +
                  '"';
    QByteArray counter = inputs;
    counter.replace("\"p1.L\": \"20\"", "\"p1.L\": " + counterP1L);
    return "{\"format\": \"ctaudit-audit\", \"version\": 1,\n \"counter\": {" + counter +
           "},\n \"cross\": {" + inputs + "}" + rest + "}";
}

// Random but reproducible work on an audit, as an engineer does it: values changed near the
// fields' first texts, chains of Problems calculated, Problem 1 calculated again (a grid row
// more), a glance at the Diagram window, grid rows deleted, undo.
class RandomWork {
public:
    enum Action { Edit, Chain, ProblemOne, Diagram, DeleteRow, Undo, kActions };

    RandomWork(Program& program, quint32 seed)
        : p_(program)
        , rng_(seed) {}

    // One action; undo only when allowed.
    void step(bool withUndo = true) {
        Action action = Action(rng_.bounded(int(kActions)));
        if (action == Undo && !withUndo)
            action = Edit;
        const Arrangement a = rng_.bounded(2) ? Arrangement::CrossFlow : Arrangement::CounterFlow;
        switch (action) {
        case Edit:
        case kActions:
            edit(a);
            break;
        case Chain: {
            p_.startProblemOne(a);
            const int last = 1 + int(rng_.bounded(4));
            for (int problem = 1; problem <= last; ++problem) {
                if (rng_.bounded(3) == 0)
                    edit(a, problem);
                p_.calculate(a, problem);
                if (problem < last)
                    p_.goOn(a, problem);
            }
            break;
        }
        case ProblemOne:
            p_.fixture.show(p_.form(a, 1));
            edit(a, 1);
            p_.calculate(a, 1);
            break;
        case Diagram:
            p_.main()->buttonClicked(QStringLiteral("Diagram"));
            QCoreApplication::processEvents();
            break;
        case DeleteRow: {
            ResultGrid* grid = p_.grid(a);
            p_.fixture.show(p_.form(a, 1));
            grid->clearSelection();
            grid->selectRow(int(rng_.bounded(grid->rowCount())));
            grid->deleteAction()->trigger();
            break;
        }
        case Undo:
            p_.document.history().undo();
            break;
        }
    }

    // A value near a field's first text typed into a field of a Problem (any when 0), and the
    // field left.
    void edit(Arrangement a, int problem = 0) {
        int column = 0;
        do
            column = int(rng_.bounded(auditfile::kInputCount));
        while (problem != 0 && auditfile::problemOfColumn(column) != problem);
        const auditfile::FieldRef f = auditfile::inputField(a, column);
        const FieldDef* def = findField(f.form, f.control);
        const double first =
            def ? QString::fromUtf8(def->initialText.data(), qsizetype(def->initialText.size()))
                      .toDouble()
                : 0.0;
        const double factor = 0.9 + 0.2 * rng_.generateDouble();
        p_.type(a, column, QString::number(first * factor, 'f', 1));
        p_.document.history().commit(); // as leaving the field does
    }

private:
    Program& p_;
    QRandomGenerator rng_;
};
