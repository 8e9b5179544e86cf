#include "batch/batchaudit.h"

#include "batch/batchdesktop.h"
#include "fields/fieldtable.h"
#include "fields/numericfield.h"
#include "shell/windows.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLineEdit>
#include <QLocale>
#include <QWidget>
#include <clocale>
#include <cstring>
#include <string>

namespace {

// One Problem of the chain: its window, and which input column goes into which field, in the
// window's order.
struct FieldInput {
    int column; // index in kInputColumns
    const char* control;
};
struct ProblemStep {
    const char* form;
    std::array<FieldInput, 7> fields; // the first fieldCount are used
    int fieldCount;
};
using Chain = std::array<ProblemStep, 4>;

// clang-format off
constexpr Chain kCounterFlow = {{
    {"Form5", {{{0, "Text1"}, {1, "Text8"}, {2, "Text3"}, {3, "Text4"}, {4, "Text5"}, {5, "Text6"}, {6, "Text7"}}}, 7},
    {"Form2", {{{7, "Text13"}, {8, "Text15"}, {9, "Text11"}, {10, "Text12"}, {11, "Text14"}, {12, "Text16"}}}, 6},
    {"Form10", {{{13, "Text18"}, {14, "Text19"}}}, 2},
    {"Form3", {{{15, "Text1"}, {16, "Text29"}, {17, "Text2"}, {18, "Text3"}}}, 4},
}};
constexpr Chain kCrossFlow = {{
    {"Form8", {{{0, "Text1"}, {1, "Text8"}, {2, "Text3"}, {3, "Text4"}, {4, "Text5"}, {5, "Text6"}, {6, "Text7"}}}, 7},
    {"Form6", {{{7, "Text16"}, {8, "Text17"}, {9, "Text14"}, {10, "Text15"}, {11, "Text18"}, {12, "Text19"}}}, 6},
    {"Form9", {{{13, "Text18"}, {14, "Text19"}}}, 2},
    {"Form4", {{{15, "Text7"}, {16, "Text4"}, {17, "Text6"}, {18, "Text5"}}}, 4},
}};
// clang-format on

const Chain& chainOf(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? kCounterFlow : kCrossFlow;
}

// The Problem (0 to 3) whose window a report row reads.
int problemOfForm(const Chain& chain, const char* form) {
    for (size_t p = 0; p < chain.size(); ++p)
        if (std::strcmp(chain[p].form, form) == 0)
            return static_cast<int>(p);
    return -1;
}

// A fault of the tool itself rather than of the case (a window or control it cannot find).
QString internalFault(const QString& what) {
    return QStringLiteral("ctaudit-batch: %1").arg(what);
}

} // namespace

BatchAudit::Result BatchAudit::run(const BatchCase& c) const {
    const Chain& chain = chainOf(arrangement_);
    Result result;
    {
        BatchDesktop desktop;
        Windows windows(desktop);
        QString fault;
        int completed = 0;
        for (const ProblemStep& step : chain) {
            const QString formName = QString::fromLatin1(step.form);
            QWidget* form = windows.form(formName);
            if (!form) {
                fault = internalFault(QStringLiteral("no window %1").arg(formName));
                break;
            }
            // Each value pasted whole into its field, then the field left.
            for (int f = 0; f < step.fieldCount && !desktop.stopped(); ++f) {
                const FieldInput& input = step.fields[static_cast<size_t>(f)];
                auto* edit = form->findChild<QLineEdit*>(QString::fromLatin1(input.control));
                NumericField* field = NumericField::of(edit);
                if (!field) {
                    fault = internalFault(
                        QStringLiteral("no field %1.%2").arg(formName, input.control));
                    break;
                }
                edit->setText(c.values[static_cast<size_t>(input.column)]);
                field->validate();
            }
            if (!fault.isEmpty() || desktop.stopped())
                break;

            auto* calculate = form->findChild<QAbstractButton*>(QStringLiteral("Command1"));
            if (!calculate) {
                fault = internalFault(QStringLiteral("no CALCULATE in %1").arg(formName));
                break;
            }
            calculate->click();
            if (desktop.stopped())
                break;
            ++completed;

            const std::string_view goTo = leadingOnButtonOf(step.form);
            if (goTo.empty())
                continue; // Problem 4: the end of the chain
            auto* button = form->findChild<QAbstractButton*>(
                QString::fromLatin1(goTo.data(), static_cast<qsizetype>(goTo.size())));
            if (!button || !button->isEnabled()) {
                // A CALCULATE that shows nothing has succeeded and enabled its GoTo.
                fault = internalFault(QStringLiteral("%1 cannot go on").arg(formName));
                break;
            }
            button->click();
            if (desktop.stopped())
                break;
        }

        result.completedProblems = completed;
        if (!fault.isEmpty())
            result.status = fault;
        else if (desktop.firstMessage())
            result.status = *desktop.firstMessage();
        else
            result.status = kOk;

        for (size_t r = 0; r < report::kCellMap.size(); ++r) {
            const report::CellMapRow& row = report::kCellMap[r];
            const report::ControlRef& ref =
                arrangement_ == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
            if (problemOfForm(chain, ref.form) >= completed)
                continue;
            result.quantities[r] =
                windows.controlText(QString::fromLatin1(ref.form), QString::fromLatin1(ref.control))
                    .value_or(QString());
        }
    }
    // The windows post events (deferred deletions, layout requests) that no event loop
    // delivers here: deliver them now, so that a long run does not pile them up.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}

QStringList BatchAudit::headerCells() {
    QStringList cells{QStringLiteral("case"), QStringLiteral("status")};
    for (const report::CellMapRow& row : report::kCellMap)
        cells.append(QString::fromUtf8(row.quantity).simplified()); // one line each
    return cells;
}

QStringList BatchAudit::resultCells(int caseNumber, const Result& result) {
    QStringList cells{QString::number(caseNumber), result.status};
    for (const QString& quantity : result.quantities)
        cells.append(quantity);
    return cells;
}

void BatchAudit::preparePlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void BatchAudit::prepareLocale() {
    QLocale::setDefault(QLocale::c());
    // The application object has chosen the C library's locale from the environment, and the
    // number texts write through the C library: its decimal point must be the point too.
    std::setlocale(LC_NUMERIC, "C");
}
