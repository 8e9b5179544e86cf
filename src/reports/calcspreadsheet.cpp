// The Calc automation server: the Spreadsheet interface over LibreOffice's UNO remote
// bridge. Built as the module ctaudit_calc and loaded by createSpreadsheet() at the first
// export, so the program itself never links the office libraries.
//
// Starting: "soffice" (through PATH unless told otherwise) is started detached with a
// private pipe, --norestore and --nologo, and the bridge connects to that pipe, retrying
// until the office accepts. If an office of the same user is already running, the started
// process hands the request to it and ends, and the running office accepts the pipe. The
// wait is bounded: a started process that is gone without the pipe ever accepting, or the
// time limit, ends it.
//
// Traps that would otherwise freeze the program's window: the soffice script without its
// soffice.bin (checked before starting), a missing workbook (checked before loading; the
// office would show a modal dialog), and any other question the office would ask while
// loading (an interaction handler that aborts it).
//
// Failures arrive as UNO exceptions (NoConnectException, IllegalArgumentException,
// NoSuchElementException, DisposedException when the office was closed, ...): each one fails
// its operation and nothing else. They also arrive as empty references: a document the user
// has closed answers getSheets() with one, and a call through it would end the program, which
// no catch can stop. Every reference the office hands back is checked before use.
//
// Ending: the launcher started here waits for its office; while it runs, the office is this
// object's own, and the destructor ends it when no document is left open in it. A start that
// fails (no answer within the limit: a hung office, or one showing a fatal error) ends the
// process group it started, so no office is left behind, and so does abandon() when a call
// into an office of its own does not return.

#include "reports/spreadsheet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetOperation.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <csignal>
#include <rtl/bootstrap.hxx>
#include <sys/types.h>
#include <unistd.h>

namespace uno = com::sun::star::uno;
namespace css = com::sun::star;
using uno::Reference;
using uno::UNO_QUERY;

namespace {

// The office installation whose UNO libraries this module links (set by the build).
const char kOfficeProgramDir[] = CTAUDIT_OFFICE_PROGRAM_DIR;

// A started office that has ended without accepting gets this long before the start fails
// (it may have handed the request to a running office that is about to accept).
constexpr qint64 kGoneGraceMs = 3000;
// An office that did not answer gets this long to end when asked before it is killed.
constexpr qint64 kEndGraceMs = 3000;
constexpr unsigned long kRetryIntervalMs = 50;

rtl::OUString toOUString(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()),
                         static_cast<sal_Int32>(s.size()));
}

QString toQString(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

// The local UNO context, made once per run. Deliberately never destroyed: the bridge's
// threads may still use it while the program ends.
Reference<uno::XComponentContext> localContext() {
    static Reference<uno::XComponentContext>* context = [] {
        auto* c = new Reference<uno::XComponentContext>();
        try {
            // Without it, the first call into the office crashes instead of failing.
            rtl::Bootstrap::set(
                rtl::OUString("URE_BOOTSTRAP"),
                toOUString(QStringLiteral("vnd.sun.star.pathname:") +
                           QDir(QString::fromUtf8(kOfficeProgramDir)).filePath("fundamentalrc")));
            *c = cppu::defaultBootstrap_InitialComponentContext();
        } catch (...) {
            c->clear();
        }
        return c;
    }();
    return *context;
}

// The office program to start, or an empty text (and why) when there is none that can work.
QString officeProgram(const OfficeOptions& options, QString* why) {
    const QString name = options.program.isEmpty() ? QStringLiteral("soffice") : options.program;
    const QString program = name.contains(u'/') ? name : QStandardPaths::findExecutable(name);
    const QFileInfo info(program);
    if (program.isEmpty() || !info.isFile() || !info.isExecutable()) {
        *why =
            name.contains(u'/')
                ? QStringLiteral("LibreOffice is not installed (%1 is missing)").arg(name)
                : QStringLiteral("LibreOffice is not installed (no \"%1\" on the PATH)").arg(name);
        return QString();
    }
    // The soffice script without soffice.bin beside it would never bring up an office.
    const QFileInfo real(info.canonicalFilePath());
    const QString bin = real.dir().filePath(QStringLiteral("soffice.bin"));
    if (real.fileName() == QLatin1String("soffice") && !QFileInfo(bin).isExecutable()) {
        *why = QStringLiteral("LibreOffice is incomplete (%1 is missing)").arg(bin);
        return QString();
    }
    return program;
}

QString uniquePipeName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("ctaudit_%1_%2").arg(::getpid()).arg(++counter);
}

