#pragma once
// History: undo and redo of the audit. Every change the engineer makes (a field edit once the
// field is left or a step runs, a CALCULATE, grid rows deleted, a batch case opened into the
// audit) is one entry of an undo stack holding the engine's state before and after it. Undo
// and redo put a state back into the engine and show it in every window.
//
// The history follows the windows: each time they hand their texts to the engine (the start
// of every step) or show the engine's texts (the end of every step), the state is compared
// with the last one recorded, and a difference becomes a new entry. The stack's clean index
// marks the state that was last saved or opened.

#include "engine/audit.h"

#include <QObject>
#include <QString>
#include <cstdint>

class QAction;
class QUndoStack;
class Windows;

class History : public QObject {
    Q_OBJECT
public:
    static constexpr int kUndoLimit = 500; // changes kept for undo

    explicit History(Windows& windows, QObject* parent = nullptr);
    ~History() override;

    QUndoStack& stack() const { return *stack_; }
    // "Undo" and "Redo", with their shortcuts and tooltips.
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }

    // The windows' texts into the engine, and the state recorded when it differs from the last
    // one (an edit typed and not yet recorded).
    void commit();
    // The engine's state recorded as it is, named for what changed it, when it differs from the
    // last one recorded.
    void record(const QString& what);
    // Starts afresh from the engine's state: an empty stack; clean (the audit was saved or
    // opened) or not (a new audit that has changes from the start).
    void reset(bool clean);
    // The state now recorded is the saved one.
    void setClean();
    // Whether the recorded state is the saved one (an edit not yet recorded does not count here).
    bool isClean() const;
    // While set, nothing is recorded (the windows are rebuilt, or a state is put back).
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }

    // Steps back or forward; each first records an edit typed and not yet recorded.
    void undo();
    void redo();

Q_SIGNALS:
    // The stack or its clean state changed.
    void changed();

private:
    class Entry;
    // Puts a state back into the engine and shows it.
    void show(const engine::Audit::State& state);

    Windows& windows_;
    QUndoStack* stack_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    engine::Audit::State recorded_;
    std::uint64_t calculations_ = 0; // the engine's count of calculations when last recorded
    bool paused_ = false;
};
