#include "auditfile/auditfile.h"

#include "auditfile/batchinput.h"
#include "engine/fieldtable.h"
#include "engine/keys.h"
#include "engine/numtext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <cmath>

#ifndef CTAUDIT_VERSION
#define CTAUDIT_VERSION "1.0"
#endif

namespace auditfile {

static_assert(kInputCount == kInputColumnCount, "the audit's inputs are the batch columns");

namespace {

constexpr std::array<Arrangement, 2> kArrangements = {Arrangement::CounterFlow,
                                                      Arrangement::CrossFlow};

// A text the file may hold for a field or a grid cell: a number with a decimal point, or
// empty (an empty field).
bool isNumberText(const QString& text) {
    return text.isEmpty() || numtext::readNumber(text, QLocale::c()).has_value();
}

QString quotedText(const QString& text) {
    constexpr qsizetype kShown = 40;
    return QLatin1Char('"') +
           (text.size() > kShown ? text.left(kShown) + QStringLiteral("...") : text) +
           QLatin1Char('"');
}

// Reading with the first problem kept: each step checks one value and remembers where.
class Reader {
public:
    std::optional<Error> error;

    bool fail(const QString& where, const QString& text) {
        if (!error)
            error = Error{where, text};
        return false;
    }

    // A number text: a JSON string holding a number (or empty), or a JSON number.
    bool numberText(const QJsonValue& value, const QString& where, QString* out) {
        if (value.isUndefined())
            return fail(where, QStringLiteral("is missing"));
        if (value.isDouble()) {
            *out = QLocale::c().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
            return true;
        }
        if (!value.isString())
            return fail(where, QStringLiteral("is not a text"));
        if (value.toString().size() > kMaxValueLength)
            return fail(where, QStringLiteral("has more than %1 characters").arg(kMaxValueLength));
        if (!isNumberText(value.toString()))
            return fail(where, QStringLiteral("is not a number"));
        *out = value.toString();
        return true;
    }

    // The columns [first, last) of an inputs object.
    bool inputs(const QJsonValue& value, const QString& where, int first, int last, Inputs* out) {
        if (value.isUndefined())
            return fail(where, QStringLiteral("is missing"));
        if (!value.isObject())
            return fail(where, QStringLiteral("is not an object of inputs"));
        const QJsonObject object = value.toObject();
        for (int c = first; c < last; ++c) {
            const QString column = inputColumn(c);
            if (!numberText(object.value(column), where + u'.' + column,
                            &(*out)[static_cast<size_t>(c)]))
                return false;
        }
        return true;
    }

    bool arrangement(const QJsonValue& value, const QString& where, Arrangement* out) {
        for (Arrangement a : kArrangements)
            if (value == QJsonValue(arrangementKey(a))) {
                *out = a;
                return true;
            }
        return fail(where, QStringLiteral("is not \"counter\" or \"cross\""));
    }

    bool problem(const QJsonValue& value, const QString& where, ProblemRef* out) {
        if (!value.isObject())
            return fail(where, QStringLiteral("is not an object"));
        const QJsonObject object = value.toObject();
        if (!arrangement(object.value(QLatin1String("arrangement")),
                         where + QStringLiteral(".arrangement"), &out->arrangement))
            return false;
        const QJsonValue n = object.value(QLatin1String("problem"));
        if (!n.isDouble() ||
            !(n.toDouble() == 1 || n.toDouble() == 2 || n.toDouble() == 3 || n.toDouble() == 4))
            return fail(where + QStringLiteral(".problem"), QStringLiteral("is not 1, 2, 3 or 4"));
        out->problem = n.toInt();
        return true;
    }

