// What the engine remembers about places in one script text: compiled
// expressions and conditions, how statements dispatch, where forward scans
// end. Kept beside the lexer, per text; everything is keyed by the position
// where a read begins and dropped when the names it depends on change.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "chunked_vector.h"
#include "lexer.h"

namespace tallow {

struct NumCode;
struct StrCode;
struct CondCode;
struct StatementPlan;
struct ScanMemo;

// Per place: what was decided there, or null when nothing was tried yet.
// A decision that the text must be read every time is NotCompilableMark.
struct PlaceNotes {
    NumCode* num = nullptr;
    StrCode* str = nullptr;
    CondCode* cond = nullptr;
    StatementPlan* statement = nullptr;
    ScanMemo* scan = nullptr;
    // Whether a first parameter here may be read as a view of its variable.
    enum : int8_t { kViewUnknown, kViewable, kNotViewable } view = kViewUnknown;
};

// Marks a place whose code must be read from the text.
template <class T>
T* NotCompilableMark() {
    return reinterpret_cast<T*>(uintptr_t(1));
}

// What the arguments of a call (the text between its name and its closing
// parenthesis) may do: whether they can change a variable (an object member,
// or a call of anything but a built-in function that changes none), and the
// string variables they read, also inside nested calls.
struct CallRegion {
    bool changesNothing = true;
    bool readsMany = false;  // more string variables than listed
    std::vector<std::string_view> reads;
};

class MainObject;

class TextMemory {
public:
    explicit TextMemory(size_t textSize);
    ~TextMemory();

    // The notes of the place at pos, valid under the name generation given.
    // The first visit of a place leaves nothing but a mark and gives null:
    // most of a big script runs once, and remembering pays only where the
    // script comes back. Notes of another generation are forgotten.
    PlaceNotes* Visit(uint32_t pos, uint32_t generation) {
        if (generation != generation_) Forget(generation);
        uint32_t i = Find(pos);
        if (i != kNone) return &notes_[i];
        if (!Seen(pos)) return nullptr;
        return Create(pos);
    }

    // Keeps code made for a place; the memory owns it.
    template <class T>
    T* Keep(std::unique_ptr<T> code) {
        T* kept = code.get();
        code_.push_back(std::shared_ptr<void>(std::move(code)));
        return kept;
    }

    // The token that closes the call or "(" token at open, found by one
    // forward pass that notes the matches of every parenthesis on the way;
    // throws LexProbeFailed when the text ends first or cannot be read.
    const Token& MatchingClose(const Lexer& lexer, const Token& open);

    // What the arguments of the call token call may do, found once per
    // call (nested calls once each); throws LexProbeFailed when the text
    // cannot be read to the call's close.
    const CallRegion& Region(const Lexer& lexer, const MainObject& main, const Token& call);
    // The region of the call whose token ends at callEnd, when it is known.
    const CallRegion* KnownRegion(uint32_t callEnd) const {
        auto it = regions_.find(callEnd);
        return it == regions_.end() ? nullptr : &it->second;
    }

    // Frees the code of forgotten generations. Only where none of it can be
    // running: at a statement boundary of the loop that runs the text itself.
    bool HasStale() const { return !stale_.empty(); }
    void Collect() { stale_.clear(); }
    uint32_t Generation() const { return generation_; }

private:
    static constexpr uint32_t kNone = UINT32_MAX;

    bool Seen(uint32_t pos) {
        uint64_t bit = uint64_t(1) << (pos & 63);
        uint64_t& word = seen_[pos >> 6];
        if (word & bit) return true;
        word |= bit;
        return false;
    }
    uint32_t Find(uint32_t pos) const {
        if (keys_.empty()) return kNone;
        size_t mask = keys_.size() - 1;
        for (size_t h = Hash(pos) & mask;; h = (h + 1) & mask) {
            if (keys_[h] == pos + 1) return slots_[h];
            if (keys_[h] == 0) return kNone;
        }
    }
    static size_t Hash(uint32_t pos) { return size_t(pos) * 2654435761u >> 7; }
    PlaceNotes* Create(uint32_t pos);
    void Forget(uint32_t generation);

    std::vector<uint64_t> seen_;  // one bit per text position
    std::vector<uint32_t> keys_;  // open addressing: position + 1, 0 for free
    std::vector<uint32_t> slots_;
    ChunkedVector<PlaceNotes, 8> notes_;
    std::unordered_map<uint32_t, Token> closes_;
    std::unordered_map<uint32_t, CallRegion> regions_;  // by the call's end; names of the generation
    uint32_t generation_ = 0;
    std::vector<std::shared_ptr<void>> code_;
    std::vector<std::shared_ptr<void>> stale_;
};

}  // namespace tallow
