// ctaudit-batch: runs the measurement sets of a CSV file through the four Problems of one tower
// arrangement, as the windows would, and writes the report's quantities of each as CSV, and on
// request each case's diagrams as SVG files and its report as a PDF file.

#include "auditfile/batchinput.h"
#include "auditfile/csv.h"
#include "auditfile/weatherfile.h"
#include "batch/auditcases.h"
#include "batch/batchaudit.h"
#include "batch/batchcapability.h"
#include "batch/batchrunner.h"
#include "batch/batchuncertainty.h"
#include "batch/batchworkbook.h"
#include "diagrams/auditdiagramsource.h"
#include "diagrams/diagramfiles.h"
#include "engine/atomicfile.h"
#include "reports/auditreport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFailed = 1;   // the tool itself failed (a worker process)
constexpr int kBadInput = 2; // bad arguments, an unreadable or damaged file, an unwritable output
// The most worker processes a run starts: more only share the same processors.
constexpr int kMaxJobs = 64;
// The most a pipe or a device gives as input: it is kept in a temporary file to be read twice,
// and a device such as /dev/zero never ends.
constexpr qint64 kMaxStreamedInput = qint64(1) << 30;
// The most a weather file may hold: a year of hourly rows with a few more columns (a date, a
// station) takes a few MiB.
constexpr qint64 kMaxWeatherFile = qint64(64) << 20;

void printError(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("ctaudit-batch: ") + text + u'\n'), stderr);
}

// Whether the arguments ask for diagrams or reports, which are drawn by widgets: only then does
// the tool need a GUI application object (without a display: it draws off screen).
bool drawsDiagrams(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"--diagrams", "--report"})
            if (std::strcmp(argv[i], option) == 0 ||
                (std::strncmp(argv[i], option, std::strlen(option)) == 0 &&
                 argv[i][std::strlen(option)] == '='))
                return true;
    return false;
}

// The descriptor of this process that a path leads to through its symbolic links, such as 1
// for /dev/stdout: that file is written through it, where it stands and as it was opened
// (perhaps for appending), whatever kind of file it is.
std::optional<int> openFileNamed(QString path) {
    const QString self = QStringLiteral("/proc/%1/fd/").arg(QCoreApplication::applicationPid());
    for (int hop = 0; hop < 40; ++hop) {
        path = QFileInfo(path).absoluteFilePath();
        for (const QString& prefix :
             {QStringLiteral("/proc/self/fd/"), self, QStringLiteral("/dev/fd/")})
            if (path.startsWith(prefix)) {
                bool ok = false;
                const int fd = path.mid(prefix.size()).toInt(&ok);
                if (ok && fd >= 0)
                    return fd;
            }
        const QString target = QFileInfo(path).symLinkTarget();
        if (target.isEmpty())
            return std::nullopt;
        path = target;
    }
    return std::nullopt;
}

// The input (a name, or - for standard input) that is the same regular file as output, if
// any.
std::optional<QString> sameFileAs(const QString& output, const QStringList& inputs) {
    struct stat target {};
    // A new file, or a device or a pipe (a terminal may be both input and output).
    if (::stat(QFile::encodeName(output).constData(), &target) != 0 || !S_ISREG(target.st_mode))
        return std::nullopt;
    for (const QString& input : inputs) {
        struct stat status {};
        const bool found = input == QLatin1String("-")
                               ? ::fstat(STDIN_FILENO, &status) == 0
                               : ::stat(QFile::encodeName(input).constData(), &status) == 0;
        if (found && status.st_dev == target.st_dev && status.st_ino == target.st_ino)
            return input == QLatin1String("-") ? QStringLiteral("(standard input)") : input;
    }
    return std::nullopt;
}

// Reads a weather file (auditfile/weatherfile.h) whole into *data and its rows into *rows;
// returns why it cannot.
std::optional<QString> readWeatherFile(const QString& name, QByteArray* data,
                                       std::vector<engine::AmbientRow>* rows) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(name, file.errorString());
    data->clear();
    for (;;) {
        const QByteArray chunk = file.read(1 << 16);
        if (file.error() != QFileDevice::NoError)
            return QStringLiteral("%1: %2").arg(name, file.errorString());
        if (chunk.isEmpty())
            break;
        *data += chunk;
        if (data->size() > kMaxWeatherFile)
            return QStringLiteral("%1: more than %2 MiB, more than a weather file of a year holds")
                .arg(name)
                .arg(kMaxWeatherFile >> 20);
    }
    auditfile::Weather weather = auditfile::readWeather(*data);
    if (weather.error)
        return weather.error->describe(name);
    *rows = std::move(weather.rows);
    return std::nullopt;
}

