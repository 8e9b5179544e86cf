#include "support/xlsxreader.h"

#include "auditfile/csv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <zlib.h>

namespace xlsxread {

namespace {

quint32 le(const QByteArray& data, qsizetype at, int bytes) {
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(at + i));
    return value;
}

// The entries of a zip file by name, inflated.
std::optional<QHash<QString, QByteArray>> unzip(const QByteArray& zip, QString* error) {
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size()) {
        *error = QStringLiteral("no end of the central directory");
        return std::nullopt;
    }
    const int count = int(le(zip, end + 10, 2));
    qsizetype at = le(zip, end + 16, 4);
    QHash<QString, QByteArray> entries;
    for (int i = 0; i < count; ++i) {
        if (at + 46 > zip.size() || zip.mid(at, 4) != QByteArray("PK\x01\x02", 4)) {
            *error = QStringLiteral("a damaged central directory");
            return std::nullopt;
        }
        const int method = int(le(zip, at + 10, 2));
        const quint32 packed = le(zip, at + 20, 4);
        const quint32 size = le(zip, at + 24, 4);
        const int nameLength = int(le(zip, at + 28, 2));
        const qsizetype next = at + 46 + nameLength + le(zip, at + 30, 2) + le(zip, at + 32, 2);
        const QString name = QString::fromUtf8(zip.mid(at + 46, nameLength));
        const qsizetype local = le(zip, at + 42, 4);
        const qsizetype data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
        if (data + packed > zip.size()) {
            *error = QStringLiteral("%1 lies beyond the file").arg(name);
            return std::nullopt;
        }
        QByteArray content;
        if (method == 0) {
            content = zip.mid(data, packed);
        } else if (method == 8) {
            content.resize(size);
            z_stream stream{};
            inflateInit2(&stream, -MAX_WBITS);
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.constData() + data));
            stream.avail_in = packed;
            stream.next_out = reinterpret_cast<Bytef*>(content.data());
            stream.avail_out = size;
            const int result = inflate(&stream, Z_FINISH);
            inflateEnd(&stream);
            if (result != Z_STREAM_END || stream.total_out != size) {
                *error = QStringLiteral("%1 does not inflate").arg(name);
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("%1: compression method %2").arg(name).arg(method);
            return std::nullopt;
        }
        entries.insert(name, content);
        at = next;
    }
    return entries;
}

// The texts of a string item: its <t> elements, runs included.
QString itemText(QXmlStreamReader& xml) {
    const QString element = xml.name().toString();
    QString text;
    while (xml.readNextStartElement() || (!xml.isEndElement() || xml.name() != element)) {
        if (xml.atEnd())
            break;
        if (xml.isStartElement() && xml.name() == u"t")
            text += xml.readElementText();
    }
    return text;
}

// How a number format code shows a number: "0.00", "00.0", "#.00", or the general format.
QString display(double value, const QString& code) {
    if (code.isEmpty() || code == u"General") {
        QString text = QString::number(value, 'g', 10).toUpper();
        return text;
    }
    if (const qsizetype e = code.indexOf(u'E'); e >= 0) {
        const qsizetype dot = code.indexOf(u'.');
        return QString::number(value, 'E', dot < 0 || dot > e ? 0 : int(e - dot - 1));
    }
    const qsizetype point = code.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(code.size() - point - 1);
    const int integerDigits = int(code.left(point < 0 ? code.size() : point).count(u'0'));
    QString text = QString::number(std::abs(value), 'f', decimals);
    const qsizetype textPoint = text.indexOf(u'.');
    QString integer = text.left(textPoint < 0 ? text.size() : textPoint);
    const QString fraction = textPoint < 0 ? QString() : text.mid(textPoint);
    if (integer == u"0" && integerDigits == 0)
        integer.clear();
    while (integer.size() < integerDigits)
        integer.prepend(u'0');
    const bool negative = value < 0 && (integer + fraction).contains(QRegularExpression("[1-9]"));
    return (negative ? QStringLiteral("-") : QString()) + integer + fraction;
}

} // namespace

QList<QStringList> Sheet::texts() const {
    QList<QStringList> result;
    for (const QList<Cell>& row : rows) {
        QStringList texts;
        for (const Cell& cell : row)
            texts << cell.text;
        result << texts;
    }
    return result;
}

Cell Sheet::at(int row, int column) const {
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row][column];
}

std::pair<int, int> cellIndex(QStringView address) {
    int column = 0;
    qsizetype i = 0;
    for (; i < address.size() && address[i].isLetter(); ++i)
        column = column * 26 + (address[i].unicode() - u'A' + 1);
    return {address.mid(i).toInt() - 1, column - 1};
}

