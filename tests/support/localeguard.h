#pragma once
// The locales the tests pin, and a guard that pins one, like CoolProp's LocaleGuard. Qt Core
// only: the engine's tests use it without any window.

#include <QLocale>

// Pins QLocale's default locale for its lifetime.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale);
    ~LocaleGuard();
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    QLocale previous_;
};

// Qt carries its own locale data, so both always exist.
QLocale pointLocale(); // en_US: decimal point
QLocale commaLocale(); // de_DE: decimal comma, "." as group separator
