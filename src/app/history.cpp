#include "app/history.h"

#include "app/windows.h"

#include <QAction>
#include <QKeySequence>
#include <QUndoCommand>
#include <QUndoStack>
#include <utility>

// One change: the engine's state before and after it. Pushed after the change has happened, so
// the first redo does nothing.
class History::Entry : public QUndoCommand {
public:
    Entry(History& history, const QString& what, engine::Audit::State before,
          engine::Audit::State after)
        : QUndoCommand(what)
        , history_(history)
        , before_(std::move(before))
        , after_(std::move(after)) {}

    void undo() override { history_.show(before_); }
    void redo() override {
        if (done_)
            history_.show(after_);
        done_ = true;
    }

private:
    History& history_;
    engine::Audit::State before_;
    engine::Audit::State after_;
    bool done_ = false;
};

History::History(Windows& windows, QObject* parent)
    : QObject(parent)
    , windows_(windows)
    , stack_(new QUndoStack(this)) {
    // A long session keeps its last changes; the oldest go first.
    stack_->setUndoLimit(kUndoLimit);
    recorded_ = windows_.audit().state();
    undo_ = new QAction(QStringLiteral("Undo"), this);
    redo_ = new QAction(QStringLiteral("Redo"), this);
    const struct {
        QAction* action;
        const char* key;
        QKeySequence shortcut;
    } actions[] = {
        {undo_, "Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {redo_, "Redo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
    };
    for (const auto& a : actions) {
        a.action->setObjectName(QString::fromLatin1(a.key));
        a.action->setData(QString::fromLatin1(a.key));
        a.action->setShortcut(a.shortcut);
        a.action->setEnabled(false);
    }
    const auto tips = [this] {
        const auto tip = [](const QString& what, const QString& change, const QKeySequence& key) {
            const QString shortcut = key.toString(QKeySequence::NativeText);
            return change.isEmpty() ? QStringLiteral("%1 (%2)").arg(what, shortcut)
                                    : QStringLiteral("%1 %2 (%3)").arg(what, change, shortcut);
        };
        undo_->setToolTip(tip(QStringLiteral("Undo"), stack_->undoText(), undo_->shortcut()));
        redo_->setToolTip(tip(QStringLiteral("Redo"), stack_->redoText(), redo_->shortcut()));
    };
    tips();
    connect(stack_, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(stack_, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    connect(stack_, &QUndoStack::indexChanged, this, tips);
    connect(stack_, &QUndoStack::indexChanged, this, &History::changed);
    connect(stack_, &QUndoStack::cleanChanged, this, &History::changed);
    connect(undo_, &QAction::triggered, this, &History::undo);
    // Every step starts by handing over the windows' texts and ends by showing the engine's.
    connect(&windows_, &Windows::textsPushed, this, [this] { record(QStringLiteral("edit")); });
    connect(&windows_, &Windows::textsPulled, this, [this] {
        const bool calculated = windows_.audit().calculationCount() != calculations_;
        record(calculated ? QStringLiteral("CALCULATE") : QStringLiteral("change"));
    });
    connect(redo_, &QAction::triggered, this, &History::redo);
}

History::~History() = default;

void History::commit() {
    if (paused_)
        return;
    // Handing the texts over records them (textsPushed).
    windows_.pushTexts();
}

void History::record(const QString& what) {
    if (paused_)
        return;
    calculations_ = windows_.audit().calculationCount();
    engine::Audit::State now = windows_.audit().state();
    if (engine::Audit::sameAudit(now, recorded_))
        return;
    engine::Audit::State before = std::exchange(recorded_, now);
    stack_->push(new Entry(*this, what, std::move(before), std::move(now)));
}

void History::reset(bool clean) {
    stack_->clear();
    recorded_ = windows_.audit().state();
    calculations_ = windows_.audit().calculationCount();
    if (clean)
        stack_->setClean();
    else
        stack_->resetClean();
    Q_EMIT changed();
}

void History::setClean() {
    stack_->setClean();
}

bool History::isClean() const {
    return stack_->isClean();
}

void History::undo() {
    commit();
    stack_->undo();
}

void History::redo() {
    commit();
    stack_->redo();
}

void History::show(const engine::Audit::State& state) {
    const bool wasPaused = std::exchange(paused_, true);
    windows_.audit().restore(state);
    windows_.showAudit();
    // What the status line said belongs to the state left; the titles tell what is out of date.
    windows_.setStatus(QString());
    recorded_ = state;
    paused_ = wasPaused;
}
