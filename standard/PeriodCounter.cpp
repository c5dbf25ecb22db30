#include "standard/PeriodCounter.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tonarel {
namespace {

// References never fall below this, so that near-silence is not taken for a
// note's half-waves.
constexpr int32_t kReferenceFloor = 10;

// The references are refreshed while the count is a multiple of this.
constexpr uint32_t kRefreshEvery = 5;

// The counter's loops advance through runs of samples of one sign. A run is
// skipped eight samples at a time by looking at their sign bits together
// (samples lie in memory little-endian, sample k of a 64-bit word in bits 16k
// to 16k + 15), and its extreme is then taken in a loop that the compiler
// vectorises; this keeps an estimate of a long recording at a few times the
// cost of reading it.
constexpr uint64_t kSignBits = 0x8000'8000'8000'8000u;
constexpr uint32_t kChunk = 8;

// Whether the 8 samples from s hold one of the sign that `flip` selects
// (0: a negative sample; kSignBits: a non-negative one).
bool ChunkHoldsOtherSign(const int16_t* s, uint64_t flip)
{
    uint64_t words[2];
    std::memcpy(words, s, sizeof words);
    return (((words[0] ^ flip) | (words[1] ^ flip)) & kSignBits) != 0;
}

// The end of the run of non-negative (negative = false) or negative samples
// that starts at i: the first index in [i, n) of the other sign, or n.
uint32_t EndOfSignRun(const int16_t* s, uint32_t i, uint32_t n, bool negative)
{
    const uint64_t flip = negative ? kSignBits : 0;
    while (n - i >= kChunk && !ChunkHoldsOtherSign(s + i, flip)) {
        i += kChunk;
    }
    while (i < n && (s[i] < 0) == negative) {
        ++i;
    }
    return i;
}

// The highest and the lowest of s[first .. end), first < end.
int16_t Highest(const int16_t* s, uint32_t first, uint32_t end)
{
    int16_t highest = s[first];
    for (uint32_t k = first + 1; k < end; ++k) {
        highest = std::max(highest, s[k]);
    }
    return highest;
}

int16_t Lowest(const int16_t* s, uint32_t first, uint32_t end)
{
    int16_t lowest = s[first];
    for (uint32_t k = first + 1; k < end; ++k) {
        lowest = std::min(lowest, s[k]);
    }
    return lowest;
}

struct LongestRuns {
    uint32_t negativeAndHigh = 1;  // a negative half-wave and the tall positive samples that follow it
    uint32_t nonNegative = 1;
};

// Pass 2: the longest runs against which a half-wave's length is judged.
// Alternately: a run of samples that are negative or above half the positive
// reference, ended by a sample from 0 to that half; then a run of
// non-negative samples. Only the first run of each kind counts from 1, the
// later ones from 0.
LongestRuns FindLongestRuns(const int16_t* s, uint32_t n, int32_t positiveReference)
{
    const int32_t halfPositive = positiveReference / 2;
    LongestRuns longest;
    uint32_t runA = 1;
    uint32_t runB = 1;
    uint32_t i = 0;
    while (i < n) {
        const uint32_t startA = i;
        while (i < n) {
            if (s[i] < 0) {
                i = EndOfSignRun(s, i, n, true);
            } else if (s[i] > halfPositive) {
                ++i;
            } else {
                break;
            }
        }
        runA += i - startA;
        longest.negativeAndHigh = std::max(longest.negativeAndHigh, runA);
        runA = 0;

        const uint32_t startB = i;
        i = EndOfSignRun(s, i, n, false);
        runB += i - startB;
        longest.nonNegative = std::max(longest.nonNegative, runB);
        runB = 0;
    }
    return longest;
}

// The state of pass 3 for one sign.
struct HalfWave {
    int32_t reference;          // how tall a lobe must be (against ratio)
    int32_t accumulated = 1;    // the highest magnitude read since the last refresh
    int32_t lobePeak = 1;       // the highest magnitude since the last count
    uint32_t length = 1;        // samples since the last count, plus one
    bool accepted = false;
};

// Takes in the stretch [first, end) of one sign, `peak` its highest
// magnitude and `lastMagnitude` that of its last sample.
//
// While the count is a multiple of 5 the references are refreshed at every
// sample read: own.reference = own.accumulated, other.reference =
// other.accumulated, then both accumulators return to the floor. Over a
// stretch this leaves, for one sample, the maxima collected before it (its
// own sign's including it); for more, the last sample's magnitude (at least
// the floor) and the floor for the other sign.
void TakeStretch(HalfWave& own, HalfWave& other, uint32_t first, uint32_t end, int32_t peak, int32_t lastMagnitude,
                 bool refreshing)
{
    const uint32_t length = end - first;
    if (length == 0) {
        return;
    }
    own.lobePeak = std::max(own.lobePeak, peak);
    own.length += length;
    if (!refreshing) {
        own.accumulated = std::max(own.accumulated, peak);
        return;
    }
    if (length == 1) {
        own.reference = std::max(own.accumulated, peak);
        other.reference = other.accumulated;
    } else {
        own.reference = std::max(kReferenceFloor, lastMagnitude);
        other.reference = kReferenceFloor;
    }
    own.accumulated = kReferenceFloor;
    other.accumulated = kReferenceFloor;
}

// A half-wave is accepted when it is tall enough against its reference,
// reference / lobePeak < ratio, and long enough against the longest run of
// its kind, longestRun / length <= ratio (truncating divisions of positive
// numbers). Multiplied out in 64 bits these are exactly
// reference < ratio x lobePeak and longestRun < (ratio + 1) x length, and cost
// no division per half-wave.
void JudgeHalfWave(HalfWave& wave, uint32_t longestRun, uint32_t ratio)
{
    const uint64_t reference = static_cast<uint32_t>(wave.reference);
    const uint64_t lobePeak = static_cast<uint32_t>(wave.lobePeak);
    if (reference < ratio * lobePeak && longestRun < (ratio + uint64_t{1}) * wave.length) {
        wave.accepted = true;
    }
}

}  // namespace

