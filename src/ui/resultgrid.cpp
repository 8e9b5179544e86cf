#include "ui/resultgrid.h"

#include "ui/workspace.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

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
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);

    // Tab and Shift+Tab go on to the window's next and previous controls.
    setTabKeyNavigation(false);

    copy_ = new QAction(QStringLiteral("Copy"), this);
    copy_->setObjectName(QStringLiteral("CopyRows"));
    // Shown in the menu only: Ctrl+C is the grid's own key (keyPressEvent).
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetShortcut);
    addAction(copy_);
    connect(copy_, &QAction::triggered, this, &ResultGrid::copy);

    delete_ = new QAction(QStringLiteral("Delete Rows"), this);
    delete_->setObjectName(QStringLiteral("DeleteRows"));
    // The Delete key is the grid's own (keyPressEvent); a shortcut would also take it from
    // other widgets of the window.
    delete_->setEnabled(false);
    addAction(delete_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(delete_, &QAction::triggered, this, &ResultGrid::requestDelete);
    connect(this, &QTableWidget::itemSelectionChanged, this,
            [this] { delete_->setEnabled(!selectedRegimes().isEmpty()); });
}

QList<int> ResultGrid::selectedRegimes() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        const int row = index.row();
        bool regime = false;
        for (int col = 0; col < kColumns && !regime; ++col)
            regime = item(row, col) && !item(row, col)->text().isEmpty();
        if (regime)
            rows.append(row);
    }
    std::ranges::sort(rows);
    return rows;
}

void ResultGrid::requestDelete() {
    const QList<int> rows = selectedRegimes();
    if (!rows.isEmpty())
        Q_EMIT deleteRequested(rows);
}

QString ResultGrid::copyText() const {
    QList<int> rows = selectedRegimes();
    if (rows.isEmpty())
        for (int row = 0; row < rowCount(); ++row)
            for (int col = 0; col < kColumns; ++col)
                if (item(row, col) && !item(row, col)->text().isEmpty()) {
                    rows.append(row);
                    break;
                }
    const auto line = [](const QStringList& cells) {
        return cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    };
    QStringList cells;
    for (int col = 0; col < kColumns; ++col) {
        const QTableWidgetItem* header = horizontalHeaderItem(col);
        cells.append(header ? header->text().trimmed() : QString());
    }
    QString text = line(cells);
    for (int row : rows) {
        cells.clear();
        for (int col = 0; col < kColumns; ++col)
            cells.append(item(row, col) ? item(row, col)->text() : QString());
        text += line(cells);
    }
    return text;
}

void ResultGrid::copy() const {
    QGuiApplication::clipboard()->setText(copyText());
}

void ResultGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Backspace) {
        requestDelete();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
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
    const int before = rowCount();
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
    if (rowCount() > before) {
        updateGeometries(); // the scroll range for the new rows
        scrollTo(model()->index(rowCount() - 1, 0));
    }
    delete_->setEnabled(!selectedRegimes().isEmpty());
}
