#include "tuner/core/SampleRing.h"

#include <algorithm>
#include <cassert>

namespace tonarel::tuner {

SampleRing::SampleRing(std::size_t capacity) : capacity_(capacity), samples_(std::make_unique<int16_t[]>(capacity))
{
    assert(capacity >= 2 && (capacity & (capacity - 1)) == 0);
}

void SampleRing::Append(std::span<const int16_t> samples)
{
    if (samples.size() > capacity_) {
        appended_ += samples.size() - capacity_;
        samples = samples.last(capacity_);
    }
    std::size_t at = static_cast<std::size_t>(appended_ & (capacity_ - 1));
    const std::size_t firstPart = std::min(samples.size(), capacity_ - at);
    std::copy_n(samples.begin(), firstPart, samples_.get() + at);
    std::copy(samples.begin() + static_cast<std::ptrdiff_t>(firstPart), samples.end(), samples_.get());
    appended_ += samples.size();
}

std::size_t SampleRing::Held() const
{
    return static_cast<std::size_t>(std::min<uint64_t>(appended_, capacity_));
}

void SampleRing::CopyLatest(std::span<int16_t> out, std::size_t back) const
{
    assert(out.size() + back <= Held());
    const uint64_t first = appended_ - back - out.size();
    for (std::size_t n = 0; n < out.size();) {
        const std::size_t at = static_cast<std::size_t>((first + n) & (capacity_ - 1));
        const std::size_t run = std::min(out.size() - n, capacity_ - at);
        std::copy_n(samples_.get() + at, run, out.begin() + static_cast<std::ptrdiff_t>(n));
        n += run;
    }
}

void SampleRing::Clear()
{
    appended_ = 0;
}

}  // namespace tonarel::tuner