    bool grid(const QJsonValue& value, const QString& where, Grid* out) {
        if (!value.isArray())
            return fail(where, QStringLiteral("is not a list of rows"));
        const QJsonArray rows = value.toArray();
        if (rows.size() > kMaxGridRows)
            return fail(where, QStringLiteral("has more than %1 rows").arg(kMaxGridRows));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QString rowWhere = QStringLiteral("%1[%2]").arg(where).arg(r);
            if (!rows[r].isArray() || rows[r].toArray().size() > kGridColumns)
                return fail(rowWhere,
                            QStringLiteral("is not a list of up to %1 cells").arg(kGridColumns));
            const QJsonArray cells = rows[r].toArray();
            QStringList row;
            for (qsizetype c = 0; c < kGridColumns; ++c) {
                QString cell;
                const QString cellWhere = QStringLiteral("%1[%2]").arg(rowWhere).arg(c);
                if (c < cells.size() && !numberText(cells[c], cellWhere, &cell))
                    return false;
                // The grid shows results in their display patterns: a longer text is none.
                if (cell.size() > numtext::kLongestPatternText)
                    return fail(cellWhere, QStringLiteral("has more than %1 characters, more than "
                                                          "any number of the grid")
                                               .arg(numtext::kLongestPatternText));
                row.append(cell);
            }
            out->append(row);
        }
        return true;
    }
};

// The line and column (1-based, in characters) of a byte offset of UTF-8 data.
std::pair<int, int> lineAndColumn(const QByteArray& data, qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, data.size());
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset; ++i)
        if (data[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    int column = 1;
    for (qsizetype i = lineStart; i < offset; ++i)
        if ((static_cast<unsigned char>(data[i]) & 0xC0) != 0x80) // not a continuation byte
            ++column;
    return {line, column};
}

QString jsonString(const QString& text) {
    // The array's compact form is ["text"]: its escaping is JSON's own.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString problemObject(const ProblemRef& p) {
    return QStringLiteral("{\"arrangement\": %1, \"problem\": %2}")
        .arg(jsonString(arrangementKey(p.arrangement)))
        .arg(p.problem);
}

// "name": "text" pairs of columns [first, last), joined by separator.
QString inputPairs(const Inputs& inputs, int first, int last, const QString& separator) {
    QStringList pairs;
    for (int c = first; c < last; ++c)
        pairs.append(jsonString(inputColumn(c)) + QStringLiteral(": ") +
                     jsonString(inputs[static_cast<size_t>(c)]));
    return pairs.join(separator);
}

// The column range of a Problem's inputs.
std::pair<int, int> columnsOf(int problem) {
    int first = -1, last = -1;
    for (int c = 0; c < kInputCount; ++c)
        if (problemOfColumn(c) == problem) {
            if (first < 0)
                first = c;
            last = c + 1;
        }
    return {first, last};
}

// A setting's number as the file keeps it: a decimal point, empty when not given.
QString pointNumber(double value) {
    return std::isnan(value) ? QString() : numtext::generalText(value, QLocale::c());
}

// The "capability" object of the settings that differ from the defaults; empty when none do.
QString capabilityObject(const std::array<engine::CapabilityInputs, 2>& capability) {
    const engine::CapabilityInputs defaults;
    QStringList sides;
    for (Arrangement arrangement : kArrangements) {
        const engine::CapabilityInputs& in =
            capability[arrangement == Arrangement::CounterFlow ? 0 : 1];
        QStringList pairs;
        for (int s = 0; s < engine::kSettingCount; ++s) {
            const auto setting = engine::Setting(s);
            const double value = in.value(setting);
            if (value == defaults.value(setting) ||
                (in.given(setting) == defaults.given(setting) && !in.given(setting)))
                continue;
            const std::string_view key = engine::settingDef(setting).key;
            pairs.append(jsonString(QLatin1String(key.data(), qsizetype(key.size()))) +
                         QStringLiteral(": ") + jsonString(pointNumber(value)));
        }
        if (!in.ambient.empty()) {
            QStringList rows;
            for (const engine::AmbientRow& row : in.ambient)
                rows.append(QStringLiteral("[%1, %2, %3, %4]")
                                .arg(jsonString(pointNumber(row.wetBulb)),
                                     jsonString(pointNumber(row.dryBulb)),
                                     jsonString(pointNumber(row.relativeHumidity)),
                                     jsonString(pointNumber(row.hours))));
            pairs.append(QStringLiteral("\"ambient\": [\n      ") +
                         rows.join(QStringLiteral(",\n      ")) + QStringLiteral("\n    ]"));
        }
        if (!pairs.isEmpty())
            sides.append(QStringLiteral("    %1: {%2}")
                             .arg(jsonString(arrangementKey(arrangement)),
                                  pairs.join(QStringLiteral(", "))));
    }
    return sides.isEmpty() ? QString()
                           : QStringLiteral("{\n%1\n  }").arg(sides.join(QStringLiteral(",\n")));
}

// A number of the "capability" object: a text with a decimal point, or empty.
std::optional<Error> readPointNumber(const QJsonValue& value, const QString& where, double* out) {
    if (!value.isString())
        return Error{where, QStringLiteral("is not a text")};
    const QString text = value.toString();
    if (text.isEmpty()) {
        *out = std::nan("");
        return std::nullopt;
    }
    if (text.size() > 64)
        return Error{where, QStringLiteral("is not a number")};
    const std::optional<double> number = numtext::readNumber(text, QLocale::c());
    if (!number)
        return Error{where, QStringLiteral("is not a number")};
    *out = *number;
    return std::nullopt;
}

std::optional<Error> readCapability(const QJsonObject& object, const QString& where,
                                    engine::CapabilityInputs* in) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        const QString at = where + u'.' + key;
        if (key == QLatin1String("ambient")) {
            if (!it.value().isArray())
                return Error{at, QStringLiteral("is not a list")};
            const QJsonArray rows = it.value().toArray();
            if (rows.size() > engine::kMaxAmbientRows)
                return Error{at,
                             QStringLiteral("has more than %1 rows").arg(engine::kMaxAmbientRows)};
            for (qsizetype r = 0; r < rows.size(); ++r) {
                const QString rowAt = at + QStringLiteral("[%1]").arg(r);
                const QJsonArray cells = rows.at(r).toArray();
                if (!rows.at(r).isArray() || cells.size() != 4)
                    return Error{rowAt, QStringLiteral("is not a list of 4 texts")};
                engine::AmbientRow row;
                double* const slots[] = {&row.wetBulb, &row.dryBulb, &row.relativeHumidity,
                                         &row.hours};
                for (int c = 0; c < 4; ++c)
                    if (auto error = readPointNumber(cells.at(c), rowAt, slots[c]))
                        return error;
                if (auto error = engine::checkAmbientRow(row))
                    return Error{rowAt, *error};
                in->ambient.push_back(row);
            }
            continue;
        }
        const std::optional<engine::Setting> setting = engine::settingOfKey(key.toStdString());
        if (!setting)
            continue; // unknown keys are ignored
        double value = 0;
        if (auto error = readPointNumber(it.value(), at, &value))
            return error;
        if (const std::optional<QString> refused = engine::checkSetting(*setting, value))
            return Error{at, *refused};
        in->values[std::size_t(*setting)] = value;
    }
    return std::nullopt;
}

} // namespace

