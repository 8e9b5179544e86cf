#include "app/windows.h"

#include "app/windowmenu.h"
#include "app/windowsreportsource.h"
#include "diagrams/auditdiagramsource.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "reports/excelreport.h"
#include "reports/reportworkbook.h"
#include "ui/acceptancetestwindow.h"
#include "ui/diagramwindow.h"
#include "ui/flowchangewindow.h"
#include "ui/heatloadwindow.h"
#include "ui/mainwindow.h"
#include "ui/moistairwindow.h"
#include "ui/performancewindow.h"
#include "ui/startwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QToolBar>
#include <algorithm>

namespace {

constexpr Arrangement kArrangements[] = {Arrangement::CounterFlow, Arrangement::CrossFlow};

ProblemWindow* makeProblemWindow(Workspace& workspace, Arrangement arrangement, int problem) {
    switch (problem) {
    case 1:
        return new PerformanceWindow(workspace, arrangement);
    case 2:
        return new AcceptanceTestWindow(workspace, arrangement);
    case 3:
        return new FlowChangeWindow(workspace, arrangement);
    default:
        return new HeatLoadWindow(workspace, arrangement);
    }
}

} // namespace

Windows::Windows(Desktop& desktop)
    : desktop_(desktop) {
    // The program's icon, for the main window and every child window.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ctaudit.svg")));
    main_ = new MainWindow(desktop_);
    main_->setAttribute(Qt::WA_DeleteOnClose, false);
    connect(main_->mdiArea(), &QMdiArea::subWindowActivated, this, &Windows::onSubWindowActivated);
    reportSource_ = std::make_unique<WindowsReportSource>(*this);
    report_ = std::make_unique<ExcelReport>(*reportSource_, &desktop_, main_);
    recorder_ = std::make_unique<ReportRecorder>(*reportSource_);
    main_->excelReport = [this] {
        // The button stays disabled while the export waits for the office.
        QPointer<QAction> excel = main_->toolBar()->findChild<QAction*>(QStringLiteral("Excel"));
        if (excel)
            excel->setEnabled(false);
        report_->run();
        // Each export also goes into the report kept in memory, whether an office took it or not.
        recorder_->record();
        if (excel)
            excel->setEnabled(true);
    };
    main_->showUncertainty = [this] {
        showChild(uncertaintyWindow());
        uncertaintyWindow()->follow();
    };
    main_->showDiagram = [this] { showChild(diagramWindow()); };
    main_->showStart = [this] { showStart(); };
    main_->unloadWindows = [this] { unloadAll(); };
    QAction* exitAction = nullptr;
    for (QAction* a : main_->toolBar()->actions())
        if (a->data().toString() == QLatin1String("Exit"))
            exitAction = a;
    windowMenu_ = new WindowMenu(main_->mdiArea(), main_->toolBar(), exitAction);

    // The windows by their keys, each with what creates it.
    const auto add = [this](std::string_view key, std::function<QWidget*()> create) {
        entries_.push_back({engine::toQString(key), std::move(create), nullptr});
    };
    add(engine::kStartWindowKey, [this] { return addChild(new StartWindow(*this)); });
    for (Arrangement arrangement : kArrangements)
        for (int problem = 1; problem <= engine::kProblems; ++problem)
            add(engine::problemKeys(arrangement, problem).window, [this, arrangement, problem] {
                return addChild(makeProblemWindow(*this, arrangement, problem));
            });
    add(engine::kMoistAirWindowKey,
        [this] { return new MoistAirWindow(nullptr, &audit_.moistAir()); });
    add(engine::kUncertaintyWindowKey, [this] { return addChild(new UncertaintyWindow(*this)); });
    add(engine::kDiagramWindowKey, [this] {
        auto* diagram = new DiagramWindow(*this);
        addChild(diagram);
        diagram->setSource(diagramSource_.get());
        if (lastProblem_)
            diagram->problemActivated(lastProblem_->first, lastProblem_->second);
        return diagram;
    });

    // The Diagram window follows every successful calculation.
    diagramSource_ = std::make_unique<AuditDiagramSource>(audit_);
    audit_.setCalculationListener([this](Arrangement arrangement, int problem) {
        if (auto* diagram = static_cast<DiagramWindow*>(loadedWindow(engine::kDiagramWindowKey)))
            diagram->calculated(arrangement, problem);
    });
}

Windows::~Windows() {
    audit_.setCalculationListener({});
    main_->excelReport = nullptr;
    report_.reset();
    recorder_.reset();
    // The moist-air calculator is no child window of the main window.
    delete loadedWindow(engine::kMoistAirWindowKey);
    delete main_;
}

Windows::Entry* Windows::entry(const QString& key) {
    const auto it = std::ranges::find(entries_, key, &Entry::key);
    return it == entries_.end() ? nullptr : &*it;
}

const Windows::Entry* Windows::entry(const QString& key) const {
    const auto it = std::ranges::find(entries_, key, &Entry::key);
    return it == entries_.end() ? nullptr : &*it;
}

