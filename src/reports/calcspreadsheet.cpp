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
// its operation and nothing else.

#include "reports/spreadsheet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <csignal>
#include <rtl/bootstrap.hxx>
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

// The office program to start, or an empty text when there is none that can work.
QString officeProgram(const OfficeOptions& options) {
    QString program = options.program;
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    else if (!program.contains(u'/'))
        program = QStandardPaths::findExecutable(program);
    if (program.isEmpty())
        return QString();
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        return QString();
    // The soffice script without soffice.bin beside it would never bring up an office.
    const QFileInfo real(info.canonicalFilePath());
    if (real.fileName() == QLatin1String("soffice") &&
        !QFileInfo(real.dir().filePath(QStringLiteral("soffice.bin"))).isExecutable())
        return QString();
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

Reference<uno::XComponentContext> connect(const Reference<uno::XComponentContext>& local,
                                          const QString& pipe, qint64 pid, int timeoutMs) {
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
        if (goneAt >= 0 && clock.elapsed() - goneAt > kGoneGraceMs)
            return {};
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

class CalcSpreadsheet final : public Spreadsheet {
public:
    explicit CalcSpreadsheet(Reference<css::frame::XDesktop2> desktop)
        : desktop_(std::move(desktop)) {}

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

    std::optional<QString> readCell(const QString& sheet, const QString& address) override {
        try {
            const Reference<css::text::XText> cell = cellText(sheet, address);
            if (!cell.is())
                return std::nullopt;
            return toQString(cell->getString());
        } catch (...) {
            return std::nullopt;
        }
    }

    bool writeCell(const QString& sheet, const QString& address, const QString& value) override {
        try {
            const Reference<css::text::XText> cell = cellText(sheet, address);
            if (!cell.is())
                return false;
            cell->setString(toOUString(value));
            return true;
        } catch (...) {
            return false;
        }
    }

private:
    // The frame window of the workbook this object opened, else of the office's active frame.
    Reference<css::awt::XWindow> applicationWindow() {
        Reference<css::frame::XFrame> frame;
        const Reference<css::frame::XModel> model(document_, UNO_QUERY);
        if (model.is() && model->getCurrentController().is())
            frame = model->getCurrentController()->getFrame();
        if (!frame.is())
            frame = desktop_->getCurrentFrame();
        return frame.is() ? frame->getContainerWindow() : Reference<css::awt::XWindow>();
    }

    // The active workbook: the office's current document, or the workbook this object opened
    // when no document is current. A current document that is no spreadsheet has no sheets.
    Reference<css::sheet::XSpreadsheetDocument> activeWorkbook() {
        const Reference<css::lang::XComponent> current = desktop_->getCurrentComponent();
        return Reference<css::sheet::XSpreadsheetDocument>(current.is() ? current : document_,
                                                           UNO_QUERY);
    }

    Reference<css::text::XText> cellText(const QString& sheet, const QString& address) {
        const Reference<css::sheet::XSpreadsheetDocument> workbook = activeWorkbook();
        if (!workbook.is())
            return {};
        const Reference<css::table::XCellRange> worksheet(
            workbook->getSheets()->getByName(toOUString(sheet)), UNO_QUERY);
        if (!worksheet.is())
            return {};
        const Reference<css::table::XCellRange> range =
            worksheet->getCellRangeByName(toOUString(address));
        Reference<css::text::XText> text(range, UNO_QUERY);
        if (!text.is() && range.is())
            text.set(range->getCellByPosition(0, 0), UNO_QUERY);
        return text;
    }

    Reference<css::frame::XDesktop2> desktop_;
    Reference<css::lang::XComponent> document_; // the workbook opened by openWorkbook()
};

Spreadsheet* createCalcSpreadsheet(const OfficeOptions& options) {
    const Reference<uno::XComponentContext> local = localContext();
    if (!local.is())
        return nullptr;
    QString pipe = options.pipeName;
    qint64 pid = 0;
    if (pipe.isEmpty()) {
        const QString program = officeProgram(options);
        if (program.isEmpty())
            return nullptr;
        pipe = uniquePipeName();
        QStringList arguments = {QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe),
                                 QStringLiteral("--norestore"), QStringLiteral("--nologo")};
        arguments += options.arguments;
        if (!QProcess::startDetached(program, arguments, QString(), &pid))
            return nullptr;
    }
    const Reference<uno::XComponentContext> remote =
        connect(local, pipe, pid, options.startTimeoutMs);
    if (!remote.is())
        return nullptr;
    return new CalcSpreadsheet(css::frame::Desktop::create(remote));
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