QString arrangementKey(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? QStringLiteral("counter")
                                                   : QStringLiteral("cross");
}

QString inputColumn(int column) {
    return QString::fromLatin1(kInputColumns[static_cast<size_t>(column)]);
}

int problemOfColumn(int column) {
    return kInputColumns[static_cast<size_t>(column)][1] - '0';
}

int fieldOfColumn(int column) {
    // The columns are the Problems' fields in order: a column's field is its distance from
    // the first column of its Problem.
    int first = column;
    while (first > 0 && problemOfColumn(first - 1) == problemOfColumn(column))
        --first;
    return column - first;
}

FieldRef inputField(Arrangement arrangement, int column) {
    const int problem = problemOfColumn(column);
    return {problemForm(arrangement, problem),
            engine::controlKey(arrangement, problem, fieldOfColumn(column)).data()};
}

const char* problemForm(Arrangement arrangement, int problem) {
    return engine::windowKey(arrangement, problem).data();
}

QString describe(const QString& fileName, const Error& error) {
    return QStringLiteral("The file \"%1\" cannot be opened: %2: %3")
        .arg(fileName, error.where, error.text);
}

Loaded parse(const QByteArray& data) {
    Loaded loaded;
    Reader read;
    const auto failed = [&](const QString& where, const QString& text) {
        read.fail(where, text);
        loaded.error = read.error;
        return loaded;
    };
    if (data.size() > kMaxFileSize)
        return failed(QStringLiteral("size"),
                      QStringLiteral("the file is larger than %1 MiB").arg(kMaxFileSize >> 20));

    QJsonParseError syntax{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &syntax);
    if (syntax.error != QJsonParseError::NoError) {
        // For these the parser has read the offending character and the offset is past it.
        const bool past =
            syntax.offset > 0 && (syntax.error == QJsonParseError::UnterminatedObject ||
                                  syntax.error == QJsonParseError::MissingNameSeparator ||
                                  syntax.error == QJsonParseError::UnterminatedArray ||
                                  syntax.error == QJsonParseError::MissingValueSeparator ||
                                  syntax.error == QJsonParseError::IllegalValue ||
                                  syntax.error == QJsonParseError::MissingObject ||
                                  syntax.error == QJsonParseError::IllegalNumber);
        const auto [line, column] = lineAndColumn(data, syntax.offset - (past ? 1 : 0));
        return failed(QStringLiteral("line %1, column %2").arg(line).arg(column),
                      syntax.errorString() + QStringLiteral(" (not valid JSON)"));
    }
    const QJsonObject root = document.object();
    if (!document.isObject() ||
        root.value(QLatin1String("format")) != QJsonValue(QLatin1String(kFormat)))
        return failed(QStringLiteral("format"),
                      QStringLiteral("this is not an audit file (no \"format\": \"%1\")")
                          .arg(QLatin1String(kFormat)));
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != static_cast<double>(version.toInt()) ||
        version.toInt() < 1)
        return failed(QStringLiteral("version"), QStringLiteral("is not a format version number"));
    if (version.toInt() > kVersion)
        return failed(QStringLiteral("version"),
                      QStringLiteral("the file has format version %1, written by a newer "
                                     "program; this one reads version %2")
                          .arg(version.toInt())
                          .arg(kVersion));

    SavedAudit& a = loaded.audit;
    for (Arrangement arrangement : kArrangements) {
        const QString key = arrangementKey(arrangement);
        if (!read.inputs(root.value(key), key, 0, kInputCount, &a.inputs(arrangement))) {
            loaded.error = read.error;
            return loaded;
        }
    }
    if (const QJsonValue v = root.value(QLatin1String("arrangement")); !v.isUndefined())
        read.arrangement(v, QStringLiteral("arrangement"), &a.arrangement);

    if (const QJsonValue v = root.value(QLatin1String("calculated")); !v.isUndefined()) {
        if (!v.isArray())
            return failed(QStringLiteral("calculated"), QStringLiteral("is not a list"));
        const QJsonArray list = v.toArray();
        if (list.size() > kMaxCalculations)
            return failed(QStringLiteral("calculated"),
                          QStringLiteral("has more than %1 calculations").arg(kMaxCalculations));
        for (qsizetype i = 0; i < list.size() && !read.error; ++i) {
            const QString where = QStringLiteral("calculated[%1]").arg(i);
            Calculation c;
            if (!read.problem(list[i], where, &c.problem))
                break;
            const QJsonValue inputs = list[i].toObject().value(QLatin1String("inputs"));
            if (!inputs.isUndefined()) {
                const auto [first, last] = columnsOf(c.problem.problem);
                c.inputs = Inputs{};
                read.inputs(inputs, where + QStringLiteral(".inputs"), first, last, &*c.inputs);
            }
            a.calculated.append(c);
        }
    }

    if (const QJsonValue v = root.value(QLatin1String("grids")); !v.isUndefined()) {
        if (!v.isObject())
            return failed(QStringLiteral("grids"), QStringLiteral("is not an object"));
        for (Arrangement arrangement : kArrangements) {
            const QString key = arrangementKey(arrangement);
            const QJsonValue grid = v.toObject().value(key);
            if (grid.isUndefined())
                continue;
            auto& slot = arrangement == Arrangement::CounterFlow ? a.counterGrid : a.crossGrid;
            slot = Grid{};
            read.grid(grid, QStringLiteral("grids.") + key, &*slot);
        }
    }

    if (const QJsonValue v = root.value(QLatin1String("active")); !v.isUndefined()) {
        ProblemRef active;
        if (read.problem(v, QStringLiteral("active"), &active))
            a.active = active;
    }
    if (const QJsonValue v = root.value(QLatin1String("report")); !v.isUndefined()) {
        if (!v.isObject())
            return failed(QStringLiteral("report"), QStringLiteral("is not an object"));
        const QJsonObject report = v.toObject();
        const std::pair<const char*, QString*> texts[] = {{"tower", &a.report.tower},
                                                          {"site", &a.report.site},
                                                          {"date", &a.report.date},
                                                          {"engineer", &a.report.engineer}};
        for (const auto& [key, text] : texts) {
            const QJsonValue value = report.value(QLatin1String(key));
            const QString where = QStringLiteral("report.") + QLatin1String(key);
            if (value.isUndefined())
                continue;
            if (!value.isString())
                return failed(where, QStringLiteral("is not a text"));
            if (value.toString().size() > engine::ReportTitle::kMaxLength)
                return failed(where, QStringLiteral("has more than %1 characters")
                                         .arg(engine::ReportTitle::kMaxLength));
            *text = value.toString();
        }
    }
    if (const QJsonValue v = root.value(QLatin1String("capability")); !v.isUndefined()) {
        if (!v.isObject())
            return failed(QStringLiteral("capability"), QStringLiteral("is not an object"));
        for (Arrangement arrangement : kArrangements) {
            const QString key = arrangementKey(arrangement);
            const QJsonValue side = v.toObject().value(key);
            if (side.isUndefined())
                continue;
            const QString where = QStringLiteral("capability.") + key;
            if (!side.isObject())
                return failed(where, QStringLiteral("is not an object"));
            std::optional<Error> error =
                readCapability(side.toObject(), where,
                               &a.capability[arrangement == Arrangement::CounterFlow ? 0 : 1]);
            if (error)
                return failed(error->where, error->text);
        }
    }
    a.saved = root.value(QLatin1String("saved")).toString();
    a.program = root.value(QLatin1String("program")).toString();
    loaded.error = read.error;
    return loaded;
}

