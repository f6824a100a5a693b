// A growable array whose elements never move, so references to them stay
// valid while it grows: storage in fixed-size chunks.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tallow {

template <class T, unsigned ChunkBits = 10>
class ChunkedVector {
public:
    static constexpr size_t kChunk = size_t(1) << ChunkBits;

    T& operator[](size_t i) { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
    const T& operator[](size_t i) const { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& push_back(const T& value) {
        if ((size_ >> ChunkBits) >= chunks_.size()) chunks_.push_back(std::make_unique<T[]>(kChunk));
        T& slot = (*this)[size_++];
        slot = value;
        return slot;
    }
    // Grows to at least n elements, new ones value-initialised.
    void grow_to(size_t n) {
        while (chunks_.size() * kChunk < n)
            chunks_.push_back(std::make_unique<T[]>(kChunk));
        if (n > size_) size_ = n;
    }
    void clear() {
        chunks_.clear();
        size_ = 0;
    }
    // Sets every element back to T{}.
    void reset_all() {
        for (auto& chunk : chunks_)
            for (size_t i = 0; i < kChunk; ++i)
                chunk[i] = T{};
    }

private:
    std::vector<std::unique_ptr<T[]>> chunks_;
    size_t size_ = 0;
};

}  // namespace tallow
