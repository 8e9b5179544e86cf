#pragma once
// The input of the batch audit: a CSV file whose header names the 19 input columns in any
// order, then one measurement set (a case) per record. The values are kept as the texts the
// file holds; the windows' fields decide what they make of them.
//
// The header may also name settings of the capability and of the water and fan energy (the
// settings table's keys that the batch reads, "cap.n", "sav.cycles", ...: engine::settingDef)
// and kAmbientWetBulbColumn. They are no field's: each cell is read here as a number with a
// decimal point, an empty cell leaves the setting at its default, and a value out of the
// setting's range stops the file at its line and column like any other damage.

#include "auditfile/csv.h"
#include "engine/capabilityinputs.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

class QIODevice;

// The input columns in the order the windows take them: Problem 1 to Problem 4, each
// Problem's fields in the window's own order.
inline constexpr int kInputColumnCount = 19;
inline constexpr std::array<const char*, kInputColumnCount> kInputColumns = {
    "p1.L",  "p1.G",  "p1.Tin", "p1.Tout", "p1.p",   "p1.tdb", "p1.rh",
    "p2.Ld", "p2.Gd", "p2.Tin", "p2.Tout", "p2.twb", "p2.tdb", "p3.L",
    "p3.G",  "p4.Q",  "p4.Tin", "p4.tdb",  "p4.twb",
};

// The longest value text an entry field holds (a line edit's limit): a field would cut a longer
// one and change its value, so a file holding one is refused, the audit file's and the batch
// input alike.
inline constexpr qsizetype kMaxValueLength = 32767;

// Why a file that starts with these bytes (its first line, or as much of it as was read) has
// no header on its first line: an empty line, or NUL bytes (a device or a damaged disk's
// file); nothing when it may have one. A header is never searched for further down.
std::optional<QString> firstLineIsNoHeader(QByteArrayView start);

// The optional column of the wet bulb (degC) of a one-row ambient table that holds all the
// operating hours (sav.hours); without it the table is the case's own, or Problem 4's air.
inline constexpr char kAmbientWetBulbColumn[] = "sav.twb";

// The index of a column name in kInputColumns, or -1.
int inputColumnIndex(const QString& name);

struct BatchCase {
    int number = 0; // 1 for the first data record
    int line = 0;   // the line of the file it starts on
    // The texts in kInputColumns order, whatever the file's order.
    std::array<QString, kInputColumnCount> values;
    // The capability and energy settings: the optional columns' values, the defaults where the
    // file has no such column or the cell is empty; an audit file's own.
    engine::CapabilityInputs settings;
};

class BatchInput {
public:
    // What makes a file unusable, with where it is.
    struct Error {
        int line = 0;
        int column = 0; // 0: the whole line
        QString text;
        // "source:line: text" or "source:line:column: text".
        QString describe(const QString& source) const;
    };

    // Reads a whole file: UTF-8 text, a header with each input column once, then records of
    // as many cells as the header. Column names may be surrounded by blanks.
    static BatchInput read(const QByteArray& data);

    // The canonical input: the header, and each case's record, the columns of kInputColumns in
    // order.
    static QString header();
    static QString record(const BatchCase& c);
    static QString write(const QList<BatchCase>& cases);

    QList<BatchCase> cases;
    std::optional<Error> error; // set: the file is not read, cases is empty
};

// Reads a batch file one case at a time (see BatchInput::read for what it must hold), holding
// no more than the case at hand.
class BatchReader {
public:
    explicit BatchReader(QIODevice& device);

    // The next case; nothing at the end of the file or at damage (then error() is set).
    // Counted: the case's values stay empty, only the file is checked.
    std::optional<BatchCase> next(csv::Reader::Cells cells = csv::Reader::Cells::Kept);
    const std::optional<BatchInput::Error>& error() const { return error_; }
    // Refuses an input cell that is not empty or a number with a decimal point (white space
    // around it aside, which is dropped), as a field typed into would change it.
    void checkNumbers() { numbersChecked_ = true; }

private:
    bool readHeader();
    // How much of the file's start is looked at before the header is read.
    static constexpr qint64 kHeaderPeek = 4096;

    QIODevice& device_;
    csv::Reader reader_;
    bool headerRead_ = false;
    qsizetype headerCells_ = 0;
    bool numbersChecked_ = false;
    // Reads the optional columns of a record into c; false at a value out of range.
    bool readSettings(const csv::Record& record, BatchCase& c);

    std::array<int, kInputColumnCount> cellOf_{}; // which cell of a record holds each column
    // The cells of the optional columns, -1 where the header has none; any: whether it has one.
    std::array<int, engine::kSettingCount> settingCell_{};
    int wetBulbCell_ = -1;
    bool anySetting_ = false;
    int cases_ = 0;
    std::optional<BatchInput::Error> error_;
};
