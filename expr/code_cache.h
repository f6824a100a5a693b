// What the engine remembers about places in one script text: keyword ids,
// compiled expressions, how statements dispatch and where forward scans end.
// Everything is keyed by the index of the token that starts at the place and
// is dropped when the names it depends on change.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "chunked_vector.h"
#include "compiled_expr.h"

namespace tallow {

struct StatementPlan;
struct ScanResult;

constexpr int32_t kKeywordUnknown = INT32_MIN;

// Per place: what was decided there, or null when nothing was tried yet.
// A decision that the text must be read every time is the sentinel below.
struct PlaceNotes {
    int32_t keyword = kKeywordUnknown;  // the main object's statement id of the text
    NumCode* num = nullptr;
    StrCode* str = nullptr;
    CondCode* cond = nullptr;
    StatementPlan* statement = nullptr;
    ScanResult* scan = nullptr;
};

// Marks a place whose code must be read from the text.
template <class T>
T* NotCompilableMark() {
    return reinterpret_cast<T*>(uintptr_t(1));
}

class CodeCache {
public:
    CodeCache();
    ~CodeCache();

    // The notes of token index under the current name generation; notes
    // made under another generation are forgotten.
    PlaceNotes& At(uint32_t token, uint32_t generation) {
        if (generation != generation_) Forget(generation);
        if (token >= notes_.size()) Grow(token);
        return notes_[token];
    }

    // Keeps code made for a place; the cache owns it.
    template <class T>
    T* Keep(std::vector<std::unique_ptr<T>>& arena, std::unique_ptr<T> code) {
        arena.push_back(std::move(code));
        return arena.back().get();
    }

    std::vector<std::unique_ptr<NumCode>> nums;
    std::vector<std::unique_ptr<StrCode>> strs;
    std::vector<std::unique_ptr<CondCode>> conds;
    std::vector<std::unique_ptr<StatementPlan>> statements;
    std::vector<std::unique_ptr<ScanResult>> scans;

private:
    void Grow(uint32_t token) { notes_.grow_to(size_t(token) + 1); }
    void Forget(uint32_t generation);

    ChunkedVector<PlaceNotes> notes_;
    uint32_t generation_ = 0;
};

}  // namespace tallow
