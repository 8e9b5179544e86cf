#pragma once
// ResultGrid: the result grid of the Problem 1 windows, the operating regimes calculated so
// far, one row per calculation. Eleven columns: the six measured inputs
// (G, L, Tw,in, Tw,out, Ta,db, RH) as their fields show them, then NTU, Q, cooling degree,
// range and approach as the result labels show them.
//
// The rows are the engine's (engine::ResultRows): data row 1 is the first row under the fixed
// header.

#include "engine/audit.h"

#include <QTableWidget>

class ResultGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = engine::ResultRows::kColumns;
    static constexpr int kRowHeight = 20;  // pixels
    static constexpr int kVisibleRows = 5; // data rows shown before the grid scrolls

    // The grid starts with its header and one empty data row.
    explicit ResultGrid(QWidget* parent = nullptr);

    // Writes the column headers and widths (on every activation of the window).
    void writeHeaders();

    // Shows the engine's rows: as many rows, each cell's text.
    void showRows(const engine::ResultRows& rows);
};
