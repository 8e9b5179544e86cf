#include "reports/xlsxfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zlib.h>

namespace {

// The end-of-central-directory record that closes every zip file (without a comment).
constexpr int kEndRecordSize = 22;
constexpr char kEndRecordSignature[] = "PK\x05\x06";

quint32 littleEndian16(const uchar* bytes) {
    return quint32(bytes[0]) | quint32(bytes[1]) << 8;
}

quint32 littleEndian32(const uchar* bytes) {
    return littleEndian16(bytes) | littleEndian16(bytes + 2) << 16;
}

// Whether an XML part of the workbook is whole: inflated, it ends with the closing tag of its
// root element. libxlsxwriter writes each part into a temporary file first and does not check
// those writes, so a full disk (or a file size limit) can cut a part short inside a zip file
// that is itself complete. The part is read from the file a piece at a time.
bool wholeXmlPart(QFile& file, qint64 offset, quint32 packedSize, int method) {
    QByteArray head;
    QByteArray tail;
    const auto take = [&](const char* bytes, qsizetype n) {
        if (head.size() < 512)
            head.append(bytes, std::min<qsizetype>(n, 512 - head.size()));
        tail.append(bytes + std::max<qsizetype>(0, n - 256), std::min<qsizetype>(n, 256));
        tail = tail.right(256);
    };
    z_stream stream{};
    if (method == 8 && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    std::array<char, 1 << 16> buffer{};
    int result = method == 0 ? Z_STREAM_END : Z_OK;
    if (!file.seek(offset))
        result = Z_DATA_ERROR;
    // Each round reads at least one byte of the part or ends: the cap is the part's size.
    for (qint64 left = packedSize; left > 0 && (result == Z_OK || result == Z_STREAM_END);) {
        const QByteArray piece = file.read(std::min<qint64>(left, 1 << 16));
        if (piece.isEmpty())
            return method == 8 ? (inflateEnd(&stream), false) : false;
        left -= piece.size();
        if (method == 0) {
            take(piece.constData(), piece.size());
            continue;
        }
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
        stream.avail_in = uInt(piece.size());
        while (stream.avail_in > 0 && result == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            result = inflate(&stream, Z_NO_FLUSH);
            take(buffer.data(), qsizetype(buffer.size() - stream.avail_out));
        }
    }
    if (method == 8) {
        // What inflate holds back after the last input.
        while (result == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            result = inflate(&stream, Z_FINISH);
            take(buffer.data(), qsizetype(buffer.size() - stream.avail_out));
            if (result == Z_BUF_ERROR && stream.avail_out != 0)
                break;
            if (result == Z_BUF_ERROR)
                result = Z_OK;
        }
        inflateEnd(&stream);
    }
    // The root element: the first element after the XML declaration.
    qsizetype open = head.indexOf('<');
    while (open >= 0 && open + 1 < head.size() && head.at(open + 1) == '?')
        open = head.indexOf('<', open + 1);
    if (result != Z_STREAM_END || open < 0)
        return false;
    qsizetype nameEnd = open + 1;
    while (nameEnd < head.size() && !std::isspace(uchar(head.at(nameEnd))) &&
           head.at(nameEnd) != '>' && head.at(nameEnd) != '/')
        ++nameEnd;
    const QByteArray closing = "</" + head.mid(open + 1, nameEnd - open - 1) + '>';
    return tail.trimmed().endsWith(closing);
}

// Whether the file on disk is a whole workbook: its last record is the end of the central
// directory, the directory ends right before it, and every XML part in it is whole. A write
// cut short by a full disk loses the end. The file is flushed to the disk first.
std::optional<QString> checkComplete(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const QString incomplete =
        QStringLiteral("the file was not written completely (is the disk full?)");
    const qint64 size = file.size();
    if (size < kEndRecordSize || !file.seek(size - kEndRecordSize))
        return incomplete;
    const QByteArray endRecord = file.read(kEndRecordSize);
    const auto* end = reinterpret_cast<const uchar*>(endRecord.constData());
    if (endRecord.size() != kEndRecordSize || std::memcmp(end, kEndRecordSignature, 4) != 0)
        return incomplete;
    const qint64 directoryStart = littleEndian32(end + 16);
    const qint64 directorySize = littleEndian32(end + 12);
    if (directoryStart + directorySize + kEndRecordSize != size || !file.seek(directoryStart))
        return incomplete;
    const QByteArray directory = file.read(directorySize);
    if (directory.size() != directorySize)
        return incomplete;
    const auto* entry = reinterpret_cast<const uchar*>(directory.constData());
    const quint32 entries = littleEndian16(end + 10);
    qint64 at = 0;
    for (quint32 i = 0; i < entries; ++i) {
        if (at + 46 > directorySize || std::memcmp(entry + at, "PK\x01\x02", 4) != 0)
            return incomplete;
        const int method = int(littleEndian16(entry + at + 10));
        const quint32 packed = littleEndian32(entry + at + 20);
        const quint32 nameLength = littleEndian16(entry + at + 28);
        if (at + 46 + nameLength > directorySize)
            return incomplete;
        const QByteArray name(reinterpret_cast<const char*>(entry + at + 46), nameLength);
        const qint64 local = littleEndian32(entry + at + 42);
        QByteArray localHeader;
        if (file.seek(local))
            localHeader = file.read(30);
        if (localHeader.size() != 30 || (method != 0 && method != 8))
            return incomplete;
        const auto* header = reinterpret_cast<const uchar*>(localHeader.constData());
        const qint64 data = local + 30 + littleEndian16(header + 26) + littleEndian16(header + 28);
        if (data + packed > directoryStart)
            return incomplete;
        if ((name.endsWith(".xml") || name.endsWith(".rels")) &&
            !wholeXmlPart(file, data, packed, method))
            return incomplete;
        at += 46 + nameLength + littleEndian16(entry + at + 30) + littleEndian16(entry + at + 32);
    }
    return std::nullopt;
}

// The scientific format that shows a number as its text with an exponent does: "1E-07" gives
// "0E+00", "1.25E+15" "0.00E+00"; empty for a text without an exponent.
QString scientificCode(const QString& text) {
    const qsizetype e = text.indexOf(u'E', 0, Qt::CaseInsensitive);
    if (e < 0)
        return QString();
    int decimals = 0;
    bool afterPoint = false;
    for (qsizetype i = 0; i < e; ++i) {
        const QChar c = text.at(i);
        if (c.isDigit())
            decimals += afterPoint ? 1 : 0;
        else if (c == u'.' || c == u',')
            afterPoint = true;
    }
    int exponentDigits = 0;
    bool sign = false;
    for (qsizetype i = e + 1; i < text.size(); ++i) {
        if (text.at(i).isDigit())
            ++exponentDigits;
        else if (text.at(i) == u'+' || text.at(i) == u'-')
            sign = true;
    }
    return QStringLiteral("0%1E%2%3")
        .arg(decimals > 0 ? u'.' + QString(decimals, u'0') : QString(),
             sign ? QStringLiteral("+") : QStringLiteral("-"),
             QString(std::max(exponentDigits, 1), u'0'));
}

} // namespace

XlsxFile::XlsxFile(const QString& path, bool constantMemory)
    : path_(path)
    , file_(path) {
    if (!AtomicFile::replaceable(path)) {
        fail(QStringLiteral("it is not a regular file"));
        return;
    }
    if (!file_.open()) {
        fail(QStringLiteral("the folder %1 cannot be written (%2)")
                 .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), file_.error()));
        return;
    }
    // libxlsxwriter writes the file by its name.
    file_.file().close();

    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    const QByteArray name = QFile::encodeName(file_.temporaryName());
    workbook_ = workbook_new_opt(name.constData(), &options);
    if (!workbook_)
        fail(QStringLiteral("the workbook could not be made"));
}