std::optional<Error> checkFields(const SavedAudit& audit) {
    const auto check = [](Arrangement arrangement, const Inputs& inputs, int first, int last,
                          const QString& where) -> std::optional<Error> {
        for (int c = first; c < last; ++c) {
            const QString& text = inputs[static_cast<size_t>(c)];
            if (text.isEmpty())
                continue; // an empty field; its Problem cannot be calculated with it
            const FieldDef* def = findField(arrangement, problemOfColumn(c), fieldOfColumn(c));
            if (!def)
                continue;
            const std::optional<std::string_view> message =
                checkField(*def, numtext::readNumber(text, QLocale::c()));
            if (message)
                return Error{where + u'.' + inputColumn(c),
                             QStringLiteral("%1 is refused by its field: %2")
                                 .arg(quotedText(text),
                                      QString::fromUtf8(message->data(),
                                                        static_cast<qsizetype>(message->size())))};
        }
        return std::nullopt;
    };
    for (Arrangement arrangement : kArrangements)
        if (auto error = check(arrangement, audit.inputs(arrangement), 0, kInputCount,
                               arrangementKey(arrangement)))
            return error;
    for (qsizetype i = 0; i < audit.calculated.size(); ++i) {
        const Calculation& c = audit.calculated[i];
        if (!c.inputs)
            continue;
        const auto [first, last] = columnsOf(c.problem.problem);
        if (auto error = check(c.problem.arrangement, *c.inputs, first, last,
                               QStringLiteral("calculated[%1].inputs").arg(i)))
            return error;
    }
    return std::nullopt;
}

