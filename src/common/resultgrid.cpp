#include "common/resultgrid.h"

#include "shell/windows.h"

#include <QHeaderView>

namespace {

struct GridColumn {
    const char* header;
    int width; // twips
};
constexpr GridColumn kGridColumns[ResultGrid::kColumns] = {
    {" G[kg/s]", 900},        {" L[kg/s]", 900},    {" Tw,in [oC]", 1200},     {"Tw,out[oC]", 1130},
    {" Ta,db[oC]", 1100},     {" RH [%] ", 910},    {"NTU[kW/(kJ/kg)]", 1650}, {" Q [kW]", 950},
    {"Efficiency [%]", 1360}, {" Range[oC]", 1190}, {"Approach [oC]", 1510},
};

} // namespace

ResultGrid::ResultGrid(QWidget* parent)
    : QTableWidget(1, kColumns, parent) {
    setObjectName(QStringLiteral("fgTable"));
    setAccessibleName(QStringLiteral("Parametar specification for different regimes"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    // The grid is there to compare regimes: the header and kVisibleRows rows without scrolling.
    setMinimumHeight(horizontalHeader()->sizeHint().height() + kVisibleRows * kRowHeight +
                     2 * frameWidth());
}

void ResultGrid::writeHeaders() {
    QStringList headers;
    for (const GridColumn& c : kGridColumns)
        headers.append(QString::fromLatin1(c.header));
    setHorizontalHeaderLabels(headers);
    for (int col = 0; col < kColumns; ++col)
        setColumnWidth(col, pixels(kGridColumns[col].width));
}

void ResultGrid::writeRow(int nextRow, int firstRow, const QStringList& cells) {
    if (nextRow > firstRow)
        setRowCount(rowCount() + 1);
    const int row = nextRow - 1; // the fixed header is not a row of the table
    if (row >= rowCount())
        setRowCount(row + 1);
    for (int col = 0; col < kColumns; ++col) {
        auto* item = new QTableWidgetItem(cells.value(col));
        item->setTextAlignment(Qt::AlignCenter);
        setItem(row, col, item);
    }
}
