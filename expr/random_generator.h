// The pseudo-random generator behind rnd: the classic linear congruential
// generator, written out so that one seed gives one sequence on every target.
#pragma once

#include <cstdint>
#include <ctime>

namespace tallow {

class RandomGenerator {
public:
    // Seeded from the current time, once per program.
    RandomGenerator() : state_(uint32_t(std::time(nullptr))) {}
    explicit RandomGenerator(uint32_t seed) : state_(seed) {}

    void Seed(uint32_t seed) { state_ = seed; }
    // The next value, 0 to 32767.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return int((state_ >> 16) & 0x7fff);
    }

private:
    uint32_t state_;
};

}  // namespace tallow
