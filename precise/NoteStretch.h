#pragma once
// Where in a take the note sounds steadily enough to be measured: a coarse
// level envelope of the whole take, then the sustained stretch chosen from it.
// The envelope is built while the take streams past, so that only the chosen
// stretch has to be held in memory afterwards.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tonarel::precise {

/// Samples per envelope block: 512 samples, 11.6 ms at 44 100 Hz.
inline constexpr uint32_t kLevelBlockSamples = 512;

/// The mean square of each consecutive block of kLevelBlockSamples samples,
/// fed in pieces of any length. A trailing partial block counts as a block of
/// its own once Finish() is called.
class LevelEnvelope {
public:
    void Add(std::span<const int16_t> samples);
    void Finish();

    /// One mean square per block (squared sample units, 0 for digital silence).
    const std::vector<double>& Levels() const { return levels_; }
    /// Every sample added so far (at most the largest uint32_t: a longer
    /// take is cut there).
    uint32_t SampleCount() const { return sampleCount_; }

private:
    std::vector<double> levels_;
    double blockSum_ = 0.0;
    uint32_t inBlock_ = 0;
    uint32_t sampleCount_ = 0;
};

/// A stretch of the take in samples: [firstSample, firstSample + sampleCount).
struct NoteStretch {
    uint32_t firstSample = 0;
    uint32_t sampleCount = 0;
};

/// The longest stretch a reading is based on: 2 s (here at 44 100 Hz; twice
/// the sample rate at others). Longer would add little precision and let the
/// slow pitch drift of a decaying string weigh in.
inline constexpr uint32_t kLongestStretchSamples = 2 * 44100;

/// Chooses the note's sustained stretch from the envelope of a take of
/// `takeSamples` samples at `sampleRate` per second: from 0.1 s after the attack (the first block within
/// 10 dB of the loudest one), so that the strike or breath of the attack is
/// left out, until the note has fallen 30 dB below its loudest block or to
/// 15 dB above the take's quietest tenth, whichever comes first, and at most
/// kLongestStretchSamples. A note that still sounds when the take stops runs
/// to the end of the take. A short note keeps at least the last three
/// quarters of what follows its attack.
/// Nothing when the take has no block louder than 1 (squared sample units),
/// that is, nothing but digital silence or a stray bit.
std::optional<NoteStretch> ChooseNoteStretch(std::span<const double> blockLevels, uint32_t takeSamples,
                                             uint32_t sampleRate = 44100);

}  // namespace tonarel::precise