XlsxFile::~XlsxFile() {
    // A file not committed is dropped: the workbook's own temporary files go, the file with
    // it (AtomicFile removes it).
    if (workbook_)
        lxw_workbook_free(workbook_);
}

void XlsxFile::fail(const QString& reason) {
    if (error_.isEmpty())
        error_ = reason;
}

lxw_worksheet* XlsxFile::addSheet(const QString& name) {
    if (!ok())
        return nullptr;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook_, name.toUtf8().constData());
    if (!sheet)
        fail(QStringLiteral("the worksheet \"%1\" could not be made").arg(name));
    return sheet;
}

lxw_format* XlsxFile::boldFormat(double size) {
    const QString key = QStringLiteral("bold %1").arg(size);
    if (lxw_format* format = formats_.value(key))
        return format;
    lxw_format* format = workbook_add_format(workbook_);
    format_set_bold(format);
    if (size > 0)
        format_set_font_size(format, size);
    formats_.insert(key, format);
    return format;
}

lxw_format* XlsxFile::numberFormat(int decimals, int integerDigits) {
    if (decimals < 0)
        return nullptr; // the general format
    const int key = decimals * 1024 + integerDigits;
    if (lxw_format* format = numberFormats_.value(key))
        return format;
    // "0.00", "00.00" for a leading zero, "#.00" for a text without an integer digit.
    QString code = integerDigits > 0 ? QString(integerDigits, u'0') : QStringLiteral("#");
    if (decimals > 0)
        code += u'.' + QString(decimals, u'0');
    lxw_format* format = workbook_add_format(workbook_);
    format_set_num_format(format, code.toLatin1().constData());
    numberFormats_.insert(key, format);
    return format;
}

