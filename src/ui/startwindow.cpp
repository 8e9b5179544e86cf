#include "ui/startwindow.h"

#include "engine/keys.h"
#include "engine/message.h"
#include "ui/enterkey.h"
#include "ui/workspace.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QLabel* makeLabel(QWidget* parent, std::string_view name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(engine::toQString(name));
    label->setWordWrap(true);
    return label;
}

QGroupBox* makeFrame(QWidget* parent, std::string_view name, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(engine::toQString(name));
    return frame;
}

namespace K = engine::startwindow;

} // namespace

StartWindow::StartWindow(Workspace& workspace)
    : workspace_(workspace) {
    installEnterKey();
    setObjectName(engine::toQString(engine::kStartWindowKey));
    setWindowTitle(QStringLiteral("Cooling tower arrangements"));
    setFont(QFont(QStringLiteral("Verdana")));

    QGroupBox* about = makeFrame(this, K::kAboutFrame, applicationTitle());
    QLabel* series =
        makeLabel(about, K::kSeries, QStringLiteral("Software No. 13 of the Kestrel series"));
    QLabel* basis =
        makeLabel(about, K::kBasedOn, QStringLiteral("(This Software is based on Kestrel-12) "));
    QLabel* description =
        makeLabel(about, K::kDescription, QStringLiteral("ENERGY AUDIT OF COOLING TOWERS"));
    QFont big = description->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    description->setFont(big);
    QLabel* version = makeLabel(about, K::kVersion, QStringLiteral("Version 1.0"));
    auto* f3 = new QVBoxLayout(about);
    f3->addWidget(series);
    f3->addWidget(basis);
    f3->addWidget(description);
    f3->addWidget(version);

    QGroupBox* problems = makeFrame(this, K::kProblemsFrame, QString());
    QLabel* problemsTitle = makeLabel(problems, K::kProblemsHeading,
                                      QStringLiteral("Problems to be solved with software:"));
    QFont bold = problemsTitle->font();
    bold.setBold(true);
    problemsTitle->setFont(bold);
    QLabel* problem1 = makeLabel(problems, K::kProblemTitles[0],
                                 QStringLiteral("1. DETERMINATION OF PERFORMANCE INDICATORS"));
    QLabel* problem2 =
        makeLabel(problems, K::kProblemTitles[1],
                  QStringLiteral("2. COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS WITH "
                                 "DESIGN DATA (ACCEPTANCE TEST)"));
    QLabel* problem3 =
        makeLabel(problems, K::kProblemTitles[2],
                  QStringLiteral("3. INFLUENCE OF MASS FLOW RATES OF AIR AND WATER VARIATION "
                                 "ON PERFORMANCE INDICATORS"));
    QLabel* problem4 =
        makeLabel(problems, K::kProblemTitles[3],
                  QStringLiteral("4. CALCULATION THE WATER MASS FLOW RATE FOR GIVEN LOAD AND "
                                 "WET BULB TEMPERATURE"));
    auto* f2 = new QVBoxLayout(problems);
    for (QLabel* l : {problemsTitle, problem1, problem2, problem3, problem4})
        f2->addWidget(l);

    QGroupBox* typeSelection =
        makeFrame(this, K::kArrangementFrame, QStringLiteral("Cooling Tower Type Selection"));
    counterFlow_ = new QRadioButton(QStringLiteral("  Counter Flow"), typeSelection);
    counterFlow_->setObjectName(engine::toQString(K::kCounterFlowOption));
    crossFlow_ = new QRadioButton(QStringLiteral("  Cross Flow"), typeSelection);
    crossFlow_->setObjectName(engine::toQString(K::kCrossFlowOption));
    counterFlow_->setChecked(true);
    auto* f1 = new QVBoxLayout(typeSelection);
    f1->addWidget(counterFlow_);
    f1->addWidget(crossFlow_);

    QGroupBox* authors = makeFrame(this, K::kAuthorsFrame,
                                   QStringLiteral("Authors: the Cooling Tower Energy Audit group"));
    QLabel* book =
        makeLabel(authors, K::kAuthors,
                  QStringLiteral("Energy Audit of Wet Cooling Towers: Measurement, Acceptance "
                                 "Testing and Performance Prediction. A Handbook for Plant "
                                 "Engineers"));
    auto* f4 = new QVBoxLayout(authors);
    f4->addWidget(book);

    calculate_ = new QPushButton(QStringLiteral("CALCULATE"), this);
    calculate_->setObjectName(engine::toQString(K::kCalculate));
    calculate_->setDefault(true);
    connect(calculate_, &QPushButton::clicked, this, &StartWindow::openProblemOne);

    auto* line = new QFrame(this);
    line->setObjectName(engine::toQString(K::kLine));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* grid = new QGridLayout(this);
    grid->addWidget(about, 0, 0, 1, 2);
    grid->addWidget(line, 1, 0, 1, 2);
    grid->addWidget(problems, 2, 0, 2, 1);
    grid->addWidget(typeSelection, 2, 1);
    grid->addWidget(calculate_, 3, 1, Qt::AlignTop);
    grid->addWidget(authors, 4, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
}

void StartWindow::openProblemOne() {
    if (counterFlow_->isChecked())
        workspace_.showProblem(Arrangement::CounterFlow, 1);
    else if (crossFlow_->isChecked())
        workspace_.showProblem(Arrangement::CrossFlow, 1);
}

Arrangement StartWindow::chosenArrangement() const {
    return crossFlow_->isChecked() ? Arrangement::CrossFlow : Arrangement::CounterFlow;
}
