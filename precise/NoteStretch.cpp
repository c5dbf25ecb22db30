#include "precise/NoteStretch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tonarel::precise {
namespace {

constexpr uint32_t kSettleDivisor = 10;         // 0.1 s after the attack
constexpr double kAttackWithin = 0.1;           // the attack: the first block within 10 dB of the loudest
constexpr double kDecayedBy = 1e-3;             // the note has ended 30 dB below its loudest block...
constexpr double kAboveQuietest = 31.6227766;   // ...or 15 dB above the take's quietest tenth...
constexpr double kEndAtMost = 0.1;              // ...but a level 10 dB down never ends it
constexpr std::size_t kQuietBlocksToEnd = 3;    // brief dips (beating, tremolo) do not end a note
constexpr double kAudibleLevel = 1.0;           // mean square of a take that holds more than stray bits

}  // namespace

void LevelEnvelope::Add(std::span<const int16_t> samples)
{
    samples = samples.first(std::min<std::size_t>(samples.size(), std::numeric_limits<uint32_t>::max() - sampleCount_));
    for (const int16_t sample : samples) {
        const double value = sample;
        blockSum_ += value * value;
        if (++inBlock_ == kLevelBlockSamples) {
            levels_.push_back(blockSum_ / kLevelBlockSamples);
            blockSum_ = 0.0;
            inBlock_ = 0;
        }
    }
    sampleCount_ += static_cast<uint32_t>(samples.size());
}

void LevelEnvelope::Finish()
{
    if (inBlock_ > 0) {
        levels_.push_back(blockSum_ / inBlock_);
        blockSum_ = 0.0;
        inBlock_ = 0;
    }
}

std::optional<NoteStretch> ChooseNoteStretch(std::span<const double> blockLevels, uint32_t takeSamples,
                                             uint32_t sampleRate)
{
    if (blockLevels.empty() || takeSamples == 0) {
        return std::nullopt;
    }
    const auto loudest = std::max_element(blockLevels.begin(), blockLevels.end());
    const double peak = *loudest;
    if (!(peak > kAudibleLevel)) {
        return std::nullopt;
    }
    const std::size_t peakBlock = static_cast<std::size_t>(loudest - blockLevels.begin());

    std::vector<double> sorted(blockLevels.begin(), blockLevels.end());
    const std::size_t tenth = sorted.size() / 10;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(tenth), sorted.end());
    const double quietest = sorted[tenth];

    std::size_t attackBlock = 0;
    while (blockLevels[attackBlock] < kAttackWithin * peak) {
        ++attackBlock;
    }
    const double endLevel = std::min(std::max(kDecayedBy * peak, kAboveQuietest * quietest), kEndAtMost * peak);

    uint32_t end = takeSamples;
    for (std::size_t block = peakBlock + 1; block < blockLevels.size(); ++block) {
        const std::size_t last = std::min(block + kQuietBlocksToEnd, blockLevels.size());
        const bool quiet = std::all_of(blockLevels.begin() + static_cast<std::ptrdiff_t>(block),
                                       blockLevels.begin() + static_cast<std::ptrdiff_t>(last),
                                       [endLevel](double level) { return level < endLevel; });
        if (quiet) {
            end = static_cast<uint32_t>(std::min<uint64_t>(end, uint64_t{block} * kLevelBlockSamples));
            break;
        }
    }

    const auto attack =
        static_cast<uint32_t>(std::min<uint64_t>(uint64_t{attackBlock} * kLevelBlockSamples, takeSamples));
    if (end <= attack) {
        return std::nullopt;
    }
    const uint32_t settle = std::min(sampleRate / kSettleDivisor, (end - attack) / 4);
    const uint32_t first = attack + settle;
    const auto last = static_cast<uint32_t>(std::min<uint64_t>(end, uint64_t{first} + 2 * uint64_t{sampleRate}));
    if (last <= first) {
        return std::nullopt;
    }
    return NoteStretch{first, last - first};
}

}  // namespace tonarel::precise
