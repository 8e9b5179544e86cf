#include "fakereportsource.h"

QString FakeReportSource::textOf(const QString& form, const QString& control) const {
    const QString key = form + u'.' + control;
    if (overrides.contains(key))
        return overrides.value(key);
    if (neverOpened.contains(form))
        return QStringLiteral("design %1").arg(key);
    return QStringLiteral("%1 #%2").arg(key).arg(exportNumber);
}

std::optional<QString> FakeReportSource::controlText(const QString& form, const QString& control) {
    formsRead.append(form);
    if (unreadable.contains(form + u'.' + control))
        return std::nullopt;
    return textOf(form, control);
}
