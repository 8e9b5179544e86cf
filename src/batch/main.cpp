// ctaudit-batch: runs the measurement sets of a CSV file through the four Problems of one tower
// arrangement, as the windows would, and writes the report's quantities of each as CSV.

#include "batch/auditcases.h"
#include "batch/batchaudit.h"
#include "batch/batchinput.h"
#include "batch/batchrunner.h"
#include "batch/batchuncertainty.h"
#include "batch/csv.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kFailed = 1;   // the tool itself failed (a worker process)
constexpr int kBadInput = 2; // bad arguments, an unreadable or damaged file, an unwritable output

void printError(const QString& text) {
    std::fputs(qPrintable(QStringLiteral("ctaudit-batch: ") + text + u'\n'), stderr);
}

} // namespace

int main(int argc, char* argv[]) {
    BatchAudit::preparePlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ctaudit-batch"));
    BatchAudit::prepareLocale();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs each measurement set of a CSV file through Problems 1 to 4 of the cooling-tower "
        "windows and writes the report's 58 quantities of each as CSV."));
    parser.addHelpOption();
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
    parser.addOption(jobsOption);
    parser.addOption(uncertaintyOption);
    parser.addPositionalArgument(
        QStringLiteral("input"),
        QStringLiteral("The CSV file, or - for standard input; or audit files, each one case."));
    if (!parser.parse(QApplication::arguments())) {
        printError(parser.errorText());
        return kBadInput;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    const QString arrangementName = parser.value(arrangementOption);
    if (arrangementName != QLatin1String("counter") && arrangementName != QLatin1String("cross")) {
        printError(QStringLiteral("--arrangement must be counter or cross, not \"%1\"")
                       .arg(arrangementName));
        return kBadInput;
    }
    bool jobsOk = false;
    const int jobs = parser.value(jobsOption).toInt(&jobsOk);
    if (!jobsOk || jobs < 1) {
        printError(QStringLiteral("--jobs must be a whole number from 1, not \"%1\"")
                       .arg(parser.value(jobsOption)));
        return kBadInput;
    }
    const std::optional<AuditCases> audits =
        readAuditCases(parser.positionalArguments(), arrangementName == QLatin1String("counter")
                                                         ? Arrangement::CounterFlow
                                                         : Arrangement::CrossFlow);
    if (audits && audits->error) {
        printError(*audits->error);
        return kBadInput;
    }
    if (!audits && parser.positionalArguments().size() != 1) {
        printError(QStringLiteral("give one input file, or - for standard input"));
        return kBadInput;
    }

    // The whole input is read and checked before any case runs.
    const QString inputName = parser.positionalArguments().front();
    const bool fromStdin = inputName == QLatin1String("-");
    QFile inputFile;
    const bool opened =
        fromStdin ? inputFile.open(stdin, QIODevice::ReadOnly)
                  : (inputFile.setFileName(inputName), inputFile.open(QIODevice::ReadOnly));
    if (!opened) {
        printError(QStringLiteral("%1: %2").arg(inputName, inputFile.errorString()));
        return kBadInput;
    }
    const QByteArray data = inputFile.readAll();
    if (inputFile.error() != QFileDevice::NoError) {
        printError(QStringLiteral("%1: %2").arg(inputName, inputFile.errorString()));
        return kBadInput;
    }
    const BatchInput input = audits ? audits->input : BatchInput::read(data);
    if (input.error) {
        printError(input.error->describe(fromStdin ? QStringLiteral("<stdin>") : inputName));
        return kBadInput;
    }

    // The output is committed only when complete.
    QSaveFile outputFile;
    QFile stdoutFile;
    QIODevice* output = nullptr;
    if (parser.isSet(outputOption)) {
        outputFile.setFileName(parser.value(outputOption));
        if (!outputFile.open(QIODevice::WriteOnly)) {
            printError(
                QStringLiteral("%1: %2").arg(outputFile.fileName(), outputFile.errorString()));
            return kBadInput;
        }
        output = &outputFile;
    } else {
        stdoutFile.open(stdout, QIODevice::WriteOnly);
        output = &stdoutFile;
    }

    const Arrangement arrangement = arrangementName == QLatin1String("counter")
                                        ? Arrangement::CounterFlow
                                        : Arrangement::CrossFlow;
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
    const bool withUncertainty = parser.isSet(uncertaintyOption);
    const auto write = [&](const QStringList& row) {
        if (!headerWritten)
            output->write(csv::record(BatchAudit::headerCells() +
                                      (withUncertainty ? uncertaintyHeaderCells() : QStringList()))
                              .toUtf8());
        headerWritten = true;
        if (row.isEmpty())
            return;
        QStringList cells = row;
        const qsizetype index = row.first().toLongLong() - 1; // cases are numbered from 1
        if (withUncertainty && index >= 0 && index < input.cases.size())
            cells += uncertaintyCells(arrangement, input.cases[index], row);
        output->write(csv::record(cells).toUtf8());
    };
    const std::optional<QString> failure =
        BatchRunner(arrangement, jobs).run(input.cases, write, progress);
    if (showProgress && !input.cases.isEmpty())
        std::fputc('\n', stderr);
    if (failure) {
        printError(*failure);
        return kFailed;
    }
    write({}); // the header of a file without cases

    if (parser.isSet(outputOption) && !outputFile.commit()) {
        printError(QStringLiteral("%1: %2").arg(outputFile.fileName(), outputFile.errorString()));
        return kBadInput;
    }
    return 0;
}