std::optional<Workbook> read(const QString& path, QString* error) {
    QString scratch;
    if (!error)
        error = &scratch;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    const std::optional<QHash<QString, QByteArray>> entries = unzip(file.readAll(), error);
    if (!entries)
        return std::nullopt;
    Workbook workbook;
    workbook.entries = entries->keys();

    QStringList shared;
    for (QXmlStreamReader xml(entries->value(QStringLiteral("xl/sharedStrings.xml")));
         !xml.atEnd();)
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            shared << itemText(xml);

    QHash<int, QString> codes{
        {0, QString()}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")}};
    QList<int> styles; // the number format of each cell format
    bool inCellFormats = false;
    for (QXmlStreamReader xml(entries->value(QStringLiteral("xl/styles.xml"))); !xml.atEnd();) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"numFmt")
            codes.insert(xml.attributes().value("numFmtId").toInt(),
                         xml.attributes().value("formatCode").toString());
        else if (xml.isStartElement() && xml.name() == u"cellXfs")
            inCellFormats = true;
        else if (xml.isEndElement() && xml.name() == u"cellXfs")
            inCellFormats = false;
        else if (inCellFormats && xml.isStartElement() && xml.name() == u"xf")
            styles << xml.attributes().value("numFmtId").toInt();
    }

    for (QXmlStreamReader xml(entries->value(QStringLiteral("xl/workbook.xml"))); !xml.atEnd();)
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet")
            workbook.sheets.append({xml.attributes().value("name").toString(), {}});

    for (qsizetype n = 0; n < workbook.sheets.size(); ++n) {
        const QString name = QStringLiteral("xl/worksheets/sheet%1.xml").arg(n + 1);
        if (!entries->contains(name)) {
            *error = QStringLiteral("%1 is missing").arg(name);
            return std::nullopt;
        }
        Sheet& sheet = workbook.sheets[n];
        QXmlStreamReader xml(entries->value(name));
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"c")
                continue;
            const auto [row, column] = cellIndex(xml.attributes().value("r"));
            const QString type = xml.attributes().value("t").toString();
            const int style = xml.attributes().value("s").toInt();
            Cell cell;
            while (!(xml.isEndElement() && xml.name() == u"c") && !xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"v") {
                    const QString value = xml.readElementText();
                    if (type == u"s") {
                        cell.text = shared.value(value.toInt());
                    } else if (type.isEmpty() || type == u"n") {
                        cell.number = true;
                        cell.text = display(value.toDouble(), codes.value(styles.value(style)));
                    } else {
                        cell.text = value;
                    }
                } else if (xml.isStartElement() && xml.name() == u"is") {
                    cell.text = itemText(xml);
                }
            }
            while (sheet.rows.size() <= row)
                sheet.rows.append(QList<Cell>());
            while (sheet.rows[row].size() <= column)
                sheet.rows[row].append(Cell());
            sheet.rows[row][column] = cell;
        }
        if (xml.hasError()) {
            *error = QStringLiteral("%1: %2").arg(name, xml.errorString());
            return std::nullopt;
        }
    }
    return workbook;
}

bool officeInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

QList<QStringList> trimmed(QList<QStringList> rows) {
    for (QStringList& row : rows)
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

std::optional<QList<QList<QStringList>>> readWithOffice(const QString& path,
                                                        const QStringList& sheets,
                                                        const QString& workDir, QString* error) {
    QString scratch;
    if (!error)
        error = &scratch;
    const QString out = QDir(workDir).filePath(QStringLiteral("csv"));
    QDir().mkpath(out);
    // Every worksheet to its own file (the last option, -1), UTF-8, comma and quote, the texts
    // as shown.
    QProcess office;
    office.start(QStandardPaths::findExecutable(QStringLiteral("soffice")),
                 {QStringLiteral("-env:UserInstallation=file://") +
                      QDir(workDir).filePath(QStringLiteral("profile")),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"),
                  QStringLiteral("--convert-to"),
                  QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,"
                                 "false,false,-1"),
                  QStringLiteral("--outdir"), out, path});
    if (!office.waitForFinished(180000) || office.exitCode() != 0) {
        office.kill();
        office.waitForFinished();
        *error = QStringLiteral("soffice failed: %1")
                     .arg(QString::fromLocal8Bit(office.readAllStandardError() +
                                                 office.readAllStandardOutput()));
        return std::nullopt;
    }
    QList<QList<QStringList>> result;
    const QString base = QDir(out).filePath(QFileInfo(path).completeBaseName());
    for (const QString& sheet : sheets) {
        QFile csvFile(base + u'-' + sheet + QStringLiteral(".csv"));
        if (!csvFile.exists() && sheets.size() == 1)
            csvFile.setFileName(base + QStringLiteral(".csv"));
        if (!csvFile.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: %2 (soffice wrote %3)")
                         .arg(csvFile.fileName(), csvFile.errorString(),
                              QDir(out).entryList(QDir::Files).join(u' '));
            return std::nullopt;
        }
        const csv::Table table = csv::parse(QString::fromUtf8(csvFile.readAll()));
        QList<QStringList> rows;
        for (const csv::Record& record : table.records)
            rows << record.cells;
        result << trimmed(rows);
    }
    return result;
}

} // namespace xlsxread
