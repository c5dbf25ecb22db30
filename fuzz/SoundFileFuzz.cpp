// The precise reading of a sound file of any format, as tonarel-analyze
// --precise reads it: libsndfile and the mix-down on arbitrary bytes.
//
// Input: the bytes of the file, nothing else. The reading stays in its
// ranges whatever the file holds; a file libsndfile reads is mixed down to
// the frames it holds, and read alike from the file and from those frames.

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/ScratchDirectory.h"
#include "precise/PartialSeries.h"
#include "precise/PreciseReading.h"
#include "precise/SoundFilePitch.h"
#include "wave/SoundFileReader.h"

namespace tonarel::fuzz {

void FuzzSoundFile(const uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchPath("take.snd");
    WriteWholeFile(path, data, size);

    const PreciseReading reading = EstimateSoundFilePitch(path);
    FUZZ_CHECK(std::isfinite(reading.firstPartialHz) && reading.firstPartialHz >= 0.0);
    FUZZ_CHECK(std::isfinite(reading.confidence) && reading.confidence >= 0.0 && reading.confidence <= 1.0);
    FUZZ_CHECK(reading.beginByte <= reading.endByte && reading.beginByte % 2 == 0 && reading.endByte % 2 == 0);
    if (reading.found) {
        FUZZ_CHECK(reading.firstPartialHz >= precise::kLowestFirstPartialHz &&
                   reading.firstPartialHz <= precise::kHighestFirstPartialHz);
        FUZZ_CHECK(reading.confidence >= kLeastPreciseConfidence);
    }
    if (HasCaptureHeader(path)) {
        return;  // read as a capture file: the precise harness checks that road
    }
    std::optional<SoundFileReader> reader = SoundFileReader::Open(path);
    if (!reader) {
        return;
    }
    FUZZ_CHECK(reader->Format().sampleRate >= 1 && reader->Format().channels >= 1);
    const std::vector<int16_t> samples = ReadSoundFileMono(*reader);
    FUZZ_CHECK(samples.size() <= kMostSoundFileFrames);
    FUZZ_CHECK(reading.endByte <= 2 * samples.size());
    const PreciseReading fromMemory = EstimatePrecisePitch(samples, reader->Format().sampleRate);
    FUZZ_CHECK(fromMemory.found == reading.found && fromMemory.firstPartialHz == reading.firstPartialHz &&
               fromMemory.endByte == reading.endByte);
}

}  // namespace tonarel::fuzz
