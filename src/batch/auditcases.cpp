#include "batch/auditcases.h"

#include "auditfile/auditfile.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool namedAsAudit(const QString& name) {
    return QFileInfo(name).suffix().compare(QLatin1String(auditfile::kExtension),
                                            Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<AuditCases> readAuditCases(const QStringList& names, Arrangement arrangement) {
    // Audit files by name or by content; anything else is left to the CSV reader.
    const auto isAudit = [](const QString& name) {
        QFile file(name);
        return namedAsAudit(name) ||
               (name != QLatin1String("-") && file.open(QIODevice::ReadOnly) &&
                auditfile::looksLikeAudit(file.read(4096)));
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
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("%1: %2").arg(name, file.errorString());
            return result;
        }
        const auditfile::Loaded loaded = auditfile::parse(file.read(auditfile::kMaxFileSize + 1));
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
        result.input.cases.append(c);
    }
    return result;
}
