#include "wave/PeriodCounter.h"

#include <algorithm>

#include "wave/SampleMagnitude.h"

namespace tonarel {
namespace {

// References never fall below this, so that near-silence is not taken for a
// note's half-waves.
constexpr int32_t kReferenceFloor = 10;

// The references are refreshed while the count is a multiple of this.
constexpr uint32_t kRefreshEvery = 5;

struct LongestRuns {
    uint32_t negativeAndHigh = 1;  // a negative half-wave and the tall positive samples that follow it
    uint32_t nonNegative = 1;
};

// The longest runs against which a half-wave's length is judged. Only the
// first run of each kind starts counting from 1, the later ones from 0.
LongestRuns FindLongestRuns(const int16_t* s, uint32_t n, int32_t positiveReference)
{
    const int32_t halfPositive = positiveReference / 2;
    LongestRuns longest;
    uint32_t runA = 1;
    uint32_t runB = 1;
    uint32_t i = 0;
    while (i < n) {
        const uint32_t startA = i;
        while (i < n && (s[i] < 0 || s[i] > halfPositive)) {
            ++i;
        }
        runA += i - startA;
        longest.negativeAndHigh = std::max(longest.negativeAndHigh, runA);
        runA = 0;

        const uint32_t startB = i;
        while (i < n && s[i] >= 0) {
            ++i;
        }
        runB += i - startB;
        longest.nonNegative = std::max(longest.nonNegative, runB);
        runB = 0;
    }
    return longest;
}

}  // namespace

uint32_t CountPeriods(int16_t bitsPerSample, const int16_t* samples, uint32_t byteCount, uint32_t ratio)
{
    if (bitsPerSample != 16) {
        return kNoPeriodCounted;
    }
    const uint32_t n = byteCount / 2;
    const int16_t* s = samples;

    // Pass 1: the starting references.
    int16_t highest = 0;
    int16_t lowest = 0;
    for (uint32_t k = 0; k < n; ++k) {
        highest = std::max(highest, s[k]);
        lowest = std::min(lowest, s[k]);
    }
    int32_t positiveReference = std::max(kReferenceFloor, static_cast<int32_t>(highest));
    int32_t negativeReference = std::max(kReferenceFloor, -static_cast<int32_t>(lowest));

    // Pass 2.
    const LongestRuns longest = FindLongestRuns(s, n, positiveReference);

    // Pass 3: counting.
    uint32_t count = 0;
    bool positiveAccepted = false;
    bool negativeAccepted = false;
    int32_t positiveLobePeak = 1;
    int32_t negativeLobePeak = 1;
    uint32_t positiveLength = 1;
    uint32_t negativeLength = 1;
    int32_t positiveAccumulated = 1;
    int32_t negativeAccumulated = 1;

    const auto countIfBothAccepted = [&] {
        if (positiveAccepted && negativeAccepted) {
            ++count;
            positiveLength = 1;
            negativeLength = 1;
            positiveLobePeak = 1;
            negativeLobePeak = 1;
            positiveAccepted = false;
            negativeAccepted = false;
        }
    };
    // While the count is a multiple of 5 the references follow every sample
    // read: the first such sample turns the maxima collected since the last
    // refresh into the references, each later one its own magnitude (at
    // least the floor). The count cannot change within a stretch, so the
    // decision is taken once per stretch.
    const auto refreshReferences = [&] {
        positiveReference = positiveAccumulated;
        negativeReference = negativeAccumulated;
        positiveAccumulated = kReferenceFloor;
        negativeAccumulated = kReferenceFloor;
    };

    uint32_t i = 0;
    while (i < n) {
        bool refreshing = count % kRefreshEvery == 0;
        while (i < n && s[i] >= 0) {
            const int32_t value = s[i];
            positiveLobePeak = std::max(positiveLobePeak, value);
            positiveAccumulated = std::max(positiveAccumulated, value);
            ++positiveLength;
            if (refreshing) {
                refreshReferences();
            }
            ++i;
        }
        if (static_cast<uint32_t>(positiveReference / positiveLobePeak) < ratio &&
            longest.negativeAndHigh / positiveLength <= ratio) {
            positiveAccepted = true;
        }
        countIfBothAccepted();

        refreshing = count % kRefreshEvery == 0;
        while (i < n && s[i] < 0) {
            const int32_t magnitude = Magnitude(s[i]);
            negativeLobePeak = std::max(negativeLobePeak, magnitude);
            negativeAccumulated = std::max(negativeAccumulated, magnitude);
            ++negativeLength;
            if (refreshing) {
                refreshReferences();
            }
            ++i;
        }
        if (static_cast<uint32_t>(negativeReference / negativeLobePeak) < ratio &&
            longest.nonNegative / negativeLength <= ratio) {
            negativeAccepted = true;
        }
        countIfBothAccepted();
    }
    return count - 1;
}

}  // namespace tonarel
