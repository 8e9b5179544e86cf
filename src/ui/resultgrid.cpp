#include "ui/resultgrid.h"

#include "ui/workspace.h"

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

void ResultGrid::showRows(const engine::ResultRows& rows) {
    if (rowCount() != int(rows.rows.size()))
        setRowCount(int(rows.rows.size()));
    for (int row = 0; row < rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const QString& text = rows.rows[std::size_t(row)][std::size_t(col)];
            QTableWidgetItem* shown = item(row, col);
            if (shown ? shown->text() == text : text.isEmpty())
                continue;
            auto* cell = new QTableWidgetItem(text);
            cell->setTextAlignment(Qt::AlignCenter);
            setItem(row, col, cell);
        }
    }
}
