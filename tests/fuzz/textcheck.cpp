#include "textcheck.h"

#include "app/capabilitywindow.h"
#include "app/windows.h"
#include "engine/fieldtable.h"
#include "engine/numtext.h"
#include "support/guifixture.h"
#include "support/recordingdesktop.h"
#include "ui/mainwindow.h"
#include "ui/numericfield.h"
#include "ui/problemwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

bool isNumber(const QString& text) {
    return numtext::readNumber(text).has_value();
}

bool isStateKey(const QString& key) {
    return key.endsWith(QLatin1String(".enabled")) || key.endsWith(QLatin1String(".checked")) ||
           key.endsWith(QLatin1String(".rows")) || key.endsWith(QLatin1String(".columns"));
}

QString shown(const QString& text) {
    QString s = text.left(80);
    if (text.size() > 80)
        s += QStringLiteral("...");
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

} // namespace

const QStringList& TextCheck::windowNames() {
    static const QStringList names = {QStringLiteral("Form1"), QStringLiteral("Form5"),
                                      QStringLiteral("Form2"), QStringLiteral("Form10"),
                                      QStringLiteral("Form3"), QStringLiteral("Form8"),
                                      QStringLiteral("Form6"), QStringLiteral("Form9"),
                                      QStringLiteral("Form4"), QStringLiteral("Form11")};
    return names;
}

namespace {

// The completion messages, alone or with the Problem 1 windows' note on a supersaturated plume.
QStringList completions() {
    QStringList texts;
    for (const char* done :
         {"Calculation has successfully complited", "Calculation has successfuly complited"})
        texts << QString::fromLatin1(done)
              << QString::fromLatin1(done) +
                     QStringLiteral(" - note: the outlet air is supersaturated (relative "
                                    "humidity above 100 %: fog in the plume)");
    return texts;
}

} // namespace

bool TextCheck::isCompletion(const QString& status) {
    return completions().contains(status);
}

TextCheck::TextCheck() {
    statuses_.insert(QString());
    // Problem 1 notes supersaturated outlet air after its completion text.
    const QString supersaturated = QStringLiteral(
        " - note: the outlet air is supersaturated (relative humidity above 100 %: fog in the "
        "plume)");
    for (const QString& completion : {QStringLiteral("Calculation has successfully complited"),
                                      QStringLiteral("Calculation has successfuly complited")}) {
        statuses_.insert(completion);
        statuses_.insert(completion + supersaturated);
    }
    for (const QString& done : completions())
        statuses_.insert(done);
    for (const FieldDef& def : fieldTable())
        statuses_.insert(QString::fromUtf8(def.hint.data(), qsizetype(def.hint.size())));
    for (int setting = 0; setting < engine::kSettingCount; ++setting)
        statuses_.insert(CapabilityWindow::hint(setting));

    RecordingDesktop desktop;
    Windows reference(desktop);
    reference.mainWindow()->load();
    captions_[QStringLiteral("frmMain")][QStringLiteral("Label1")].insert(
        reference.mainWindow()->separatorNote()->text());
    for (const QString& name : windowNames()) {
        QWidget* window = reference.form(name);
        if (!window)
            continue; // not part of this build
        auto& captions = captions_[name];
        for (const auto& [key, text] : snapshotTexts(window).asKeyValueRange())
            captions[key].insert(text);
        if (auto* problem = qobject_cast<ProblemWindow*>(window)) {
            problem->activate();
            statuses_.insert(reference.status());
            for (const auto& [key, text] : snapshotTexts(window).asKeyValueRange())
                captions[key].insert(text);
        }
    }
}

bool TextCheck::isOwnStatus(const QString& text) const {
    if (statuses_.contains(text))
        return true;
    // The export's texts: what it wrote, or in plain words why not; never a number that is
    // none.
    static const QRegularExpression notANumber(QStringLiteral("\\b(nan|inf|infinity)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    if ((text.startsWith(QLatin1String("Excel: ")) ||
         text == QLatin1String("LibreOffice Calc is starting ...")) &&
        !notANumber.match(text).hasMatch())
        return true;
    // The Capability window's account of a weather file it read.
    static const QRegularExpression weatherRead(
        QStringLiteral(R"(^[0-9]+ rows? \([0-9]+(?:[.,][0-9]+)? h a year\) read from ".*"\.$)"));
    if (weatherRead.match(text).hasMatch())
        return true;
    // The sentences of ui/currencytext.h, after a status text and " - " or on their own.
    static const QRegularExpression outOfDate(
        QStringLiteral(R"(^(?:(.*) - )?((?:Problems? [0-9, and]+ (?:is|are) out of date )"
                       R"(\([^)]*\): CALCULATE [^.]*\.(?: |$))+)$)"));
    const QRegularExpressionMatch m = outOfDate.match(text);
    return m.hasMatch() && (m.captured(1).isEmpty() || statuses_.contains(m.captured(1)));
}

QStringList TextCheck::check(Windows& windows) const {
    QStringList bad;
    const QString status = windows.status();
    if (!isOwnStatus(status))
        bad.append(QStringLiteral("the status line shows %1").arg(shown(status)));
    const QString note = windows.mainWindow()->separatorNote()->text();
    if (!captions_[QStringLiteral("frmMain")][QStringLiteral("Label1")].contains(note))
        bad.append(QStringLiteral("frmMain.Label1 shows %1").arg(shown(note)));

    for (const QString& name : windowNames()) {
        if (!windows.isLoaded(name))
            continue;
        QWidget* window = windows.form(name);
        const auto own = captions_.value(name);
        const bool calculator = name == QLatin1String("Form11");
        for (const auto& [key, text] : snapshotTexts(window).asKeyValueRange()) {
            if (isStateKey(key))
                continue;
            const auto* edit = window->findChild<const QLineEdit*>(key);
            if (edit && (calculator || NumericField::of(edit))) {
                if (!text.isEmpty() && !isNumber(text))
                    bad.append(
                        QStringLiteral("%1.%2: the field holds %3").arg(name, key, shown(text)));
                continue;
            }
            if (text.isEmpty() || isNumber(text) || own.value(key).contains(text))
                continue;
            bad.append(QStringLiteral("%1.%2 shows %3").arg(name, key, shown(text)));
        }
    }
    return bad;
}
