// The memory budget of one program. Exact accounting of every byte a script
// holds would reach into every store; instead the places where values grow
// (strings built by expressions, arrays sized or appended to) charge what
// they add, and every so often the program measures what it really holds.
// A measure above the limit fails the statement with "out of memory".
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace tallow {

// The limit of a new program: far above what automation scripts hold, and
// below what a 32-bit process can allocate at all.
constexpr size_t kDefaultMemoryLimit = sizeof(void*) == 4 ? size_t(512) << 20 : size_t(1) << 30;

class MemoryMeter {
public:
    // Measures what the owner holds, in bytes; may throw std::length_error
    // itself (an array past its own budget).
    using Measure = size_t (*)(void* owner);

    MemoryMeter(Measure measure, void* owner) : measure_(measure), owner_(owner) {}

    // 0 means no limit.
    void SetLimit(size_t bytes) { limit_ = bytes; }
    size_t Limit() const { return limit_; }

    // Bytes about to be added to what the program holds (an estimate from
    // above); charged before the values grow.
    void Charge(size_t bytes) {
        charged_ += bytes;
        if (charged_ >= step_) Check(bytes);
    }

    // Measures now, with coming bytes about to be added; throws
    // std::length_error past the limit.
    void Check(size_t coming = 0) {
        charged_ = 0;
        size_t usage = measure_(owner_);
        usage_ = usage;
        if (limit_ && (coming > limit_ || usage > limit_ - coming)) throw std::length_error("memory limit");
        // The next measure after a quarter more (at least 16 MiB), and before
        // what may be charged could pass the limit.
        size_t step = std::max(kMinStep, usage / 4);
        if (limit_) step = std::min(step, std::max(kMinMargin, (limit_ - usage) / 2));
        step_ = step;
    }

    // Bytes added without a measure now: the next Charge or Room measures
    // when they reach the step. For places that must not fail.
    void Note(size_t bytes) { charged_ += bytes; }

    // Bytes that may still be added before the limit (SIZE_MAX without
    // one): from the last measure and the charges since, measuring again
    // first when exact or when the charges reached the step. Never throws.
    size_t Room(bool exact = false) noexcept {
        if (!limit_) return SIZE_MAX;
        if (exact || charged_ >= step_) {
            try {
                Check();
            } catch (...) {
                return 0;  // past the limit, or a value past a budget of its own
            }
        }
        size_t used = usage_ + charged_;
        return used >= limit_ ? 0 : limit_ - used;
    }

    // Starts a run: the first charges measure from what is held now.
    void Restart() {
        charged_ = 0;
        step_ = 0;
    }

private:
    static constexpr size_t kMinStep = size_t(16) << 20;
    static constexpr size_t kMinMargin = size_t(1) << 20;

    Measure measure_;
    void* owner_;
    size_t limit_ = kDefaultMemoryLimit;
    size_t charged_ = 0;
    size_t usage_ = 0;  // at the last measure
    size_t step_ = 0;
};

}  // namespace tallow
