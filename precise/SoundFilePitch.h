#pragma once
// The precise reading of a sound file of any format: the capture files the
// pitch meter records, read as before, and any other file libsndfile reads
// (another sample rate, several channels mixed down, 24-bit or floating-point
// samples, FLAC, Ogg), read at its own rate.

#include <filesystem>

#include "precise/PreciseReading.h"
#include "wave/WaveHeader.h"

namespace tonarel {

/// A file whose 44-byte header describes a plain capture file (RIFF/WAVE,
/// PCM, one channel, 16-bit, 44 100 Hz, the data right after the header) is
/// read by EstimatePrecisePitch(path), unchanged; any other file that
/// libsndfile reads is mixed down (SoundFileReader) and read at its own
/// sample rate, up to kMostSoundFileFrames frames, its stretch's offsets
/// counted as 2 bytes per frame. A file neither takes is read by
/// EstimatePrecisePitch(path) too, which finds nothing in what it cannot use.
/// Never throws for any file content. Example: a 48 000 Hz stereo FLAC of
/// A4 reads 440 Hz.
PreciseReading EstimateSoundFilePitch(const std::filesystem::path& fileName);

/// Whether `fileName`'s first 44 bytes are the header of a plain capture file
/// as above (false when it cannot be read).
bool HasCaptureHeader(const std::filesystem::path& fileName);

/// Whether `header` describes a plain capture file as above.
bool DescribesPlainCapture(const WaveHeader& header);

}  // namespace tonarel