bool XlsxFile::write(lxw_worksheet* sheet, int row, int column, const CellContent& content,
                     lxw_format* textFormat) {
    if (!ok() || !sheet)
        return false;
    lxw_error result = LXW_NO_ERROR;
    if (content.number && std::isfinite(*content.number)) {
        lxw_format* format = numberFormat(content.decimals, content.integerDigits);
        if (const QString code = content.decimals < 0 ? scientificCode(content.text) : QString();
            !code.isEmpty()) {
            format = formats_.value(code);
            if (!format) {
                format = workbook_add_format(workbook_);
                format_set_num_format(format, code.toLatin1().constData());
                formats_.insert(code, format);
            }
        }
        result = worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(column), *content.number,
                                        format);
    } else if (!content.text.isEmpty()) {
        if (content.text.size() > kMaxCellText) {
            fail(QStringLiteral("a text of %1 characters is longer than a cell holds (%2)")
                     .arg(content.text.size())
                     .arg(kMaxCellText));
            return false;
        }
        result = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column),
                                        content.text.toUtf8().constData(), textFormat);
    }
    if (result != LXW_NO_ERROR) {
        fail(QStringLiteral("the cell in row %1, column %2 could not be written (%3)")
                 .arg(row + 1)
                 .arg(column + 1)
                 .arg(QString::fromUtf8(lxw_strerror(result))));
        return false;
    }
    return true;
}

bool XlsxFile::commit() {
    if (!workbook_) {
        fail(QStringLiteral("the workbook was already closed"));
        return false;
    }
    if (!ok())
        return false;
    errno = 0;
    const lxw_error result = workbook_close(workbook_);
    const int closeErrno = errno;
    workbook_ = nullptr;
    if (result != LXW_NO_ERROR) {
        // A failed write of the zip file leaves the system's reason (a full disk) in errno.
        fail(closeErrno != 0 && result != LXW_ERROR_MEMORY_MALLOC_FAILED
                 ? QString::fromLocal8Bit(std::strerror(closeErrno))
                 : QString::fromUtf8(lxw_strerror(result)));
        return false;
    }
    if (const std::optional<QString> problem = checkComplete(file_.temporaryName())) {
        fail(*problem);
        return false;
    }
    if (!file_.commit()) {
        fail(file_.error());
        return false;
    }
    return true;
}
