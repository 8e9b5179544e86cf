#include "support/localeguard.h"

LocaleGuard::LocaleGuard(const QLocale& locale)
    : previous_(QLocale()) {
    QLocale::setDefault(locale);
}

LocaleGuard::~LocaleGuard() {
    QLocale::setDefault(previous_);
}

QLocale pointLocale() {
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

QLocale commaLocale() {
    return QLocale(QLocale::German, QLocale::Germany);
}
