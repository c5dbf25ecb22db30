#pragma once
// The standard reading: a take in, the fundamental frequency of its note out,
// with the analysed stretch of samples for the oscilloscope. Its two steps
// live beside it: the sound-region scan (SoundRegion.h) finds the note, the
// period count (PeriodCounter.h) measures it.

#include <cstdint>
#include <filesystem>
#include <memory>

namespace tonarel {

class CaptureFile;

/// The signal-to-noise value is capped at this once a note has been found.
inline constexpr uint32_t kHighestSignalToNoise = 20;

/// How the estimate came about, for tools and tests; the estimate itself does
/// not depend on whether it is looked at.
struct PitchDiagnostics {
    bool regionFound = false;        ///< the final sound-region scan ran; `begin` and `end` are its result
    int32_t begin = 0;               ///< data offset of the region's start (the note's peak)
    int32_t end = 0;                 ///< data offset of the region's end
    bool periodsCounted = false;     ///< a segment was read and counted; `count` and `segmentFileOffset` are set
    uint32_t count = 0;              ///< CountPeriods' result: the periods counted less one (wrapping)
    uint64_t segmentFileOffset = 0;  ///< file offset (from byte 0) at which the segment was read
};

/// The pitch meter's options, as the estimator takes them.
struct PitchEstimatorOptions {
    /// The length of the analysed segment in bytes; 0 = from the note's peak
    /// to where it has decayed.
    uint32_t segmentBytes = 0;
    /// The signal-to-noise value to use, a plain amplitude ratio; 0 = measure
    /// it as the note's peak / (1 + the loudest sample of the stretch recorded
    /// before the note).
    uint32_t givenSnr = 0;
    /// At least 1 (the pitch meter passes 2 to 6; 0 finds no sound): there is
    /// a note only when snrUsed / divisor is at least 1, and the final scan
    /// ends the note where it has decayed to peak / (snrUsed / divisor), so a
    /// larger divisor ends the segment earlier.
    uint32_t divisor = 4;
};

/// One estimate.
struct PitchEstimate {
    /// False when there is no usable sound; `frequency`, `samples` and
    /// `byteCount` are then 0, null and 0.
    bool soundFound = false;
    /// Hertz: (periods counted - 1) x ByteRate / byteCount, the count
    /// converted to float and the rest in long double; 0 for an empty segment.
    long double frequency = 0.0L;
    /// The value given or measured, capped at 20 once a note has been found;
    /// 0 when the take cannot be read at all, its samples are not 16-bit or
    /// its byte rate is not positive.
    uint32_t snrUsed = 0;
    /// The segment's byteCount bytes as read, owned by the receiver (rounded
    /// up to whole samples, the padding byte 0); an empty buffer for an empty
    /// segment. The segment starts 2 x (length / 16) bytes past the region's
    /// begin counted as a file offset, which places it 44 bytes (22 samples)
    /// before the data offset of the same value.
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = 0;
    /// Where the final scan found the note and how many periods were counted.
    PitchDiagnostics diagnostics;
};

/// Estimates the frequency of the note in `take`, a capture file of 16-bit
/// mono samples behind a 44-byte header, read through the one reader the
/// caller opened (its position on return is unspecified).
///
/// No usable sound means any of: its samples are not 16-bit; its ByteRate is
/// not positive (a frequency scaled by it would be 0 or negative); divisor 0;
/// the signal-to-noise value is below the divisor; with an automatic length,
/// the note's region ends before it begins; nothing of the segment lies in
/// the file; no period was counted. A segment that reaches past the end of
/// the file is cut there, and the frequency divides by the bytes actually
/// read. No more bytes are allocated than the file holds.
///
/// Example: a 441 Hz tone between quiet stretches, automatic options,
/// reads about 441 Hz with the signal-to-noise value 20.
PitchEstimate EstimatePitch(CaptureFile& take, const PitchEstimatorOptions& options);

/// The same for the capture file `fileName`, opened once here. A file that is
/// missing, not a regular file (a FIFO or a device is refused without waiting
/// on it) or shorter than its header has no usable sound, snrUsed 0.
PitchEstimate EstimatePitch(const std::filesystem::path& fileName, const PitchEstimatorOptions& options);

}  // namespace tonarel
