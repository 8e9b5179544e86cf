#pragma once
// What the windows may show, and the check of everything they show.
//
//   - an entry field (and a field of the moist-air calculator MoistAirWindow): empty or a number in
//     the locale's format;
//   - any other text (labels, button captions, grid headers and cells): empty, a number in
//     the locale's format, or the window's own caption for that control, as a window fresh
//     from its constructor and its first activation shows it;
//   - the status line: empty, a field's hint, an activation hint, a completion message, or
//     the export's texts.
//
// A number is what numtext::readNumber accepts, so "nan", "inf" and texts in the other
// locale's format are never numbers.

#include <QLocale>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class Windows;

class TextCheck {
public:
    // Builds the reference captions from a second set of windows, never shown, created in
    // the current default locale.
    TextCheck();

    // Every broken rule in the loaded windows of windows, one line each
    // ("Form5.lbl2 shows 'nan'").
    QStringList check(Windows& windows) const;

    // One of the program's status texts, or one followed by (or replaced with) the sentences
    // naming out-of-date Problems.
    bool isOwnStatus(const QString& text) const;
    static bool isCompletion(const QString& status);
    // The names of every window that may be loaded.
    static const QStringList& windowNames();

private:
    // window -> control key (as snapshotTexts names it) -> the captions it may show.
    QMap<QString, QMap<QString, QSet<QString>>> captions_;
    QSet<QString> statuses_;
};
