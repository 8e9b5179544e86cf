#include "common/frametable.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace frametable {

namespace {

QGridLayout* gridOf(QGroupBox* frame) {
    return static_cast<QGridLayout*>(frame->layout());
}

QLabel* header(QGroupBox* frame, const QString& text, Qt::Alignment alignment) {
    auto* label = new QLabel(text, frame);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

void addHeaders(QGroupBox* frame, const QString& left, const QString& right) {
    QGridLayout* grid = gridOf(frame);
    const int row = grid->rowCount();
    grid->addWidget(header(frame, left, Qt::AlignRight), row, 1);
    grid->addWidget(header(frame, right, Qt::AlignRight), row, 2);
}

void addRow(QGroupBox* frame, const QString& caption, QLabel* left, QLabel* right) {
    QGridLayout* grid = gridOf(frame);
    const int row = grid->rowCount();
    left->setParent(frame);
    right->setParent(frame);
    grid->addWidget(new QLabel(caption, frame), row, 0);
    grid->addWidget(left, row, 1);
    grid->addWidget(right, row, 2);
}

void addPairHeaders(QGroupBox* frame, const QString& left, const QString& right) {
    QGridLayout* grid = gridOf(frame);
    const int row = grid->rowCount();
    grid->addWidget(header(frame, left, Qt::AlignLeft), row, 0, 1, 2);
    grid->addWidget(header(frame, right, Qt::AlignLeft), row, 2, 1, 2);
}

void addPairRow(QGroupBox* frame, const QString& leftCaption, QLabel* left,
                const QString& rightCaption, QLabel* right) {
    QGridLayout* grid = gridOf(frame);
    const int row = grid->rowCount();
    left->setParent(frame);
    right->setParent(frame);
    grid->addWidget(new QLabel(leftCaption, frame), row, 0);
    grid->addWidget(left, row, 1);
    grid->addWidget(new QLabel(rightCaption, frame), row, 2);
    grid->addWidget(right, row, 3);
    grid->setColumnStretch(2, 1);
}

} // namespace frametable
