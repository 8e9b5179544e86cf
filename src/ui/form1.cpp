#include "ui/form1.h"

#include "ui/form5.h"
#include "ui/form8.h"
#include "ui/workspace.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

} // namespace

Form1::Form1(Workspace& workspace)
    : workspace_(workspace) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Cooling tower arrangements"));
    setFont(QFont(QStringLiteral("Verdana")));

    Frame3 = makeFrame(this, "Frame3", QStringLiteral("Kestrel-13"));
    Label8 = makeLabel(Frame3, "Label8", QStringLiteral("Software No. 13 of the Kestrel series"));
    Label2 = makeLabel(Frame3, "Label2", QStringLiteral("(This Software is based on Kestrel-12) "));
    lblDescription =
        makeLabel(Frame3, "lblDescription", QStringLiteral("ENERGY AUDIT OF COOLING TOWERS"));
    QFont big = lblDescription->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblDescription->setFont(big);
    lblVersion = makeLabel(Frame3, "lblVersion", QStringLiteral("Version 1.0"));
    auto* f3 = new QVBoxLayout(Frame3);
    f3->addWidget(Label8);
    f3->addWidget(Label2);
    f3->addWidget(lblDescription);
    f3->addWidget(lblVersion);

    Frame2 = makeFrame(this, "Frame2", QString());
    Label3 = makeLabel(Frame2, "Label3", QStringLiteral("Problems to be solved with software:"));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label4 =
        makeLabel(Frame2, "Label4", QStringLiteral("1. DETERMINATION OF PERFORMANCE INDICATORS"));
    Label5 = makeLabel(Frame2, "Label5",
                       QStringLiteral("2. COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS WITH "
                                      "DESIGN DATA (ACCEPTANCE TEST)"));
    Label6 = makeLabel(Frame2, "Label6",
                       QStringLiteral("3. INFLUENCE OF MASS FLOW RATES OF AIR AND WATER VARIATION "
                                      "ON PERFORMANCE INDICATORS"));
    Label7 = makeLabel(Frame2, "Label7",
                       QStringLiteral("4. CALCULATION THE WATER MASS FLOW RATE FOR GIVEN LOAD AND "
                                      "WET BULB TEMPERATURE"));
    auto* f2 = new QVBoxLayout(Frame2);
    for (QLabel* l : {Label3, Label4, Label5, Label6, Label7})
        f2->addWidget(l);

    Frame1 = makeFrame(this, "Frame1", QStringLiteral("Cooling Tower Type Selection"));
    Option1 = new QRadioButton(QStringLiteral("  Counter Flow"), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("  Cross Flow"), Frame1);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option1->setChecked(true);
    auto* f1 = new QVBoxLayout(Frame1);
    f1->addWidget(Option1);
    f1->addWidget(Option2);

    Frame4 =
        makeFrame(this, "Frame4", QStringLiteral("Authors: the Cooling Tower Energy Audit group"));
    Label18 =
        makeLabel(Frame4, "Label18",
                  QStringLiteral("Energy Audit of Wet Cooling Towers: Measurement, Acceptance "
                                 "Testing and Performance Prediction. A Handbook for Plant "
                                 "Engineers"));
    auto* f4 = new QVBoxLayout(Frame4);
    f4->addWidget(Label18);

    Command1 = new QPushButton(QStringLiteral("CALCULATE"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Frame3, 0, 0, 1, 2);
    grid->addWidget(Line1, 1, 0, 1, 2);
    grid->addWidget(Frame2, 2, 0, 2, 1);
    grid->addWidget(Frame1, 2, 1);
    grid->addWidget(Command1, 3, 1, Qt::AlignTop);
    grid->addWidget(Frame4, 4, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
}

void Form1::Command1_Click() {
    if (Option1->isChecked())
        workspace_.showProblem(Arrangement::CounterFlow, 1);
    else if (Option2->isChecked())
        workspace_.showProblem(Arrangement::CrossFlow, 1);
}
