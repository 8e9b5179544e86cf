#pragma once
// Tables inside a frame: the air-parameter frames of the Problem windows show their values in
// two columns (inlet and outlet air, or Problem 1 and this Problem) under column headers.
// These helpers lay out rows in a frame made by ProblemWindow::makeFrame (a grid whose
// column 0 holds the captions).

#include <QString>

class QGroupBox;
class QLabel;

namespace frametable {

// A header row: `left` above value column 1, `right` above value column 2.
void addHeaders(QGroupBox* frame, const QString& left, const QString& right);

// A row with one caption and two value labels (columns 1 and 2).
void addRow(QGroupBox* frame, const QString& caption, QLabel* left, QLabel* right);

// A header row for two caption/value pairs: `left` above columns 0-1, `right` above 2-3.
void addPairHeaders(QGroupBox* frame, const QString& left, const QString& right);

// A row of two caption/value pairs side by side (columns 0-1 and 2-3).
void addPairRow(QGroupBox* frame, const QString& leftCaption, QLabel* left,
                const QString& rightCaption, QLabel* right);

} // namespace frametable
