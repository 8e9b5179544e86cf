#include "common/problemonewindow.h"

#include "common/desktop.h"
#include "common/numtext.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ProblemOneWindow::ProblemOneWindow(Windows& windows, const char* name, const QString& title)
    : ProblemWindow(windows, name, title) {}

void ProblemOneWindow::makeInputs(const QString& arrangement, const QString& explanation,
                                  const QString& frameCaption, const QStringList& fieldCaptions) {
    header_ = makeHeader(QStringLiteral("Problem1: DETERMINATION OF PERFORMANCE INDICATORS"),
                         arrangement);
    explanation_ = new QLabel(explanation, this);
    explanation_->setWordWrap(true);

    input_ = makeFrame(frameCaption);
    QLineEdit** const fields[] = {&Text1, &Text8, &Text3, &Text4, &Text5, &Text6, &Text7};
    const char* const names[] = {"Text1", "Text8", "Text3", "Text4", "Text5", "Text6", "Text7"};
    for (int i = 0; i < 7; ++i)
        *fields[i] = addField(input_, names[i], fieldCaptions.value(i));
}

void ProblemOneWindow::makeGrid() {
    gridTitle_ = new QLabel(QStringLiteral("Parametar specification for different regimes:"), this);
    fgTable = new ResultGrid(this);
}

void ProblemOneWindow::layOut(const Parts& parts) {
    auto* left = new QVBoxLayout;
    left->addWidget(explanation_);
    left->addWidget(input_);
    left->addWidget(parts.picture, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(parts.indicators);
    right->addWidget(parts.air);
    right->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 1);
    middle->addLayout(right, 1);
    QHBoxLayout* buttons = makeButtonRow(parts.back, parts.busy, parts.calculate, parts.onward);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header_);
    layout->addLayout(middle);
    layout->addWidget(gridTitle_);
    layout->addWidget(fgTable, 1);
    layout->addLayout(buttons);

    setTabOrder(Text7, parts.calculate);
}

void ProblemOneWindow::Form_Activate() {
    fgTable->writeHeaders();
    NextRow = 1;
    FirstRow = 1;
    setStatus(
        QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%"));
}

std::optional<ProblemOneWindow::Measured>
ProblemOneWindow::readMeasured(std::initializer_list<QLineEdit*> cleared) {
    if (!allFieldsFilled())
        return std::nullopt;
    const auto values = fieldNumbers({Text1, Text8, Text3, Text4, Text5, Text6, Text7});
    if (!values)
        return std::nullopt;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *values;
    if (!checkWaterTemperatures(Tin, Tout, QStringLiteral("Error"), MessageIcon::Error, cleared,
                                Text3))
        return std::nullopt;
    return Measured{L, G, Tin, Tout, p, tdb, rh};
}

void ProblemOneWindow::showResults(const Measured& measured, const Results& found,
                                   const char* waterFlowPattern, const char* ntuPattern) {
    Text1->setText(numtext::format(measured.L, waterFlowPattern));
    Text8->setText(numtext::format(measured.G, "###0.00"));
    Text3->setText(numtext::format(measured.Tin, "##0.00"));
    Text4->setText(numtext::format(measured.Tout, "##0.00"));
    Text5->setText(numtext::format(measured.p, "#0.000"));
    Text6->setText(numtext::format(measured.tdb, "##0.00"));
    Text7->setText(numtext::format(measured.rh, "##0.0"));

    const ResultLabels& shown = resultLabels;
    shown.inletWetBulb->setText(numtext::format(found.inlet.wetBulb, "###0.00"));
    shown.inletEnthalpy->setText(numtext::format(found.inlet.enthalpy, "###0.00"));
    shown.inletHumidity->setText(numtext::format(found.inlet.absoluteHumidity, "0.00000"));
    shown.ntu->setText(numtext::format(found.ntu, ntuPattern));
    shown.heat->setText(numtext::format(found.heat, "###0.00"));
    shown.coolingDegree->setText(numtext::format(found.coolingDegree, "0.000"));
    shown.range->setText(numtext::format(found.range, "#0.0"));
    shown.approach->setText(numtext::format(found.approach, "#0.0"));
    shown.outletDryBulb->setText(numtext::format(found.outletDryBulb, "##0.00"));
    shown.outletWetBulb->setText(numtext::format(found.outlet.wetBulb, "##0.00"));
    shown.outletEnthalpy->setText(numtext::format(found.outletEnthalpy, "###0.00"));
    shown.outletRelativeHumidity->setText(numtext::format(found.outlet.relativeHumidity, "##0.0"));
    shown.outletHumidity->setText(numtext::format(found.outlet.absoluteHumidity, "0.00000"));
}

void ProblemOneWindow::AddGridRow() {
    const ResultLabels& shown = resultLabels;
    fgTable->writeRow(NextRow, FirstRow,
                      {Text8->text(), Text1->text(), Text3->text(), Text4->text(), Text6->text(),
                       Text7->text(), shown.ntu->text(), shown.heat->text(),
                       shown.coolingDegree->text(), shown.range->text(), shown.approach->text()});
    ++NextRow;
}

void ProblemOneWindow::setCompletionStatus(const QString& text) {
    const std::optional<double> rhOut = number(resultLabels.outletRelativeHumidity->text());
    if (rhOut && *rhOut > 100) {
        setStatus(text + QStringLiteral(" - note: the outlet air is supersaturated (relative "
                                        "humidity above 100 %: fog in the plume)"));
        return;
    }
    setStatus(text);
}
