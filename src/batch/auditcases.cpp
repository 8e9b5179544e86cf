#include "batch/auditcases.h"

#include "shell/auditfile.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool namedAsAudit(const QString& name) {
    return QFileInfo(name).suffix().compare(QLatin1String(audit::kExtension),
                                            Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<AuditCases> readAuditCases(const QStringList& names, Arrangement arrangement) {
    if (names.isEmpty() || names.contains(QStringLiteral("-")))
        return std::nullopt;
    AuditCases result;
    for (qsizetype n = 0; n < names.size(); ++n) {
        const QString& name = names[n];
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            if (names.size() == 1 && !namedAsAudit(name))
                return std::nullopt; // the CSV reader reports it
            result.error = QStringLiteral("%1: %2").arg(name, file.errorString());
            return result;
        }
        const QByteArray data = file.read(audit::kMaxFileSize + 1);
        if (!audit::looksLikeAudit(data) && !namedAsAudit(name)) {
            if (names.size() == 1)
                return std::nullopt;
            result.error = QStringLiteral("%1: not an audit file (give one CSV file, or audit "
                                          "files)")
                               .arg(name);
            return result;
        }
        const audit::Loaded loaded = audit::parse(data);
        if (loaded.error) {
            result.error =
                QStringLiteral("%1: %2: %3").arg(name, loaded.error->where, loaded.error->text);
            return result;
        }
        BatchCase c;
        c.number = static_cast<int>(n) + 1;
        c.line = 1;
        const audit::Inputs& inputs = loaded.audit.inputs(arrangement == Arrangement::CounterFlow
                                                              ? audit::Arrangement::Counter
                                                              : audit::Arrangement::Cross);
        for (size_t i = 0; i < c.values.size(); ++i)
            c.values[i] = inputs[i];
        result.input.cases.append(c);
    }
    return result;
}