uint32_t CountPeriods(int16_t bitsPerSample, const int16_t* samples, uint32_t byteCount, uint32_t ratio)
{
    if (bitsPerSample != 16) {
        return kNoPeriodCounted;
    }
    const uint32_t n = byteCount / 2;
    const int16_t* s = samples;
    if (n == 0) {
        return kNoPeriodCounted;
    }

    // Pass 1: the starting references, the largest positive sample and the
    // largest negative magnitude, each at least the floor
    // (one sweep for both, which the compiler vectorises).
    int16_t highest = 0;
    int16_t lowest = 0;
    for (uint32_t k = 0; k < n; ++k) {
        highest = std::max(highest, s[k]);
        lowest = std::min(lowest, s[k]);
    }
    HalfWave positive{.reference = std::max(kReferenceFloor, static_cast<int32_t>(highest))};
    HalfWave negative{.reference = std::max(kReferenceFloor, -static_cast<int32_t>(lowest))};

    const LongestRuns longest = FindLongestRuns(s, n, positive.reference);

    // Pass 3: a period counts once a positive and a negative half-wave have
    // both been accepted since the last count.
    uint32_t count = 0;
    const auto countIfBothAccepted = [&] {
        if (positive.accepted && negative.accepted) {
            ++count;
            positive.length = negative.length = 1;
            positive.lobePeak = negative.lobePeak = 1;
            positive.accepted = negative.accepted = false;
        }
    };
    uint32_t i = 0;
    while (i < n) {
        uint32_t end = EndOfSignRun(s, i, n, false);
        if (end > i) {
            TakeStretch(positive, negative, i, end, Highest(s, i, end), s[end - 1], count % kRefreshEvery == 0);
            i = end;
        }
        JudgeHalfWave(positive, longest.negativeAndHigh, ratio);
        countIfBothAccepted();

        end = EndOfSignRun(s, i, n, true);
        if (end > i) {
            TakeStretch(negative, positive, i, end, -static_cast<int32_t>(Lowest(s, i, end)),
                        -static_cast<int32_t>(s[end - 1]), count % kRefreshEvery == 0);
            i = end;
        }
        JudgeHalfWave(negative, longest.nonNegative, ratio);
        countIfBothAccepted();
    }
    return count - 1;
}

}  // namespace tonarel
