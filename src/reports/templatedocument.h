#pragma once
// The report template "templete2.xls": a worksheet "Problem" with a title in row 1, the column
// headings in row 2, the section headings in the rows the map leaves free and, in column A,
// the quantity of each map row with its unit.
//
// The template's source is the flat OpenDocument file src/reports/templete2.fods, written by
// templateFlatXml() (the program ctaudit_make_template); script/make-template converts it to
// the binary workbook.

#include <QString>

namespace report {

// The text of a template cell, by row (1-based) and column index (0 = "A"); empty for a
// cell the template leaves blank.
QString templateText(int row, int column);

// The last row and the number of columns the template fills (A to U).
inline constexpr int kTemplateRows = 82;
inline constexpr int kTemplateColumns = 21;

// The whole template as a flat OpenDocument spreadsheet (.fods).
QString templateFlatXml();

} // namespace report