QByteArray serialise(const SavedAudit& audit) {
    QString out;
    const auto line = [&out](const QString& text) { out += text + u'\n'; };
    line(QStringLiteral("{"));
    line(QStringLiteral("  \"format\": %1,").arg(jsonString(QLatin1String(kFormat))));
    line(QStringLiteral("  \"version\": %1,").arg(kVersion));
    line(QStringLiteral("  \"program\": %1,").arg(jsonString(audit.program)));
    line(QStringLiteral("  \"saved\": %1,").arg(jsonString(audit.saved)));
    line(QStringLiteral("  \"arrangement\": %1,")
             .arg(jsonString(arrangementKey(audit.arrangement))));
    if (!audit.report.empty())
        line(QStringLiteral("  \"report\": {\"tower\": %1, \"site\": %2, \"date\": %3, "
                            "\"engineer\": %4},")
                 .arg(jsonString(audit.report.tower), jsonString(audit.report.site),
                      jsonString(audit.report.date), jsonString(audit.report.engineer)));
    if (const QString capability = capabilityObject(audit.capability); !capability.isEmpty())
        line(QStringLiteral("  \"capability\": %1,").arg(capability));
    for (Arrangement arrangement : kArrangements) {
        line(QStringLiteral("  %1: {").arg(jsonString(arrangementKey(arrangement))));
        line(QStringLiteral("    ") +
             inputPairs(audit.inputs(arrangement), 0, kInputCount, QStringLiteral(",\n    ")));
        line(QStringLiteral("  },"));
    }
    QStringList calculations;
    for (const Calculation& c : audit.calculated) {
        QString entry = problemObject(c.problem);
        if (c.inputs) {
            const auto [first, last] = columnsOf(c.problem.problem);
            entry.chop(1);
            entry += QStringLiteral(", \"inputs\": {%1}}")
                         .arg(inputPairs(*c.inputs, first, last, QStringLiteral(", ")));
        }
        calculations.append(QStringLiteral("    ") + entry);
    }
    line(calculations.isEmpty() ? QStringLiteral("  \"calculated\": [],")
                                : QStringLiteral("  \"calculated\": [\n%1\n  ],")
                                      .arg(calculations.join(QStringLiteral(",\n"))));
    QStringList grids;
    for (Arrangement arrangement : kArrangements) {
        const std::optional<Grid>& grid =
            arrangement == Arrangement::CounterFlow ? audit.counterGrid : audit.crossGrid;
        QStringList rows;
        for (const QStringList& row : grid.value_or(Grid{})) {
            QStringList cells;
            for (const QString& cell : row)
                cells.append(jsonString(cell));
            rows.append(QStringLiteral("      [") + cells.join(QStringLiteral(", ")) + u']');
        }
        grids.append(rows.isEmpty()
                         ? QStringLiteral("    %1: []").arg(jsonString(arrangementKey(arrangement)))
                         : QStringLiteral("    %1: [\n%2\n    ]")
                               .arg(jsonString(arrangementKey(arrangement)),
                                    rows.join(QStringLiteral(",\n"))));
    }
    line(QStringLiteral("  \"grids\": {\n%1\n  }%2")
             .arg(grids.join(QStringLiteral(",\n")),
                  audit.active ? QStringLiteral(",") : QString()));
    if (audit.active)
        line(QStringLiteral("  \"active\": ") + problemObject(*audit.active));
    line(QStringLiteral("}"));
    return out.toUtf8();
}

bool looksLikeAudit(const QByteArray& data) {
    QByteArrayView view(data);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    for (const char c : view) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            continue;
        return c == '{';
    }
    return false;
}

QString toPointText(const QString& shown, const QLocale& locale) {
    const std::optional<double> value = numtext::readNumber(shown, locale);
    if (!value)
        return shown.isEmpty() ? shown : QString(); // a field holds numbers or nothing
    QString point = shown;
    point.replace(locale.decimalPoint(), QStringLiteral("."));
    if (numtext::readNumber(point, QLocale::c()) == value)
        return point;
    return numtext::generalText(*value, QLocale::c());
}

QString toLocaleText(const QString& point, const QLocale& locale) {
    const std::optional<double> value = numtext::readNumber(point, QLocale::c());
    if (!value)
        return QString();
    QString shown = point;
    shown.replace(QStringLiteral("."), locale.decimalPoint());
    if (numtext::readNumber(shown, locale) == value)
        return shown;
    return numtext::generalText(*value, locale);
}

QString programName() {
    return QStringLiteral("ctaudit " CTAUDIT_VERSION);
}

} // namespace auditfile
