#include "batch/auditcases.h"

#include "auditfile/auditfile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a regular file for reading without waiting (a FIFO would wait for a writer) and checks
// what was opened; returns why it cannot be read.
std::optional<QString> openRegular(const QString& name, QFile* file) {
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return QStringLiteral("it is not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file->errorString();
    }
    return std::nullopt;
}

bool namedAsAudit(const QString& name) {
    return QFileInfo(name).suffix().compare(QLatin1String(auditfile::kExtension),
                                            Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<AuditCases> readAuditCases(const QStringList& names, Arrangement arrangement) {
    // Audit files by name or by content; anything else is left to the CSV reader. Only a
    // regular file is looked into, and nothing else is even opened: the start of a pipe, once
    // read, would be gone, and a FIFO's writer would write to a reader that leaves.
    const auto isAudit = [](const QString& name) {
        QFile file;
        return namedAsAudit(name) ||
               (name != QLatin1String("-") && QFileInfo(name).isFile() &&
                !openRegular(name, &file) && auditfile::looksLikeAudit(file.read(4096)));
    };
    qsizetype audits = 0;
    QString other;
    for (const QString& name : names) {
        if (isAudit(name))
            ++audits;
        else if (other.isEmpty())
            other = name;
    }
    if (audits == 0)
        return std::nullopt;
    AuditCases result;
    if (!other.isEmpty()) {
        result.error =
            QStringLiteral("%1: not an audit file (give one CSV file, or audit files)").arg(other);
        return result;
    }
    for (qsizetype n = 0; n < names.size(); ++n) {
        const QString& name = names[n];
        QFile file;
        if (const std::optional<QString> why = openRegular(name, &file)) {
            result.error = QStringLiteral("%1: %2").arg(name, *why);
            return result;
        }
        const QByteArray data = file.read(auditfile::kMaxFileSize + 1);
        // A read error is reported as what it is, not as the JSON of what was read.
        if (file.error() != QFileDevice::NoError) {
            result.error = QStringLiteral("%1: %2").arg(name, file.errorString());
            return result;
        }
        const auditfile::Loaded loaded = auditfile::parse(data);
        if (loaded.error) {
            result.error =
                QStringLiteral("%1: %2: %3").arg(name, loaded.error->where, loaded.error->text);
            return result;
        }
        BatchCase c;
        c.number = static_cast<int>(n) + 1;
        c.line = 1;
        const auditfile::Inputs& inputs = loaded.audit.inputs(arrangement);
        for (size_t i = 0; i < c.values.size(); ++i)
            c.values[i] = inputs[i];
        c.settings = loaded.audit.capability[arrangement == Arrangement::CounterFlow ? 0 : 1];
        result.input.cases.append(c);
    }
    return result;
}
