#pragma once
// The fuzz harnesses: each takes one input of any bytes and checks what the
// program must guarantee for it (see FuzzCheck.h). The same bodies run under
// libFuzzer (built with clang, TONAREL_FUZZ) and in the replay test, which
// feeds them the committed inputs in every ordinary test build.

#include <cstddef>
#include <cstdint>

namespace tonarel::fuzz {

/// A capture file and a set of estimator options: the 8-byte option prefix
/// described in CaptureFileFuzz.cpp, then the file's bytes. Checks the
/// reader against the bytes and every outcome of EstimatePitch.
void FuzzCaptureFile(const uint8_t* data, std::size_t size);

/// A capture file, nothing else: the precise reading through the file and
/// from the same samples in memory, which must agree, and what it reports.
void FuzzPreciseReading(const uint8_t* data, std::size_t size);

/// A sound file of any format: the precise reading as tonarel-analyze
/// --precise reads it (libsndfile, the mix-down), which stays in its ranges
/// and reads alike from the file and from its mixed-down frames.
void FuzzSoundFile(const uint8_t* data, std::size_t size);

/// A temperament file (the first 491 bytes; more are ignored by the format)
/// whose byte 491, when present, chooses the options and the table the load
/// meets. Checks the reader, the replay into the table and the save.
void FuzzTemperamentFile(const uint8_t* data, std::size_t size);

/// A number and a decimal separator (see NumberFormatFuzz.cpp): both number
/// formats against a reference conversion, and parsed back.
void FuzzNumberFormat(const uint8_t* data, std::size_t size);

/// The text of a Scala scale file: the reader's outcome against the text,
/// and the tuning system laid out on an accepted scale (tonic and reference
/// pitch from the input's length, see ScalaScaleFuzz.cpp).
void FuzzScalaScale(const uint8_t* data, std::size_t size);
/// Samples fed to the live tracker in blocks of varying size, behind a
/// 4-byte prefix described in LiveTrackerFuzz.cpp: every reading in its
/// ranges and on time, no allocation beyond a decision's spectrum.
void FuzzLiveTracker(const uint8_t* data, std::size_t size);
/// A piano file, its bytes as they are: the reader from the disk and from
/// memory, the save of what it accepts, and the curve from its readings.
void FuzzPianoFile(const uint8_t* data, std::size_t size);

/// A harness by the name of its input folders (fuzz/corpus/NAME,
/// fuzz/regressions/NAME).
struct Harness {
    const char* name;
    void (*run)(const uint8_t* data, std::size_t size);
};
inline constexpr Harness kHarnesses[] = {
    {"capture", &FuzzCaptureFile},
    {"precise", &FuzzPreciseReading},
    {"soundfile", &FuzzSoundFile},
    {"temperament", &FuzzTemperamentFile},
    {"numbers", &FuzzNumberFormat},
    {"scala", &FuzzScalaScale},
    {"tracker", &FuzzLiveTracker},
    {"piano", &FuzzPianoFile},
};

}  // namespace tonarel::fuzz