// Writes a case's diagrams into dir; returns why it could not.
std::optional<QString> writeDiagrams(const QString& dir, Arrangement arrangement, int caseNumber,
                                     const engine::Audit& audit) {
    QString error;
    diagramfiles::writeSvg(AuditDiagramSource(audit), arrangement, dir, QString::number(caseNumber),
                           &error);
    if (error.isEmpty())
        return std::nullopt;
    return error;
}

// Writes a case's report into dir as <case>-<counterflow|crossflow>-report.pdf; with the
// uncertainty, its first-order table. Returns why it could not.
std::optional<QString> writeReport(const QString& dir, Arrangement arrangement, int caseNumber,
                                   bool withUncertainty, const engine::Audit& audit) {
    auditreport::Options options;
    options.arrangement = arrangement;
    options.program = QStringLiteral("ctaudit " CTAUDIT_VERSION);
    // The capability's uncertainty with the fields' hints: a batch has no Uncertainty window.
    options.accuracies = uncertainty::hintAccuracies();
    if (withUncertainty)
        options.uncertainty = auditreport::firstOrderTable(audit, arrangement);
    else
        options.noUncertainty = QStringLiteral("The uncertainty of the results was not "
                                               "calculated (ctaudit-batch --uncertainty).");
    const QString path = QDir(dir).filePath(QStringLiteral("%1-%2-report.pdf")
                                                .arg(caseNumber)
                                                .arg(arrangement == Arrangement::CounterFlow
                                                         ? QStringLiteral("counterflow")
                                                         : QStringLiteral("crossflow")));
    QString error;
    if (auditreport::writePdf(path, audit, options, auditreport::defaultPageSize(QLocale::system()),
                              &error))
        return std::nullopt;
    return QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(path), error);
}

} // namespace

