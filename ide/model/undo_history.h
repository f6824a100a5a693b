// Undo and Redo over whole states: before a change its owner records the
// state as it stands, and a step that changed nothing is passed over. A run
// of changes of one kind (typing, deleting, nudging one control) is one step
// until the run is broken (by a cursor movement, a change of another kind).
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <utility>

namespace tallow::ide {

// Changes that continue a run of their kind; kNoRun starts a step of its own.
enum class UndoRun { kNoRun, kTyping, kDeleting, kNudging };

// The steps kept; older ones are forgotten.
inline constexpr size_t kMaxUndoSteps = 200;

template <typename State>
class UndoHistory {
public:
    // The state before a change. A change of the running kind adds no step,
    // unless it starts a run afresh (typing over a selection).
    void Record(const State& before, UndoRun run = UndoRun::kNoRun, bool fresh = false) {
        redo_.clear();
        if (!fresh && run != UndoRun::kNoRun && run == running_) return;
        running_ = run;
        undo_.push_back(before);
        if (undo_.size() > kMaxUndoSteps) undo_.pop_front();
    }
    // The next change starts a step of its own.
    void BreakRun() { running_ = UndoRun::kNoRun; }
    // Forgets the step just recorded (a change that was called off).
    void DropLast() {
        if (!undo_.empty()) undo_.pop_back();
        running_ = UndoRun::kNoRun;
    }
    void Clear() {
        undo_.clear();
        redo_.clear();
        running_ = UndoRun::kNoRun;
    }
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }

    // The state to go back to from current, or nothing; steps equal to
    // current are passed over.
    std::optional<State> Undo(const State& current) { return Step(undo_, redo_, current); }
    std::optional<State> Redo(const State& current) { return Step(redo_, undo_, current); }

private:
    std::optional<State> Step(std::deque<State>& from, std::deque<State>& to, const State& current) {
        running_ = UndoRun::kNoRun;
        while (!from.empty() && from.back() == current)
            from.pop_back();
        if (from.empty()) return std::nullopt;
        State state = std::move(from.back());
        from.pop_back();
        to.push_back(current);
        return state;
    }

    std::deque<State> undo_;
    std::deque<State> redo_;
    UndoRun running_ = UndoRun::kNoRun;
};

}  // namespace tallow::ide
