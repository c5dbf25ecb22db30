#pragma once
// The most recent samples of a stream that never ends: a ring of fixed
// capacity, allocated once, so that listening for an hour holds no more than
// listening for a second.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace tonarel::tuner {

class SampleRing {
public:
    /// Holds the last `capacity` samples (a power of two, at least 2).
    explicit SampleRing(std::size_t capacity);

    /// Appends `samples`; the oldest beyond the capacity are forgotten.
    void Append(std::span<const int16_t> samples);

    /// Samples appended since construction or Clear(), forgotten ones included.
    uint64_t Appended() const { return appended_; }
    /// How many of the latest samples can be copied out: min(Appended(), capacity).
    std::size_t Held() const;
    std::size_t Capacity() const { return capacity_; }

    /// Copies the `out.size()` samples that end `back` samples before the
    /// latest one (0: the latest samples), oldest first, into `out`.
    /// out.size() + back must not exceed Held().
    /// Example: after appending 1, 2, 3, 4, CopyLatest(out of 2, 1) gives 2, 3.
    void CopyLatest(std::span<int16_t> out, std::size_t back = 0) const;

    void Clear();

private:
    std::size_t capacity_;
    std::unique_ptr<int16_t[]> samples_;
    uint64_t appended_ = 0;
};

}  // namespace tonarel::tuner