QWidget* Windows::loadedWindow(std::string_view key) const {
    const Entry* e = entry(engine::toQString(key));
    return e ? e->window.data() : nullptr;
}

QWidget* Windows::addChild(QWidget* window) {
    QMdiSubWindow* sub = main_->mdiArea()->addSubWindow(window);
    // The close box hides the window: it stays loaded, with its inputs and results, until
    // "Exit" unloads it.
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->installEventFilter(this);
    sub->setWindowIcon(QApplication::windowIcon());
    sub->hide();
    if (auto* problem = qobject_cast<ProblemWindow*>(window))
        problem->pullTexts();
    return window;
}

QWidget* Windows::form(const QString& key) {
    if (key == engine::toQString(engine::kMainWindowKey))
        return main_;
    Entry* e = entry(key);
    if (!e)
        return nullptr;
    if (!e->window) {
        e->window = e->create();
        if (subWindowOf(e->window))
            Q_EMIT loaded(e->window);
    }
    return e->window;
}

bool Windows::isLoaded(const QString& key) const {
    if (key == engine::toQString(engine::kMainWindowKey))
        return main_ != nullptr;
    const Entry* e = entry(key);
    return e && e->window;
}

void Windows::unload(const QString& key) {
    Entry* e = entry(key);
    if (!e || !e->window)
        return;
    // The window leaves the registry first: removing it activates another window, whose
    // activation hands every loaded window's texts to the engine, and this one's must not
    // come back into its Problem after the reset.
    QWidget* w = e->window;
    e->window = nullptr;
    if (QMdiSubWindow* sub = subWindowOf(w)) {
        if (lastActive_ == w)
            lastActive_ = nullptr;
        main_->mdiArea()->removeSubWindow(sub);
        delete sub; // deletes the window with it
    } else {
        delete w;
    }
    // A window loaded again starts as it was first loaded.
    if (const auto problem = engine::Audit::problemOf(key.toStdString()))
        audit_.reset(problem->first, problem->second);
    else if (key == engine::toQString(engine::kMoistAirWindowKey))
        audit_.resetMoistAir();
}

void Windows::unloadInKeyOrder(const std::function<bool(const QString&)>& which) {
    QStringList keys;
    for (const Entry& e : entries_)
        if (which(e.key))
            keys.append(e.key);
    keys.sort();
    for (const QString& key : keys)
        unload(key);
}

void Windows::unloadAll() {
    unloadInKeyOrder([](const QString& key) {
        return key != engine::toQString(engine::kStartWindowKey) &&
               key != engine::toQString(engine::kDiagramWindowKey);
    });
}

void Windows::unloadProblems() {
    unloadInKeyOrder([](const QString& key) {
        return engine::Audit::problemOf(key.toStdString()) ||
               key == engine::toQString(engine::kMoistAirWindowKey);
    });
}

StartWindow* Windows::startWindow() {
    return static_cast<StartWindow*>(form(engine::toQString(engine::kStartWindowKey)));
}

MoistAirWindow* Windows::moistAirWindow() {
    return static_cast<MoistAirWindow*>(form(engine::toQString(engine::kMoistAirWindowKey)));
}

UncertaintyWindow* Windows::uncertaintyWindow() {
    return static_cast<UncertaintyWindow*>(form(engine::toQString(engine::kUncertaintyWindowKey)));
}

DiagramWindow* Windows::diagramWindow() {
    return static_cast<DiagramWindow*>(form(engine::toQString(engine::kDiagramWindowKey)));
}

ProblemWindow* Windows::problemWindow(Arrangement arrangement, int problem) {
    if (problem < 1 || problem > engine::kProblems)
        return nullptr;
    return static_cast<ProblemWindow*>(
        form(engine::toQString(engine::problemKeys(arrangement, problem).window)));
}

std::optional<QString> Windows::controlText(const QString& key, const QString& control) {
    QWidget* w = form(key);
    if (!w)
        return std::nullopt;
    QWidget* c = w->findChild<QWidget*>(control);
    if (auto* edit = qobject_cast<QLineEdit*>(c))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(c))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(c))
        return button->text();
    return std::nullopt;
}

void Windows::forEachLoadedProblem(const std::function<void(ProblemWindow&)>& action) const {
    for (Arrangement arrangement : kArrangements)
        for (int problem = 1; problem <= engine::kProblems; ++problem)
            if (QWidget* w = loadedWindow(engine::problemKeys(arrangement, problem).window))
                action(*static_cast<ProblemWindow*>(w));
}

void Windows::pushTexts() {
    forEachLoadedProblem([](ProblemWindow& w) { w.pushTexts(); });
    if (QWidget* w = loadedWindow(engine::kMoistAirWindowKey))
        static_cast<MoistAirWindow*>(w)->pushTexts();
    Q_EMIT textsPushed();
}

bool Windows::hasTextsToPush() const {
    bool differs = false;
    forEachLoadedProblem([this, &differs](ProblemWindow& w) {
        const auto names = engine::Audit::controls(w.arrangement(), w.problem());
        const QList<QLineEdit*>& fields = w.fields();
        for (qsizetype i = 0; i < fields.size() && !differs; ++i)
            differs = fields[i]->text() !=
                      audit_.text(w.arrangement(), w.problem(), names[std::size_t(i)]);
    });
    return differs;
}

