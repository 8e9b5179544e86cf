// ctaudit-batch: runs the measurement sets of a CSV file through the four Problems of one tower
// arrangement, as the windows would, and writes the report's quantities of each as CSV.

#include "batch/batchaudit.h"
#include "batch/batchinput.h"
#include "batch/csv.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kBadInput = 2;

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
    parser.addOption(arrangementOption);
    parser.addOption(outputOption);
    parser.addPositionalArgument(QStringLiteral("input"),
                                 QStringLiteral("The CSV file, or - for standard input."));
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
    if (parser.positionalArguments().size() != 1) {
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
    const BatchInput input = BatchInput::read(data);
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

    const BatchAudit audit(arrangementName == QLatin1String("counter") ? Arrangement::CounterFlow
                                                                       : Arrangement::CrossFlow);
    const bool showProgress = isatty(STDERR_FILENO) != 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    output->write(csv::record(BatchAudit::headerCells()).toUtf8());
    const auto total = input.cases.size();
    for (qsizetype i = 0; i < total; ++i) {
        const BatchCase& c = input.cases[i];
        output->write(csv::record(BatchAudit::resultCells(c.number, audit.run(c))).toUtf8());
        if (showProgress && (sinceProgress.elapsed() >= 200 || i + 1 == total)) {
            std::fprintf(stderr, "\rctaudit-batch: case %lld of %lld",
                         static_cast<long long>(i + 1), static_cast<long long>(total));
            std::fflush(stderr);
            sinceProgress.restart();
        }
    }
    if (showProgress && total > 0)
        std::fputc('\n', stderr);

    if (parser.isSet(outputOption) && !outputFile.commit()) {
        printError(QStringLiteral("%1: %2").arg(outputFile.fileName(), outputFile.errorString()));
        return kBadInput;
    }
    return 0;
}