// Whether a started (detached) process still runs; a zombie counts as ended.
bool processRuns(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return false;
    const char state = line.at(close + 2);
    return state != 'Z' && state != 'X';
}

// Whether a process group still has a process that has not ended (a zombie has).
bool groupRuns(pid_t group) {
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (numeric && ::getpgid(pid_t(pid)) == group && processRuns(pid))
            return true;
    }
    return false;
}

// Ends the process group of an office this module started and that never answered (it may
// show a fatal error window, or hang): asked first, then forced. The group is the session
// the detached start made, so nothing of the user's own (a running office it handed the
// request to) is in it.
void endStartedGroup(pid_t group) {
    if (group <= 1 || group == ::getpgid(0))
        return;
    if (::kill(-group, SIGTERM) != 0)
        return; // nothing left
    QElapsedTimer clock;
    clock.start();
    while (groupRuns(group) && clock.elapsed() < kEndGraceMs)
        QThread::msleep(kRetryIntervalMs);
    ::kill(-group, SIGKILL);
}

// Connects to the office on the pipe; *ended tells, on failure, that the started process
// ended without the pipe ever accepting.
Reference<uno::XComponentContext> connect(const Reference<uno::XComponentContext>& local,
                                          const QString& pipe, qint64 pid, int timeoutMs,
                                          bool* ended) {
    const Reference<css::bridge::XUnoUrlResolver> resolver =
        css::bridge::UnoUrlResolver::create(local);
    const rtl::OUString url =
        toOUString(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe));
    QElapsedTimer clock;
    clock.start();
    qint64 goneAt = -1;
    for (;;) {
        try {
            return Reference<uno::XComponentContext>(resolver->resolve(url), UNO_QUERY);
        } catch (const css::connection::NoConnectException&) {
            // not accepting yet
        }
        if (clock.elapsed() > timeoutMs)
            return {};
        if (pid > 0 && goneAt < 0 && !processRuns(pid))
            goneAt = clock.elapsed();
        if (goneAt >= 0 && clock.elapsed() - goneAt > kGoneGraceMs) {
            *ended = true;
            return {};
        }
        QThread::msleep(kRetryIntervalMs);
    }
}

