#pragma once
// ResultGrid: the result grid of the Problem 1 windows, the operating regimes calculated so
// far, one row per calculation. Eleven columns: the six measured inputs
// (G, L, Tw,in, Tw,out, Ta,db, RH) as their fields show them, then NTU, Q, cooling degree,
// range and approach as the result labels show them.
//
// The rows are the engine's (engine::ResultRows): data row 1 is the first row under the fixed
// header. A new row scrolls into view. The engineer selects rows and deletes them with the
// Delete key or the context menu's "Delete Rows"; the grid asks for it (deleteRequested) and
// the program deletes them in the engine.
//
// The grid is one stop of the Tab chain: Tab leaves it, the arrow keys move inside it. Ctrl+C
// and the context menu's "Copy" put the selected rows (every row when none is selected) on the
// clipboard with the header, as tab-separated lines that a spreadsheet pastes into columns.

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

    // Shows the engine's rows: as many rows, each cell's text; a row added at the end is
    // scrolled into view.
    void showRows(const engine::ResultRows& rows);

    // The selected rows that hold a regime, in ascending order.
    QList<int> selectedRegimes() const;
    // "Delete Rows" of the context menu, enabled while a regime is selected.
    QAction* deleteAction() const { return delete_; }
    // "Copy" of the context menu.
    QAction* copyAction() const { return copy_; }
    // What "Copy" puts on the clipboard: the column headers, then the selected regimes (every
    // regime when none is selected), one line each, the cells as shown separated by tabs,
    // every line ended by a newline.
    QString copyText() const;
    // Puts copyText() on the clipboard.
    void copy() const;

Q_SIGNALS:
    // The engineer asked to delete these rows (ascending, none empty).
    void deleteRequested(const QList<int>& rows);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void requestDelete();

    QAction* delete_ = nullptr;
    QAction* copy_ = nullptr;
};
