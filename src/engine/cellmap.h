#pragma once
// The cell map of the spreadsheet report: which control's displayed text goes into which row
// of the worksheet "Problem". Both arrangements use the same rows for the same quantities;
// each export fills one column, slot 1 = "B" up to slot 20 = "U".
//
// The quantity texts are also the row labels of the template's column A (templatedocument.h
// writes them), so the program and the template cannot drift apart.

#include <QString>
#include <array>

namespace report {

// A window's control by its keys (keys.h), NUL-terminated. Text fields give their text,
// labels their caption.
struct ControlRef {
    const char* form;
    const char* control;
};

struct CellMapRow {
    int row;              // worksheet row, 3 to 82
    const char* quantity; // row label of the template, with its unit
    ControlRef counterFlow;
    ControlRef crossFlow;
};

inline constexpr int kMapRowCount = 58;
inline constexpr int kSlotCount = 20;  // export columns B to U
inline constexpr int kMarkerRow = 3;   // a column whose row-3 cell is blank is free
inline constexpr int kLastMapRow = 82; // the highest row the map writes

// The 58 rows in ascending order.
extern const std::array<CellMapRow, kMapRowCount> kCellMap;

// The column letter of an export slot: 1 gives "B", 2 "C", ... 20 "U"; any other number an
// empty text.
QString ColumnLetter(int slot);

// The A1 address of a map row in an export slot: ("C", 12) gives "C12".
QString cellAddress(const QString& column, int row);

} // namespace report
