#include "ui/problemonewindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ProblemOneWindow::ProblemOneWindow(Workspace& workspace, const char* name, const QString& title)
    : ProblemWindow(workspace, name, title) {}

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
    ProblemWindow::Form_Activate();
}

void ProblemOneWindow::pushTexts() {
    ProblemWindow::pushTexts();
    engine::ResultRows& rows = audit().resultRows(arrangement());
    rows.nextRow = NextRow;
    rows.firstRow = FirstRow;
}

void ProblemOneWindow::pullTexts() {
    ProblemWindow::pullTexts();
    const engine::ResultRows& rows = audit().resultRows(arrangement());
    NextRow = rows.nextRow;
    FirstRow = rows.firstRow;
    fgTable->showRows(rows);
}
