#pragma once
// ctaudit-batch --xlsx: the batch's output as an .xlsx workbook. The worksheet "Results" holds
// the output's header and one row per case: the case number and the quantities as numbers,
// shown with the decimals of their texts, the status as text, then the capability and energy
// columns (batchcapability.h); with the uncertainty columns, the worksheet "Uncertainty" holds
// the case number and the U(...) columns. Rows are written
// as they come, in constant memory whatever their number, and the file replaces its target
// only when complete.

#include "reports/xlsxfile.h"

#include <QStringList>
#include <optional>

class BatchWorkbook {
public:
    // The most cases a workbook holds: a worksheet's rows below the header.
    static constexpr qsizetype kMaxCases = XlsxFile::kMaxRows - 1;

    // resultHeader: the output's header (case, status, the quantities); uncertaintyHeader:
    // the U(...) columns, empty when there are none; capabilityHeader: the capability and
    // energy columns, after the U(...) columns in a row and after the quantities on "Results".
    BatchWorkbook(const QString& path, const QStringList& resultHeader,
                  const QStringList& uncertaintyHeader = {},
                  const QStringList& capabilityHeader = {});

    // One case's output row: the result cells, the U cells, then the capability cells. False
    // when it could not be written (error() says why).
    bool addRow(const QStringList& cells);
    // Completes the file and puts it in place.
    bool commit();
    // Why the workbook could not be written; empty while it can.
    QString error() const { return file_.error(); }

private:
    bool writeHeader(lxw_worksheet* sheet, const QStringList& header);

    XlsxFile file_;
    qsizetype resultColumns_ = 0;
    qsizetype uncertaintyColumns_ = 0;
    lxw_worksheet* results_ = nullptr;
    lxw_worksheet* uncertainty_ = nullptr;
    int row_ = 0; // the last row written, the header's is 0
};
