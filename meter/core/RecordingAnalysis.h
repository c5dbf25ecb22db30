#pragma once
// The analysis run's computation: one take and the pitch meter's options
// in, one reading and the texts of the meter's value labels out. The pitch
// meter window and the command-line analyser both call this.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "common/NumberFormat.h"
#include "precise/PreciseReading.h"
#include "standard/PitchEstimator.h"

namespace tonarel {

/// The captions beside the pitch meter's value labels, as the window shows
/// them and tonarel-analyze prints them.
inline constexpr const char* kRecordingTimeCaption = "录音时间（毫秒）：";
inline constexpr const char* kSnrCaption = "信/噪比：";
inline constexpr const char* kFrequencyCaption = "音高（赫兹）：";
inline constexpr const char* kSemitoneCaption = "半音序号：";
inline constexpr const char* kDeviationCaption = "偏差(音分)：";

/// The frequency label's text when there is no usable sound (three trailing blanks).
inline constexpr const char* kNoSoundFrequencyText = "没有声音输入!   ";
/// The signal-to-noise label's text when there is no usable sound.
inline constexpr const char* kNoSoundSnrText = "太小了！";

/// The options of the pitch meter's options group. The defaults are its
/// initial state: automatic segment, automatic ratio, divisor 4.
struct AnalysisOptions {
    uint32_t segmentMilliseconds = 0;  ///< 0 = automatic; the meter offers 10 to 4000
    uint32_t givenSnr = 0;             ///< 0 = automatic; the meter offers 1 to 20
    uint32_t divisor = 4;              ///< the meter offers 2 to 6; 0 gives no sound
    /// Take the frequency, and the decision whether a note sounds at all,
    /// from the precise reading (precise/PreciseReading.h) instead of the
    /// estimator's: a precise reading that finds no pitch gives no sound, one
    /// that finds a pitch gives it even where the estimator found no sound
    /// (a quiet note, a note from the take's first sample or already sounding
    /// when the take began). The estimator still runs: its signal-to-noise
    /// value and its segment for the oscilloscope stand; where it has no
    /// segment, the oscilloscope gets the first 0.5 s of the stretch the
    /// precise reading used.
    bool precise = false;
    /// The sound card's calibration: the precise reading's frequencies are
    /// multiplied by this factor (1 + ppm / 10^6 of the correction measured
    /// in the tuner). 1 changes nothing; the standard reading never uses it.
    double preciseCorrection = 1.0;
};

/// Segment length in bytes for a length in milliseconds: ms x 88.2, the
/// double 88.2 widened to long double, truncated (90 ms gives 7938, 10 ms
/// 882, 1000 ms 88200); 0 stays 0 (automatic). Lengths beyond 32 bits of
/// bytes give the largest 32-bit length.
uint32_t SegmentBytesFromMilliseconds(uint32_t milliseconds);

/// One analysis of a take.
struct RecordingAnalysis {
    /// Unticked: the estimator found no usable sound (it returned exactly
    /// -1). Ticked: the precise reading found no pitch it stands behind.
    bool noSound = false;
    /// The frequency in hertz as the meter keeps it, a float; -1 with no sound.
    float frequency = 0.0f;
    /// The signal-to-noise value the estimator used (or found too small).
    uint32_t snrUsed = 0;
    /// The buffer for the oscilloscope, owned here until moved on, never null:
    /// the analysed segment, byteCount bytes (rounded up to whole samples);
    /// with no sound one silent sample, byteCount 2.
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = 0;
    /// The nearest semitone (FindSemitone): 0 = A 440 Hz, 120 = outside the
    /// table. 0 with no sound.
    int32_t semitone = 0;
    /// The deviation from that semitone (FindSemitone). 0 with no sound.
    float deviation = 0.0f;
    /// Where the estimator found the note and how many periods it counted.
    PitchDiagnostics diagnostics;
    /// The precise reading, when the options asked for it and it chose a
    /// stretch of the take to read (none for digital silence or a file it
    /// cannot read).
    std::optional<PreciseReading> precise;

    /// The value labels' texts. Frequency and deviation: the float widened to
    /// double in the general number format ("261.600006103516"); semitone: a
    /// signed decimal ("-9"); ratio: an unsigned decimal ("20"). With no
    /// sound the frequency and ratio texts are kNoSoundFrequencyText and
    /// kNoSoundSnrText, and the semitone and deviation texts are absent: those
    /// labels keep what they showed.
    std::string frequencyText;
    std::string snrText;
    std::optional<std::string> semitoneText;
    std::optional<std::string> deviationText;
};

/// Opens the take `fileName` once and runs the estimator (and, when asked
/// for, the precise reading) through that one reader with `options`, finds the nearest note in
/// `semitoneTable` (built by BuildSemitoneTable) and formats the label texts
/// with `decimalSeparator` (the user's locale's, possibly several bytes of
/// UTF-8; '.' in tests).
/// Does not throw for any file content: a missing or unusable file is no sound.
RecordingAnalysis AnalyseRecording(const std::filesystem::path& fileName, const AnalysisOptions& options,
                                   std::span<const float> semitoneTable,
                                   const DecimalSeparator& decimalSeparator = {});

}  // namespace tonarel
