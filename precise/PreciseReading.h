#pragma once
// The precise reading: the frequency of a recorded note's first partial, the
// pitch a tuner sets, measured from the partials of the note's sustained
// stretch. It stands beside EstimatePitch (standard/PitchEstimator.h), which it
// neither calls nor changes.
//
// How: a level envelope of the take finds the sustained stretch (from 0.1 s
// after the attack until the note has decayed, at most 2 s); its Hann-windowed,
// zero-padded spectrum shows the partials; the series of partials that best
// explains the spectral peaks decides the note (so a weak or missing first
// partial, and octave or fifth ambiguity, do not mislead it); each partial's
// frequency is the power-weighted mean over its band, which is its mean
// frequency over the stretch (vibrato averages out); a stiff-string fit over
// the partials gives the inharmonicity and, where the first partial is weak,
// the first partial's frequency from the upper ones.

#include <cstdint>
#include <filesystem>
#include <span>

namespace tonarel {

class CaptureFile;

/// One precise reading and what it was based on.
struct PreciseReading {
    /// A pitch was found that the reading stands behind. When false, the
    /// other fields describe how far it got (0 where it did not get there).
    bool found = false;
    /// The note's first partial in hertz (25 to 4600 Hz when found).
    double firstPartialHz = 0.0;
    /// The stretch analysed, as data offsets in bytes (from the first sample
    /// byte): [beginByte, endByte). Both 0 when no stretch was chosen.
    uint32_t beginByte = 0;
    uint32_t endByte = 0;
    /// The share of the stretch's power, from half the first partial up to
    /// the highest partial used, that lies in the note's partials: 0 to 1,
    /// near 1 for a clean note, near 0 for noise.
    double confidence = 0.0;
    /// The fitted stiff-string inharmonicity B of f_k = k f0 sqrt(1 + B k^2);
    /// 0 when fewer than three partials were used or none stretch.
    double inharmonicity = 0.0;
    /// How many partials the reading used.
    uint32_t partialCount = 0;
};

/// The least confidence with which a reading is found.
inline constexpr double kLeastPreciseConfidence = 0.5;

/// Reads the capture file `captureFile` (16-bit mono samples at 44 100 Hz
/// behind a 44-byte header; DataSize bounds the samples read, and a file
/// shorter than it reads as a shorter take). Not found, and never a throw for
/// any file content: a missing or unreadable file, one shorter than its
/// header, samples that are not 16-bit, digital silence, noise without a
/// note, or a note too short for its pitch (under four periods of sustain).
/// Memory: one pass over the file for the envelope (a few bytes per 512
/// samples), then the stretch alone (at most 2 s) and its transform (at most
/// 2^18 floats). Not thread-safe (see precise/StretchSpectrum.h).
PreciseReading EstimatePrecisePitch(const std::filesystem::path& captureFile);

/// The same through a reader the caller has opened on the take (read from its
/// first data byte; the reader's position on return is unspecified), so that
/// one analysis opens the take once for both readings.
PreciseReading EstimatePrecisePitch(CaptureFile& take);

/// The same for a take already in memory: `samples` at `sampleRate` per
/// second (any rate; 0 finds nothing), sample 0 at data offset 0, offsets
/// counted as 2 bytes per sample whatever the rate (a take longer than
/// 2^32 - 1 samples is read up to there). Example: a 48 000 Hz take of A4
/// reads 440 Hz with sampleRate 48000.
PreciseReading EstimatePrecisePitch(std::span<const int16_t> samples, uint32_t sampleRate = 44100);

}  // namespace tonarel