int main(int argc, char* argv[]) {
    // A limit on the file size (ulimit -f) makes a write past it fail with "File too large",
    // which every write reports, instead of ending the tool (and a worker) without a word and
    // leaving its new files behind.
    std::signal(SIGXFSZ, SIG_IGN);
    // A closed pipe on standard output (| head) makes a write fail with "Broken pipe", which
    // is reported, instead of ending the tool without a word.
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<QCoreApplication> app;
    if (drawsDiagrams(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("ctaudit-batch"));
    BatchAudit::prepareLocale();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs each measurement set of a CSV file through Problems 1 to 4 of the cooling-tower "
        "audit and writes the report's 58 quantities of each as CSV."));
    parser.addHelpOption();
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Shows the version and exits."));
    parser.addOption(versionOption);
    const QCommandLineOption arrangementOption(
        QStringLiteral("arrangement"), QStringLiteral("Tower arrangement: counter or cross."),
        QStringLiteral("counter|cross"), QStringLiteral("counter"));
    const QCommandLineOption outputOption(QStringLiteral("output"),
                                          QStringLiteral("Write to FILE instead of stdout."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption jobsOption(
        QStringLiteral("jobs"),
        QStringLiteral("Run the cases in up to N processes (default: one per processor)."),
        QStringLiteral("N"), QString::number(QThread::idealThreadCount()));
    parser.addOption(arrangementOption);
    parser.addOption(outputOption);
    const QCommandLineOption uncertaintyOption(
        QStringLiteral("uncertainty"),
        QStringLiteral("Append the expanded uncertainty (first order, k = 2) of the results: "
                       "U(<quantity>) columns."));
    const QCommandLineOption diagramsOption(
        QStringLiteral("diagrams"),
        QStringLiteral("Write each case's diagrams into DIR (made if missing) as SVG files named "
                       "<case>-<counterflow|crossflow>-problem<N>-<kind>.svg."),
        QStringLiteral("DIR"));
    const QCommandLineOption xlsxOption(
        QStringLiteral("xlsx"),
        QStringLiteral("Write the output as an .xlsx workbook FILE: one row per case, numbers as "
                       "numbers, the U(...) columns on a second sheet. CSV is then written only "
                       "with --output."),
        QStringLiteral("FILE"));
    const QCommandLineOption reportOption(
        QStringLiteral("report"),
        QStringLiteral("Write each case's report into DIR (made if missing) as a PDF file named "
                       "<case>-<counterflow|crossflow>-report.pdf; with --uncertainty it holds "
                       "the first-order uncertainty table."),
        QStringLiteral("DIR"));
    const QCommandLineOption capabilityOption(
        QStringLiteral("capability"),
        QStringLiteral("Append the tower's capability: the Merkel number at the test, the "
                       "capability and its uncertainty, ... (capability.* columns)."));
    const QCommandLineOption savingsOption(
        QStringLiteral("savings"),
        QStringLiteral("Append the water (evaporation, make-up water) and the fan energy that a "
                       "variable-speed drive saves (water.*, fan.* columns)."));
    const QCommandLineOption weatherOption(
        QStringLiteral("weather"),
        QStringLiteral("With --savings: the ambient table of every case from the weather FILE "
                       "(CSV: twb, or tdb and rh; optional hours; one hour a row without)."),
        QStringLiteral("FILE"));
    parser.addOption(jobsOption);
    parser.addOption(uncertaintyOption);
    parser.addOption(capabilityOption);
    parser.addOption(savingsOption);
    parser.addOption(weatherOption);
    parser.addOption(xlsxOption);
    parser.addOption(diagramsOption);
    parser.addOption(reportOption);
    // The worker processes' mode: the canonical input on standard input, rows written at once.
    QCommandLineOption workerOption(QStringLiteral("worker"));
    workerOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(workerOption);
    parser.addPositionalArgument(
        QStringLiteral("input"),
        QStringLiteral("The CSV file, or - for standard input; or audit files, each one case."));
    if (!parser.parse(QCoreApplication::arguments())) {
        printError(parser.errorText());
        return kBadInput;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::fputs("ctaudit-batch " CTAUDIT_VERSION "\n", stdout);
        return 0;
    }
    const QString arrangementName = parser.value(arrangementOption);
    if (arrangementName != QLatin1String("counter") && arrangementName != QLatin1String("cross")) {
        printError(QStringLiteral("--arrangement must be counter or cross, not \"%1\"")
                       .arg(arrangementName));
        return kBadInput;
    }
    bool jobsOk = false;
    int jobs = parser.value(jobsOption).toInt(&jobsOk);
    if (!jobsOk || jobs < 1) {
        printError(QStringLiteral("--jobs must be a whole number from 1, not \"%1\"")
                       .arg(parser.value(jobsOption)));
        return kBadInput;
    }
    if (jobs > kMaxJobs) {
        printError(QStringLiteral("--jobs %1 is more than the tool runs; it uses %2 processes")
                       .arg(jobs)
                       .arg(kMaxJobs));
        jobs = kMaxJobs;
    }
    const Arrangement arrangement = arrangementName == QLatin1String("counter")
                                        ? Arrangement::CounterFlow
                                        : Arrangement::CrossFlow;
    const std::optional<AuditCases> audits =
        readAuditCases(parser.positionalArguments(), arrangement);
    if (audits && audits->error) {
        printError(*audits->error);
        return kBadInput;
    }
    if (!audits && parser.positionalArguments().size() != 1 && !parser.isSet(workerOption)) {
        printError(QStringLiteral("give one input file, or - for standard input"));
        return kBadInput;
    }

    // An output that is an input (by another name, through a link) would destroy it: the
    // files are compared, not their names.
    for (const QCommandLineOption* option : {&outputOption, &xlsxOption}) {
        if (!parser.isSet(*option) || parser.isSet(workerOption))
            continue;
        if (const std::optional<QString> input =
                sameFileAs(parser.value(*option), parser.positionalArguments())) {
            printError(QStringLiteral("%1 is the input %2: give another output file")
                           .arg(parser.value(*option), *input));
            return kBadInput;
        }
    }

    // What is written after each case: its diagrams, its report.
    std::vector<std::function<std::optional<QString>(int, const engine::Audit&)>> afterEach;
    BatchRunner::AfterCase afterCase;
    const auto folder = [&](const QCommandLineOption& option, const char* what) {
        if (parser.value(option).isEmpty()) {
            printError(QStringLiteral("--%1 needs the name of a folder to write %2 into")
                           .arg(option.names().front(), QLatin1String(what)));
            return std::optional<QString>();
        }
        const QString dir = QDir(parser.value(option)).absolutePath();
        if (!parser.isSet(workerOption) &&
            (!QDir().mkpath(dir) || !QFileInfo(dir).isDir() || !QFileInfo(dir).isWritable())) {
            printError(QStringLiteral("%1: cannot write %2 into this folder")
                           .arg(QDir::toNativeSeparators(dir), QLatin1String(what)));
            return std::optional<QString>();
        }
        return std::optional<QString>(dir);
    };
    if (parser.isSet(diagramsOption)) {
        const std::optional<QString> dir = folder(diagramsOption, "diagrams");
        if (!dir)
            return kBadInput;
        afterEach.push_back([dir = *dir, arrangement](int caseNumber, const engine::Audit& audit) {
            return writeDiagrams(dir, arrangement, caseNumber, audit);
        });
        afterCase.workerArguments << QStringLiteral("--diagrams=") + *dir;
    }
    if (parser.isSet(reportOption)) {
        const std::optional<QString> dir = folder(reportOption, "reports");
        if (!dir)
            return kBadInput;
        const bool withUncertainty = parser.isSet(uncertaintyOption);
        afterEach.push_back(
            [dir = *dir, arrangement, withUncertainty](int caseNumber, const engine::Audit& audit) {
                return writeReport(dir, arrangement, caseNumber, withUncertainty, audit);
            });
        afterCase.workerArguments << QStringLiteral("--report=") + *dir;
    }
    if (!afterEach.empty())
        afterCase.run = [afterEach](int caseNumber,
                                    const engine::Audit& audit) -> std::optional<QString> {
            for (const auto& write : afterEach)
                if (std::optional<QString> error = write(caseNumber, audit))
                    return error;
            return std::nullopt;
        };

    // The capability and energy columns; the weather file is read once here, and a worker
    // process reads a copy of what was read.
    CapabilityColumns capability;
    capability.capability = parser.isSet(capabilityOption);
    capability.savings = parser.isSet(savingsOption);
    QTemporaryFile weatherCopy;
    if (parser.isSet(weatherOption)) {
        if (!capability.savings) {
            printError(QStringLiteral("--weather serves the savings columns: give --savings too"));
            return kBadInput;
        }
        QByteArray data;
        if (const std::optional<QString> error =
                readWeatherFile(parser.value(weatherOption), &data, &capability.weather)) {
            printError(*error);
            return kBadInput;
        }
        if (!parser.isSet(workerOption) && jobs > 1) {
            if (!weatherCopy.open() || weatherCopy.write(data) != data.size() ||
                !weatherCopy.flush()) {
                printError(QStringLiteral("%1: %2").arg(weatherCopy.fileName(),
                                                        weatherCopy.errorString()));
                return kBadInput;
            }
            capability.weatherFile = weatherCopy.fileName();
        }
    }
    if (parser.isSet(workerOption))
        return BatchRunner::runWorker(arrangement, afterCase, parser.isSet(uncertaintyOption),
                                      capability);

    // The input is read through and checked once before any case runs, so that a damaged
    // file stops the tool before anything is written; then it is read again case by case.
    // Standard input is kept in a temporary file for the second reading. Audit files have been
    // read and checked whole: their cases, each with its file's settings, are run as they are.
    const QString inputName = parser.positionalArguments().front();
    const bool fromStdin = inputName == QLatin1String("-");
    const QString source = fromStdin ? QStringLiteral("<stdin>") : inputName;
    QFile inputFile;
    QTemporaryFile spool;
    QIODevice* input = &inputFile;
    const auto unreadable = [&](const QIODevice& device) {
        printError(QStringLiteral("%1: %2").arg(inputName, device.errorString()));
        return kBadInput;
    };
    if (!audits) {
        if (fromStdin ? !inputFile.open(STDIN_FILENO, QIODevice::ReadOnly)
                      : (inputFile.setFileName(inputName), !inputFile.open(QIODevice::ReadOnly)))
            return unreadable(inputFile);
        // A pipe, a FIFO or a device is read as a stream to its end (or the cap) and kept in a
        // temporary file for the second reading; a regular file is read where it is.
        // A device (/dev/zero, a disk) or a folder is refused at once: it is no CSV file, and a
        // device may never end. A terminal is standard input typed into.
        struct stat status {};
        if (::fstat(inputFile.handle(), &status) == 0 && !S_ISREG(status.st_mode) &&
            !S_ISFIFO(status.st_mode) && !S_ISSOCK(status.st_mode) && !isatty(inputFile.handle())) {
            printError(QStringLiteral("%1: it is not a regular file or a pipe").arg(source));
            return kBadInput;
        }
        if (fromStdin || inputFile.isSequential()) {
            if (!spool.open())
                return unreadable(spool);
            QByteArray start; // the first line, or its first 4 KiB
            for (qint64 total = 0;;) {
                const QByteArray chunk = inputFile.read(1 << 16);
                if (inputFile.error() != QFileDevice::NoError)
                    return unreadable(inputFile);
                if (chunk.isEmpty())
                    break;
                // A stream that cannot start with a header is refused before it is kept.
                if (start.size() < 4096 && !start.contains('\n')) {
                    start += chunk.first(std::min<qsizetype>(chunk.size(), 4096));
                    if (const std::optional<QString> why = firstLineIsNoHeader(start)) {
                        printError(QStringLiteral("%1:1: %2").arg(source, *why));
                        return kBadInput;
                    }
                }
                total += chunk.size();
                if (total > kMaxStreamedInput) {
                    printError(QStringLiteral("%1: more than %2 MiB from a pipe or device; give "
                                              "it as a file")
                                   .arg(source)
                                   .arg(kMaxStreamedInput >> 20));
                    return kBadInput;
                }
                if (spool.write(chunk) != chunk.size())
                    return unreadable(spool);
            }
            input = &spool;
        }
    }
    qsizetype total = 0;
    if (audits) {
        total = audits->input.cases.size();
    } else {
        input->seek(0);
        BatchReader check(*input);
        check.checkNumbers();
        while (check.next(csv::Reader::Cells::Counted))
            ++total;
        if (check.error()) {
            printError(check.error()->describe(source));
            return kBadInput;
        }
    }
    std::optional<BatchReader> reader;
    std::unique_ptr<CaseSource> cases;
    if (audits) {
        cases = std::make_unique<ListedCases>(audits->input.cases);
    } else {
        input->seek(0);
        reader.emplace(*input);
        reader->checkNumbers();
        cases = std::make_unique<FileCases>(*reader);
    }
    const bool withUncertainty = parser.isSet(uncertaintyOption);
    const QStringList capabilityHeader = capability.headerCells();

    // The workbook, when asked for, is made before any case runs: a folder that cannot be
    // written stops the tool at once.
    std::optional<BatchWorkbook> workbook;
    const QString workbookName = parser.value(xlsxOption);
    if (parser.isSet(xlsxOption)) {
        if (total > BatchWorkbook::kMaxCases) {
            printError(QStringLiteral("%1: %2 cases are more than a worksheet holds (%3)")
                           .arg(workbookName)
                           .arg(total)
                           .arg(BatchWorkbook::kMaxCases));
            return kBadInput;
        }
        workbook.emplace(workbookName, BatchAudit::headerCells(),
                         withUncertainty ? uncertaintyHeaderCells() : QStringList(),
                         capabilityHeader);
        if (!workbook->error().isEmpty()) {
            printError(QStringLiteral("%1: %2").arg(workbookName, workbook->error()));
            return kBadInput;
        }
    }
    // With a workbook, CSV goes only to an --output file.
    const bool writesCsv = !workbook || parser.isSet(outputOption);

    // An output file is written beside the old one and renamed onto its name only when
    // complete; a link of that name is replaced, never written through (engine/atomicfile.h).
    // A target that is not a regular file or a link (a FIFO, a device) or is one this process
    // has open (standard output by its name, perhaps appended to) is written directly: it is
    // never replaced.
    AtomicFile outputFile;
    QFile directFile;
    QFileDevice* output = nullptr;
    QString outputName = QStringLiteral("standard output");
    std::optional<int> descriptor = STDOUT_FILENO;
    bool direct = true;
    if (parser.isSet(outputOption)) {
        outputName = parser.value(outputOption);
        descriptor = openFileNamed(outputName);
        struct stat status {};
        direct = descriptor || (::lstat(QFile::encodeName(outputName).constData(), &status) == 0 &&
                                !S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode));
    }
    if (writesCsv && direct) {
        if (descriptor
                ? !directFile.open(*descriptor, QIODevice::WriteOnly)
                : (directFile.setFileName(outputName), !directFile.open(QIODevice::WriteOnly))) {
            printError(QStringLiteral("%1: %2").arg(outputName, directFile.errorString()));
            return kBadInput;
        }
        output = &directFile;
    } else if (writesCsv) {
        outputFile.setPath(outputName);
        if (!outputFile.open()) {
            printError(QStringLiteral("%1: %2").arg(outputName, outputFile.error()));
            return kBadInput;
        }
        output = &outputFile.file();
    }
    // Every write is checked, the first one flushed at once: a full disk or a closed pipe
    // stops the run at its first row, not after every case has run.
    std::optional<QString> outputError;
    bool flushed = false;
    const auto put = [&](const QByteArray& bytes) {
        if (outputError)
            return false;
        if (!output)
            return true;
        if (output->write(bytes) != bytes.size() || (!flushed && !output->flush()))
            outputError = QString::fromLocal8Bit(std::strerror(errno));
        flushed = true;
        return !outputError;
    };

    const bool showProgress = isatty(STDERR_FILENO) != 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    const auto progress = [&](qsizetype done, qsizetype total) {
        if (!showProgress || (sinceProgress.elapsed() < 200 && done < total))
            return;
        std::fprintf(stderr, "\rctaudit-batch: case %lld of %lld", static_cast<long long>(done),
                     static_cast<long long>(total));
        std::fflush(stderr);
        sinceProgress.restart();
    };
    // The header goes out with the first row, so that a failed run writes nothing at all.
    bool headerWritten = false;
    const auto write = [&](const QByteArray& row) {
        if (!headerWritten &&
            !put(csv::record(BatchAudit::headerCells() +
                             (withUncertainty ? uncertaintyHeaderCells() : QStringList()) +
                             capabilityHeader)
                     .toUtf8()))
            return false;
        headerWritten = true;
        if (row.isEmpty())
            return true;
        if (workbook) {
            const csv::Table parsed = csv::parse(QString::fromUtf8(row));
            if (!workbook->addRow(parsed.records.isEmpty() ? QStringList()
                                                           : parsed.records[0].cells)) {
                outputName = workbookName;
                outputError = workbook->error();
                return false;
            }
        }
        return put(row);
    };
    const auto outputFailed = [&] {
        printError(QStringLiteral("%1: %2").arg(outputName, *outputError));
        return kBadInput;
    };
    BatchRunner runner(arrangement, jobs, afterCase);
    runner.setUncertainty(withUncertainty);
    runner.setCapabilityColumns(std::move(capability));
    const std::optional<QString> failure = runner.run(*cases, total, write, progress);
    if (showProgress && total > 0)
        std::fputc('\n', stderr);
    if (outputError)
        return outputFailed();
    if (failure) {
        printError(*failure);
        return runner.writeFailed() ? kBadInput : kFailed;
    }
    if (!write({})) // the header of a file without cases
        return outputFailed();

    // The workbook is completed first: it is the larger file.
    if (workbook && !workbook->commit()) {
        outputName = workbookName;
        outputError = workbook->error();
        return outputFailed();
    }
    // The rows still in the write buffer go out before the commit, which would not report a
    // failed last write (a full disk) and replace the old file with a short one.
    if (output && !output->flush()) {
        outputError = QString::fromLocal8Bit(std::strerror(errno)); // Qt's text may be empty
        return outputFailed();
    }
    if (output && !direct && !outputFile.commit()) {
        outputError = outputFile.error();
        return outputFailed();
    }
    return 0;
}
