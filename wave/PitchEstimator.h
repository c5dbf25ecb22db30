#pragma once
// The pitch estimator: a recording in, the fundamental frequency of its note
// out, with the analysed stretch of samples for the oscilloscope.

#include <cstdint>
#include <filesystem>
#include <memory>

namespace tonarel {

/// What `EstimatePitch` returns when there is no usable sound.
inline constexpr long double kNoSound = -1.0L;

/// The signal-to-noise value is capped at this once a note has been found.
inline constexpr uint32_t kHighestSignalToNoise = 20;

/// How the estimate came about, for tools and tests; the estimate itself does
/// not depend on whether it is asked for.
struct PitchDiagnostics {
    bool regionFound = false;        ///< the final sound-region scan ran; `begin` and `end` are its result
    int32_t begin = 0;               ///< data offset of the region's start (the note's peak)
    int32_t end = 0;                 ///< data offset of the region's end
    bool periodsCounted = false;     ///< a segment was read and counted; `count` and `segmentFileOffset` are set
    uint32_t count = 0;              ///< CountPeriods' result: the periods counted less one (wrapping)
    uint64_t segmentFileOffset = 0;  ///< file offset (from byte 0) at which the segment was read
};

/// Estimates the frequency of the note recorded in `fileName`, a capture file
/// of 16-bit mono samples behind a 44-byte header.
///
/// Inputs:
/// - `segmentBytes`: the length of the analysed segment in bytes; 0 = from the
///   note's peak to where it has decayed.
/// - `givenSnr`: the signal-to-noise value to use, a plain amplitude ratio;
///   0 = measure it as the note's peak / (1 + the loudest sample of the
///   stretch recorded before the note).
/// - `divisor` (at least 1; the pitch meter passes 2 to 6): there is a note
///   only when snrUsed / divisor is at least 1, and the final scan ends the
///   note where it has decayed to peak / (snrUsed / divisor), so a larger
///   divisor ends the segment earlier.
///
/// Outputs:
/// - result: the frequency in hertz, (periods counted - 1) x ByteRate /
///   byteCount, the count converted to float and the rest in long double; 0
///   for an empty segment; exactly kNoSound (-1) when there is no usable sound.
/// - `snrUsed`: always set: the value given or measured, capped at 20 unless
///   the result is -1; 0 when the file cannot be read at all, its samples are
///   not 16-bit or its byte rate is not positive.
/// - `samples`, `byteCount`: set only when the result is not -1. A new buffer
///   owned by the caller holding the segment's byteCount bytes as read
///   (rounded up to whole samples, the padding byte 0); an empty buffer for an
///   empty segment. The segment starts 2 x (length / 16) bytes past the
///   region's begin counted as a file offset, which places it 44 bytes (22
///   samples) before the data offset of the same value.
/// - `diagnostics`, when given, tells where the final scan found the note and
///   how many periods were counted.
///
/// No usable sound (-1) means any of: the file is missing, not a regular file
/// (a FIFO or a device is refused without waiting on it) or shorter than its
/// header; its samples are not 16-bit; its ByteRate is not positive (a
/// frequency scaled by it would be 0 or negative); divisor 0; the
/// signal-to-noise value is below the divisor; with an automatic length, the
/// note's region ends before it begins; nothing of the segment lies in the
/// file; no period was counted.
/// A segment that reaches past the end of the file is cut there, and the
/// frequency divides by the bytes actually read. No more bytes are allocated
/// than the file holds.
long double EstimatePitch(const std::filesystem::path& fileName, std::unique_ptr<int16_t[]>& samples,
                          uint32_t& byteCount, uint32_t segmentBytes, uint32_t& snrUsed, uint32_t givenSnr,
                          uint32_t divisor, PitchDiagnostics* diagnostics = nullptr);

}  // namespace tonarel
