// The live tracker on any input fed in blocks of any sizes.
//
// Input: a 4-byte prefix, then 16-bit little-endian samples (an odd last byte
// is ignored).
//   byte 0: how many times the samples are fed one after another, 1 to 16
//           (a short input then still makes a note long enough to be held);
//   byte 1: seeds the sequence of block sizes, 0 to 4999 samples each;
//   byte 2: the frequency correction, 1 + (signed byte) / 10000;
//   byte 3: bit 0 resets the tracker halfway through.
// Checked: one reading per 1024 samples fed since the last reset, at the end
// of its samples; every reading within its ranges; and no allocation while
// feeding larger than a decision's spectrum (the tracker's own buffers are
// made at construction).

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "fuzz/AllocationWatch.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "precise/PartialSeries.h"
#include "precise/StiffString.h"
#include "precise/StretchSpectrum.h"
#include "tuner/core/LiveTracker.h"

namespace tonarel::fuzz {
namespace {

constexpr std::size_t kPrefixBytes = 4;
constexpr std::size_t kLongestBlock = 5000;
// A decision's spectrum: the longest stretch searched (8192 samples),
// zero-padded to twice that in floats, plus FFTW's tables and bookkeeping.
constexpr std::size_t kLargestAllocation = sizeof(float) * (2 * 8192 + 2) + 4096;

void CheckReading(const tuner::LiveReading& reading, uint64_t fedSinceReset)
{
    FUZZ_CHECK(reading.timeSeconds == static_cast<double>(fedSinceReset) / 44100.0);
    FUZZ_CHECK(std::isfinite(reading.confidence) && reading.confidence >= 0.0 && reading.confidence <= 1.0);
    FUZZ_CHECK(reading.inharmonicity >= 0.0 && reading.inharmonicity <= precise::kLargestInharmonicity);
    if (reading.found) {
        FUZZ_CHECK(reading.firstPartialHz >= precise::kLowestFirstPartialHz &&
                   reading.firstPartialHz <= precise::kHighestFirstPartialHz);
        FUZZ_CHECK(reading.confidence >= 0.5);
        FUZZ_CHECK(reading.partialCount >= 1);
    } else {
        FUZZ_CHECK(reading.firstPartialHz == 0.0 && reading.partialCount == 0 && !reading.noteStarted);
    }
}

}  // namespace

void FuzzLiveTracker(const uint8_t* data, std::size_t size)
{
    if (size < kPrefixBytes) {
        return;
    }
    const std::size_t repeats = 1 + data[0] % 16;
    uint32_t blockState = data[1];
    const double correction = 1.0 + static_cast<int8_t>(data[2]) / 10000.0;
    const bool resetHalfway = (data[3] & 1) != 0;
    std::vector<int16_t> samples((size - kPrefixBytes) / 2);
    if (!samples.empty()) {
        std::memcpy(samples.data(), data + kPrefixBytes, 2 * samples.size());
    }
    const uint64_t total = samples.size() * repeats;

    tuner::LiveTracker tracker;
    tracker.SetFrequencyCorrection(correction);
    FUZZ_CHECK(tracker.FrequencyCorrection() == correction);
    std::vector<tuner::LiveReading> readings;
    readings.reserve(total / tuner::LiveTracker::kReadingInterval + 1);

    uint64_t fed = 0;
    uint64_t fedSinceReset = 0;
    bool reset = false;
    std::size_t largest = 0;
    {
        const AllocationWatch watch;
        while (fed < total) {
            blockState = blockState * 1664525u + 1013904223u;
            const std::size_t at = static_cast<std::size_t>(fed % samples.size());
            const std::size_t block = std::min<std::size_t>({(blockState >> 8) % kLongestBlock,
                                                             samples.size() - at, total - fed});
            const std::size_t before = readings.size();
            tracker.Feed(std::span<const int16_t>(samples).subspan(at, block), readings);
            constexpr uint64_t kInterval = tuner::LiveTracker::kReadingInterval;
            FUZZ_CHECK(readings.size() - before == (fedSinceReset + block) / kInterval - fedSinceReset / kInterval);
            uint64_t end = fedSinceReset / kInterval * kInterval;
            for (std::size_t i = before; i < readings.size(); ++i) {
                end += kInterval;
                CheckReading(readings[i], end);
            }
            fed += block;
            fedSinceReset += block;
            if (resetHalfway && !reset && fed >= total / 2) {
                tracker.Reset();
                fedSinceReset = 0;
                reset = true;
            }
        }
        largest = watch.Largest();
    }
    FUZZ_CHECK(largest <= kLargestAllocation);
}

}  // namespace tonarel::fuzz
