#pragma once
// ResultGrid: the result grid of the Problem 1 windows ("Parametar specification for
// different regimes:"), one row per calculation. Eleven columns: the six measured inputs
// (G, L, Tw,in, Tw,out, Ta,db, RH) as their fields show them, then NTU, Q, cooling degree,
// range and approach as the result labels show them.
//
// Row numbers follow the windows' NextRow / FirstRow counters: data row 1 is the first row
// under the fixed header. Both counters are reset by every activation of the window, so the
// rows written before an activation are overwritten in order while the rows appended meanwhile
// stay at the end.

#include <QStringList>
#include <QTableWidget>

class ResultGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kColumns = 11;
    static constexpr int kRowHeight = 20;  // pixels
    static constexpr int kVisibleRows = 5; // data rows shown before the grid scrolls

    // The grid starts with its header and one empty data row.
    explicit ResultGrid(QWidget* parent = nullptr);

    // Writes the column headers and widths (on every activation of the window).
    void writeHeaders();

    // Writes the eleven cell texts into data row nextRow; a row is appended first when nextRow
    // is greater than firstRow.
    void writeRow(int nextRow, int firstRow, const QStringList& cells);
};