// Answers every question the office would ask while loading with "abort", so that no
// office dialog ever waits for a person while the program waits for the office.
class AbortingInteractionHandler final
    : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override {
        const uno::Sequence<Reference<css::task::XInteractionContinuation>> continuations =
            request->getContinuations();
        for (sal_Int32 i = 0; i < continuations.getLength(); ++i) {
            const Reference<css::task::XInteractionAbort> abort(continuations[i], UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

css::beans::PropertyValue property(const char* name, const uno::Any& value) {
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// The office's locale for the program's locale: number formats written with it show the
// program's decimal separator.
css::lang::Locale officeLocale() {
    const QLocale locale;
    css::lang::Locale l;
    l.Language = toOUString(QLocale::languageToCode(locale.language()));
    l.Country = toOUString(QLocale::territoryToCode(locale.territory()));
    return l;
}

// Caps for walks over what the office lists, so that no answer can keep the program busy.
constexpr int kMaxComponents = 10000;

class CalcSpreadsheet final : public Spreadsheet {
public:
    CalcSpreadsheet(Reference<css::frame::XDesktop2> desktop, qint64 startedPid, pid_t startedGroup)
        : desktop_(std::move(desktop))
        , startedPid_(startedPid)
        , startedGroup_(startedGroup) {}

    ~CalcSpreadsheet() override {
        // The office this object started (its launcher still waits for it: an office that
        // was already running took the request over and the launcher ended) and in which
        // the user has closed every document would stay as an invisible process.
        if (startedPid_ <= 0 || !processRuns(startedPid_))
            return;
        try {
            if (!hasOpenDocument())
                desktop_->terminate();
        } catch (...) {
        }
    }

    // An office that stopped answering is ended with all it started, at once: it cannot be
    // asked to end, and the call waiting for it fails when its pipe closes. One that this
    // object did not start (the user's own) is left alone.
    bool abandon() override {
        if (startedPid_ <= 0 || startedGroup_ <= 1 || startedGroup_ == ::getpgid(0) ||
            !processRuns(startedPid_))
            return false;
        return ::kill(-startedGroup_, SIGKILL) == 0;
    }

    bool isRunning() override {
        try {
            desktop_->getCurrentComponent();
            return true;
        } catch (...) {
            return false;
        }
    }

    bool hasWorkbook() override {
        try {
            return activeWorkbook().is();
        } catch (...) {
            return false;
        }
    }

    bool hasSheet(const QString& sheet) override {
        try {
            return worksheet(sheet).is();
        } catch (...) {
            return false;
        }
    }

    bool closeWorkbook() override {
        try {
            const Reference<css::util::XCloseable> workbook(activeWorkbook(), UNO_QUERY);
            if (!workbook.is())
                return false;
            workbook->close(true);
            return true;
        } catch (...) {
            return false;
        }
    }

    bool openWorkbook(const QString& fileName, bool asTemplate) override {
        const QFileInfo file(fileName);
        if (!file.isFile())
            return false;
        const QString url =
            QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded);
        uno::Sequence<css::beans::PropertyValue> arguments(2);
        arguments.getArray()[0] = property("AsTemplate", uno::Any(asTemplate));
        arguments.getArray()[1] = property(
            "InteractionHandler",
            uno::Any(Reference<css::task::XInteractionHandler>(new AbortingInteractionHandler)));
        try {
            Reference<css::lang::XComponent> document = desktop_->loadComponentFromURL(
                toOUString(url), rtl::OUString("_default"), 0, arguments);
            if (!Reference<css::sheet::XSpreadsheetDocument>(document, UNO_QUERY).is())
                return false;
            document_ = document;
            return true;
        } catch (...) {
            return false;
        }
    }

    bool setVisible(bool visible) override {
        try {
            const Reference<css::awt::XWindow> window = applicationWindow();
            if (!window.is())
                return false;
            window->setVisible(visible);
            return true;
        } catch (...) {
            return false;
        }
    }

    bool maximize() override {
        try {
            const Reference<css::awt::XTopWindow2> window(applicationWindow(), UNO_QUERY);
            if (!window.is())
                return false;
            window->setIsMaximized(true);
            return true;
        } catch (...) {
            return false;
        }
    }

    bool bringToFront() override {
        try {
            const Reference<css::awt::XWindow> window = applicationWindow();
            const Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
            if (!top.is())
                return false;
            window->setVisible(true);
            top->toFront();
            return true;
        } catch (...) {
            return false;
        }
    }

    std::optional<QString> readCell(const QString& sheet, const QString& address) override {
        try {
            const Reference<css::text::XText> text(cell(sheet, address), UNO_QUERY);
            if (!text.is())
                return std::nullopt;
            return toQString(text->getString());
        } catch (...) {
            return std::nullopt;
        }
    }

    std::optional<double> readNumber(const QString& sheet, const QString& address) override {
        try {
            const Reference<css::table::XCell> c = cell(sheet, address);
            if (!c.is() || c->getType() != css::table::CellContentType_VALUE)
                return std::nullopt;
            return c->getValue();
        } catch (...) {
            return std::nullopt;
        }
    }

    bool writeCell(const QString& sheet, const QString& address, const QString& value) override {
        try {
            const Reference<css::text::XText> text(cell(sheet, address), UNO_QUERY);
            if (!text.is())
                return false;
            text->setString(toOUString(value));
            return true;
        } catch (...) {
            return false;
        }
    }

    std::optional<QStringList> readRange(const QString& sheet, const QString& range) override {
        try {
            const Reference<css::table::XCellRange> cells = cellRange(worksheet(sheet), range);
            if (!cells.is())
                return std::nullopt;
            // The displayed texts, as a formula array without formulas shows them.
            const Reference<css::sheet::XCellRangeData> data(cells, UNO_QUERY);
            if (!data.is())
                return std::nullopt;
            QStringList texts;
            for (const uno::Sequence<uno::Any>& row : data->getDataArray()) {
                for (const uno::Any& value : row) {
                    rtl::OUString text;
                    double number = 0;
                    if (value >>= text)
                        texts << toQString(text);
                    else if (value >>= number)
                        texts << QString::number(number);
                    else
                        texts << QString();
                }
            }
            return texts;
        } catch (...) {
            return std::nullopt;
        }
    }

    bool clearRanges(const QString& sheet, const QStringList& ranges) override {
        try {
            const Reference<css::table::XCellRange> table = worksheet(sheet);
            bool all = table.is();
            for (const QString& range : ranges) {
                const Reference<css::sheet::XSheetOperation> cells(cellRange(table, range),
                                                                   UNO_QUERY);
                if (!cells.is()) {
                    all = false;
                    continue;
                }
                cells->clearContents(
                    css::sheet::CellFlags::VALUE | css::sheet::CellFlags::DATETIME |
                    css::sheet::CellFlags::STRING | css::sheet::CellFlags::FORMULA);
            }
            return all;
        } catch (...) {
            return false;
        }
    }

    bool writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) override {
        try {
            const Reference<css::table::XCellRange> table = worksheet(sheet);
            if (!table.is())
                return false;
            bool all = true;
            for (const ColumnBlock& block : blocks)
                all = writeBlock(table, block) && all;
            return all;
        } catch (...) {
            return false;
        }
    }

private:
    bool writeBlock(const Reference<css::table::XCellRange>& table, const ColumnBlock& block) {
        if (block.values.isEmpty())
            return true;
        const int lastRow = block.firstRow + int(block.values.size()) - 1;
        const Reference<css::sheet::XCellRangeData> data(
            cellRange(
                table,
                QStringLiteral("%1%2:%1%3").arg(block.column).arg(block.firstRow).arg(lastRow)),
            UNO_QUERY);
        if (!data.is())
            return false;
        uno::Sequence<uno::Sequence<uno::Any>> rows(block.values.size());
        for (qsizetype i = 0; i < block.values.size(); ++i) {
            const CellContent& content = block.values[i];
            const uno::Any value =
                content.number ? uno::Any(*content.number) : uno::Any(toOUString(content.text));
            rows.getArray()[i] = uno::Sequence<uno::Any>(&value, 1);
        }
        data->setDataArray(rows);
        // Each run of numbers with the same decimals gets the number format that shows them.
        for (qsizetype i = 0; i < block.values.size();) {
            const CellContent& first = block.values[i];
            qsizetype end = i + 1;
            while (first.number && end < block.values.size() && block.values[end].number &&
                   block.values[end].decimals == first.decimals &&
                   block.values[end].integerDigits == first.integerDigits)
                ++end;
            if (first.number) {
                const Reference<css::beans::XPropertySet> cells(
                    cellRange(table, QStringLiteral("%1%2:%1%3")
                                         .arg(block.column)
                                         .arg(block.firstRow + i)
                                         .arg(block.firstRow + end - 1)),
                    UNO_QUERY);
                if (cells.is())
                    cells->setPropertyValue("NumberFormat", uno::Any(formatKey(first)));
            }
            i = end;
        }
        return true;
    }

    // The key of the number format that shows a number as the content's text does, in the
    // active workbook (the general format for decimals -1), made once per workbook.
    sal_Int32 formatKey(const CellContent& content) {
        if (content.decimals < 0)
            return 0;
        const int shape = content.decimals * 100 + content.integerDigits;
        const Reference<css::sheet::XSpreadsheetDocument> workbook = activeWorkbook();
        if (workbook != formatWorkbook_) {
            formatKeys_.clear();
            formatWorkbook_ = workbook;
        }
        if (const auto known = formatKeys_.constFind(shape); known != formatKeys_.cend())
            return *known;
        const Reference<css::util::XNumberFormatsSupplier> supplier(workbook, UNO_QUERY);
        if (!supplier.is())
            return 0;
        const Reference<css::util::XNumberFormats> formats = supplier->getNumberFormats();
        if (!formats.is())
            return 0;
        const css::lang::Locale locale = officeLocale();
        const rtl::OUString code = formats->generateFormat(
            0, locale, false, false, sal_Int16(content.decimals), sal_Int16(content.integerDigits));
        sal_Int32 key = formats->queryKey(code, locale, false);
        if (key < 0)
            key = formats->addNew(code, locale);
        formatKeys_.insert(shape, key);
        return key;
    }

    // Whether any document (a model, not the Start Center) is open in the office.
    bool hasOpenDocument() {
        const Reference<css::container::XEnumerationAccess> components = desktop_->getComponents();
        if (!components.is())
            return false;
        const Reference<css::container::XEnumeration> each = components->createEnumeration();
        for (int n = 0; each.is() && n < kMaxComponents && each->hasMoreElements(); ++n) {
            if (Reference<css::frame::XModel>(each->nextElement(), UNO_QUERY).is())
                return true;
        }
        return false;
    }

    // Whether the workbook this object opened is still open.
    bool ownWorkbookOpen() {
        const Reference<css::frame::XModel> model(document_, UNO_QUERY);
        if (!model.is())
            return false;
        try {
            return model->getCurrentController().is();
        } catch (...) {
            return false; // closed: the document is disposed
        }
    }

    // The frame window of the active workbook, else of the office's active frame.
    Reference<css::awt::XWindow> applicationWindow() {
        Reference<css::frame::XFrame> frame;
        const Reference<css::frame::XModel> model(activeWorkbook(), UNO_QUERY);
        const Reference<css::frame::XController> controller =
            model.is() ? model->getCurrentController() : Reference<css::frame::XController>();
        if (controller.is())
            frame = controller->getFrame();
        if (!frame.is())
            frame = desktop_->getCurrentFrame();
        return frame.is() ? frame->getContainerWindow() : Reference<css::awt::XWindow>();
    }

    // The active workbook: the office's current document when one is current (a document
    // that is no spreadsheet gives none), else the workbook this object opened while it is
    // open. Every reference the office hands back may be empty: the user closes documents
    // and windows whenever he likes.
    Reference<css::sheet::XSpreadsheetDocument> activeWorkbook() {
        const Reference<css::lang::XComponent> current = desktop_->getCurrentComponent();
        if (Reference<css::frame::XModel>(current, UNO_QUERY).is())
            return Reference<css::sheet::XSpreadsheetDocument>(current, UNO_QUERY);
        if (ownWorkbookOpen())
            return Reference<css::sheet::XSpreadsheetDocument>(document_, UNO_QUERY);
        return {};
    }

    Reference<css::table::XCellRange> worksheet(const QString& sheet) {
        const Reference<css::sheet::XSpreadsheetDocument> workbook = activeWorkbook();
        if (!workbook.is())
            return {};
        const Reference<css::sheet::XSpreadsheets> sheets = workbook->getSheets();
        if (!sheets.is() || !sheets->hasByName(toOUString(sheet)))
            return {};
        return Reference<css::table::XCellRange>(sheets->getByName(toOUString(sheet)), UNO_QUERY);
    }

    static Reference<css::table::XCellRange>
    cellRange(const Reference<css::table::XCellRange>& table, const QString& range) {
        if (!table.is())
            return {};
        return table->getCellRangeByName(toOUString(range));
    }

    Reference<css::table::XCell> cell(const QString& sheet, const QString& address) {
        const Reference<css::table::XCellRange> range = cellRange(worksheet(sheet), address);
        if (!range.is())
            return {};
        return range->getCellByPosition(0, 0);
    }

    Reference<css::frame::XDesktop2> desktop_;
    qint64 startedPid_;                         // the office launcher this object started, or 0
    pid_t startedGroup_;                        // its process group, or 0
    Reference<css::lang::XComponent> document_; // the workbook opened by openWorkbook()
    Reference<css::sheet::XSpreadsheetDocument> formatWorkbook_;
    QMap<int, sal_Int32> formatKeys_; // decimals * 100 + digits -> format key in formatWorkbook_
};

// Sets the failure text, when one is asked for, and gives no application.
Spreadsheet* failed(const OfficeOptions& options, const QString& why) {
    if (options.failure)
        *options.failure = why;
    return nullptr;
}

Spreadsheet* createCalcSpreadsheet(const OfficeOptions& options) {
    const Reference<uno::XComponentContext> local = localContext();
    if (!local.is())
        return failed(options, QStringLiteral("the LibreOffice libraries could not be started"));
    QString pipe = options.pipeName;
    qint64 pid = 0;
    pid_t group = 0; // the started office's process group
    if (pipe.isEmpty()) {
        QString why;
        const QString program = officeProgram(options, &why);
        if (program.isEmpty())
            return failed(options, why);
        pipe = uniquePipeName();
        QStringList arguments = {QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe),
                                 QStringLiteral("--norestore"), QStringLiteral("--nologo")};
        arguments += options.arguments;
        if (!QProcess::startDetached(program, arguments, QString(), &pid))
            return failed(options,
                          QStringLiteral("LibreOffice (%1) could not be started").arg(program));
        group = ::getpgid(pid_t(pid));
    }
    bool ended = false;
    const Reference<uno::XComponentContext> remote =
        connect(local, pipe, pid, options.startTimeoutMs, &ended);
    if (!remote.is()) {
        // What was started and never answered is not left behind.
        if (group > 0)
            endStartedGroup(group);
        return failed(options, ended ? QStringLiteral("LibreOffice ended before it answered")
                                     : QStringLiteral("LibreOffice Calc did not answer within %1 s")
                                           .arg(options.startTimeoutMs / 1000.0));
    }
    return new CalcSpreadsheet(css::frame::Desktop::create(remote), pid, group);
}

} // namespace

extern "C" Q_DECL_EXPORT Spreadsheet* ctaudit_create_spreadsheet(const OfficeOptions* options) {
    // The office talks to us over a pipe; when the user closes it, a write to that pipe must
    // fail (and the step be skipped), not end the program with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return createCalcSpreadsheet(options ? *options : OfficeOptions());
    } catch (...) {
        return nullptr;
    }
}