void Windows::loadShown() {
    static const engine::Audit fresh;
    for (Arrangement arrangement : kArrangements)
        for (int problem = 1; problem <= engine::kProblems; ++problem) {
            if (loadedWindow(engine::problemKeys(arrangement, problem).window))
                continue;
            bool same =
                audit_.leadingOn(arrangement, problem) == fresh.leadingOn(arrangement, problem) &&
                (problem != 1 || audit_.resultRows(arrangement) == fresh.resultRows(arrangement));
            for (std::string_view control : engine::Audit::controls(arrangement, problem))
                same = same && audit_.text(arrangement, problem, control) ==
                                   fresh.text(arrangement, problem, control);
            if (!same)
                problemWindow(arrangement, problem);
        }
}

void Windows::pullTexts() {
    forEachLoadedProblem([](ProblemWindow& w) { w.pullTexts(); });
    if (QWidget* w = loadedWindow(engine::kMoistAirWindowKey))
        static_cast<MoistAirWindow*>(w)->pullTexts();
    else if (audit_.moistAir().used)
        moistAirWindow();
    if (QWidget* w = loadedWindow(engine::kUncertaintyWindowKey))
        static_cast<UncertaintyWindow*>(w)->pullTexts();
    if (QWidget* w = loadedWindow(engine::kDiagramWindowKey))
        static_cast<DiagramWindow*>(w)->pullTexts();
    Q_EMIT textsPulled();
}

void Windows::showAudit() {
    loadShown();
    pullTexts();
    if (auto* diagram = static_cast<DiagramWindow*>(loadedWindow(engine::kDiagramWindowKey)))
        diagram->refresh();
}

void Windows::setStatus(const QString& text) {
    main_->statusLabel()->setText(text);
}

QString Windows::status() const {
    return main_->statusLabel()->text();
}

Arrangement Windows::chosenArrangement() {
    const auto* start = static_cast<StartWindow*>(loadedWindow(engine::kStartWindowKey));
    return start ? start->chosenArrangement() : Arrangement::CounterFlow;
}

void Windows::showProblem(Arrangement arrangement, int problem) {
    showChild(problemWindow(arrangement, problem));
}

void Windows::showStart() {
    showChild(startWindow());
}

QMdiSubWindow* Windows::subWindowOf(QWidget* form) const {
    if (!form)
        return nullptr;
    return qobject_cast<QMdiSubWindow*>(form->parentWidget());
}

bool Windows::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
            event->ignore();
            sub->hide();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QRect Windows::childGeometry(const QSize& area, bool diagram) {
    // The designed size, its height within the area between the toolbar and the status strip.
    const int width = pixels(14100);
    const int height = area.height() > 0 ? std::min(pixels(9300), area.height()) : pixels(9300);
    // The Diagram window takes the rest of the area beside the Problem windows when that
    // leaves it room to draw; in a narrower area it goes where they go.
    if (diagram && area.width() - width >= kDiagramBesideWidth)
        return QRect(width, 0, area.width() - width, std::max(height, area.height()));
    return QRect(0, 0, width, height);
}

void Windows::showChild(QWidget* form) {
    QMdiSubWindow* sub = subWindowOf(form);
    if (!sub)
        return;
    sub->showNormal();
    const QSize area = main_->mdiArea()->viewport()->size();
    sub->setGeometry(childGeometry(area, form == loadedWindow(engine::kDiagramWindowKey)));
    sub->raise();
    main_->mdiArea()->setActiveSubWindow(sub);
    // The focus goes to the window's own focused control, the one its activation chose or
    // the one last used, and to the window itself only when it has none.
    if (QWidget* control = form->focusWidget())
        control->setFocus();
    else
        form->setFocus();
}

void Windows::onSubWindowActivated(QMdiSubWindow* sub) {
    // A window is activated when it becomes the active child; the area losing and regaining
    // activation (a message box, another application) does not activate it again.
    if (!sub)
        return;
    QWidget* w = sub->widget();
    if (w == lastActive_)
        return;
    lastActive_ = w;
    if (auto* problem = qobject_cast<ProblemWindow*>(w)) {
        lastProblem_ = std::pair{problem->arrangement(), problem->problem()};
        if (auto* diagram = static_cast<DiagramWindow*>(loadedWindow(engine::kDiagramWindowKey)))
            diagram->problemActivated(problem->arrangement(), problem->problem());
        problem->activate();
    }
}

void Windows::start() {
    main_->load();
    main_->show();
    main_->place();
    // The area between the toolbar and the status strip holds a child window of the designed
    // height: the main window grows by what the toolbar takes beyond its designed share.
    const int shortBy = pixels(9300) - main_->mdiArea()->viewport()->height();
    if (shortBy > 0)
        main_->resize(main_->width(), main_->height() + shortBy);
    showChild(startWindow());
}
