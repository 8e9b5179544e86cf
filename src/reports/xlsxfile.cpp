#include "reports/xlsxfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace {

// The end-of-central-directory record that closes every zip file (without a comment).
constexpr int kEndRecordSize = 22;
constexpr char kEndRecordSignature[] = "PK\x05\x06";

quint32 littleEndian32(const char* bytes) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

// Whether the file on disk is a whole zip file: its last record is the end of the central
// directory, and the directory ends right before it. A write cut short by a full disk loses
// the end. The file is flushed to the disk first.
std::optional<QString> checkComplete(const QString& fileName) {
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    std::array<char, kEndRecordSize> end{};
    std::optional<QString> problem;
    if (::fstat(fd, &status) != 0 || ::fsync(fd) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (status.st_size < kEndRecordSize ||
             ::pread(fd, end.data(), end.size(), status.st_size - kEndRecordSize) !=
                 kEndRecordSize ||
             std::memcmp(end.data(), kEndRecordSignature, 4) != 0 ||
             qint64(littleEndian32(end.data() + 12)) + littleEndian32(end.data() + 16) +
                     kEndRecordSize !=
                 status.st_size)
        problem = QStringLiteral("the file was not written completely");
    ::close(fd);
    return problem;
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
    : path_(path) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        fail(QStringLiteral("it is not a regular file"));
        return;
    }
    const QString folder = target.absolutePath();
    temporary_ = std::make_unique<QTemporaryFile>(
        QDir(folder).filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!temporary_->open()) {
        fail(QStringLiteral("the folder %1 cannot be written (%2)")
                 .arg(QDir::toNativeSeparators(folder), temporary_->errorString()));
        return;
    }
    temporary_->close();
    // The file gets the target's permissions, or those of a new file.
    QFileDevice::Permissions permissions =
        target.exists() ? QFile::permissions(path)
                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::ReadOther;
    temporary_->setPermissions(permissions);

    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    const QByteArray name = QFile::encodeName(temporary_->fileName());
    workbook_ = workbook_new_opt(name.constData(), &options);
    if (!workbook_)
        fail(QStringLiteral("the workbook could not be made"));
}

XlsxFile::~XlsxFile() {
    // A file not committed is dropped: the workbook's own temporary files go, the file with
    // it (QTemporaryFile removes it).
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
    if (const std::optional<QString> problem = checkComplete(temporary_->fileName())) {
        fail(*problem);
        return false;
    }
    if (::rename(QFile::encodeName(temporary_->fileName()).constData(),
                 QFile::encodeName(path_).constData()) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    temporary_->setAutoRemove(false);
    return true;
}
