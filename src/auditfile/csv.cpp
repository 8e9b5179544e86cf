#include "auditfile/csv.h"

#include <QIODevice>

namespace csv {

Reader::Reader(const QString& text)
    : text_(text) {
    if (text_.startsWith(QChar(0xFEFF)))
        pos_ = 1;
}

Reader::Reader(QIODevice& device)
    : device_(&device) {}

bool Reader::pull() {
    if (!device_ || error_ || device_->atEnd())
        return false;
    // A line is read in pieces: one without a line break is never held whole before its
    // cells are looked at.
    const QByteArray bytes = device_->readLine(kPiece);
    const int line = deviceLine_ + 1;
    if (bytes.endsWith('\n'))
        ++deviceLine_;
    const bool first = !pulled_;
    pulled_ = true;
    text_ += decoder_.decode(bytes);
    if (decoder_.hasError()) {
        error_ = Error{line, 0, QStringLiteral("the text is not UTF-8")};
        return false;
    }
    if (first && text_.startsWith(QChar(0xFEFF)))
        pos_ = 1;
    return pos_ < text_.size() || pull();
}

void Reader::compact() {
    // A text is read in place; a device's lines are dropped once read.
    if (device_ && pos_ > 0) {
        text_.remove(0, pos_);
        pos_ = 0;
    }
}

std::optional<Record> Reader::next(Cells cells) {
    const bool keep = cells == Cells::Kept;
    if (error_)
        return std::nullopt;
    compact();
    // An empty line is no record.
    for (;;) {
        if (pos_ >= text_.size() && !pull())
            return std::nullopt;
        const QChar c = text_[pos_];
        if (c != u'\n' && c != u'\r')
            break;
        pos_ += (c == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n') ? 2 : 1;
        ++line_;
    }
    // The character at i, pulling more of a device's text when needed; none at the end.
    const auto at = [this](qsizetype i) {
        while (i >= text_.size() && pull()) {
        }
        return i < text_.size() ? text_[i] : QChar();
    };
    const auto lineEnd = [](QChar c) { return c == u'\n' || c == u'\r'; };
    Record record;
    record.line = line_;
    record.cells.reserve(cellsBefore_);
    for (;;) {
        QString cell;
        qsizetype length = 0;
        const int column = static_cast<int>(record.cells.size()) + 1;
        const auto tooLong = [&] {
            if (maxCell_ < 0 || length <= maxCell_)
                return false;
            error_ = Error{line_, column,
                           QStringLiteral("the cell has more than %1 characters").arg(maxCell_)};
            return true;
        };
        // The cells before are read: a long record's text is not held whole.
        if (device_ && pos_ >= kPiece)
            compact();
        if (at(pos_) == u'"') {
            const int openedOn = line_;
            ++pos_;
            for (;;) {
                if (tooLong())
                    return std::nullopt;
                if (pos_ >= text_.size()) {
                    if (pull())
                        continue;
                    if (!error_)
                        error_ = Error{openedOn, column,
                                       QStringLiteral("a quoted cell is never closed")};
                    return std::nullopt;
                }
                const QChar c = text_[pos_];
                if (c == u'"') {
                    if (at(pos_ + 1) == u'"') {
                        if (keep)
                            cell += u'"';
                        ++length;
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                if (c == u'\n' || (c == u'\r' && at(pos_ + 1) != u'\n'))
                    ++line_;
                if (keep)
                    cell += c;
                ++length;
                ++pos_;
            }
            if (tooLong())
                return std::nullopt;
            if (const QChar c = at(pos_); pos_ < text_.size() && c != u',' && !lineEnd(c)) {
                error_ = Error{line_, column, QStringLiteral("text after the closing quote")};
                return std::nullopt;
            }
        } else {
            const qsizetype from = pos_;
            for (QChar c = at(pos_); pos_ < text_.size() && c != u',' && !lineEnd(c);
                 c = at(++pos_)) {
                if (c == u'"') {
                    error_ =
                        Error{line_, column, QStringLiteral("a quote inside an unquoted cell")};
                    return std::nullopt;
                }
                length = pos_ + 1 - from;
                if (tooLong())
                    return std::nullopt;
            }
            length = pos_ - from;
            if (keep)
                cell = text_.sliced(from, length);
        }
        if (error_) // a piece of the line is not UTF-8
            return std::nullopt;
        if (length > record.longest) {
            record.longest = length;
            record.longestColumn = column;
        }
        if (maxCells_ < 0 || record.cells.size() < maxCells_)
            record.cells.append(cell);
        else
            ++record.dropped;
        if (at(pos_) == u',') {
            ++pos_;
            continue;
        }
        // The end of the line or of the text.
        if (pos_ < text_.size()) {
            pos_ += (at(pos_) == u'\r' && at(pos_ + 1) == u'\n') ? 2 : 1;
            ++line_;
        }
        cellsBefore_ = record.cells.size();
        return record;
    }
}

Table parse(const QString& text) {
    Table table;
    Reader reader(text);
    while (std::optional<Record> record = reader.next())
        table.records.append(std::move(*record));
    table.error = reader.error();
    return table;
}

QString quote(const QString& cell) {
    const bool needsQuotes =
        cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r');
    if (!needsQuotes)
        return cell;
    QString quoted = cell;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString record(std::span<const QString> cells) {
    QString line;
    line.reserve(static_cast<qsizetype>(cells.size()) * 8);
    for (size_t c = 0; c < cells.size(); ++c) {
        if (c > 0)
            line += u',';
        line += quote(cells[c]);
    }
    line += u'\n';
    return line;
}

} // namespace csv
