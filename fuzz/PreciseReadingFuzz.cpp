// The precise reading on arbitrary capture files.
//
// Input: the bytes of the capture file, nothing else (the precise reading has
// no options). The file is read twice, once through its path and once as the
// samples already in memory; the two readings must agree to the bit, since
// the file is streamed past the level envelope in pieces while the samples in
// memory pass in one.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "fuzz/AllocationWatch.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/ScratchDirectory.h"
#include "precise/NoteStretch.h"
#include "precise/PartialSeries.h"
#include "precise/PreciseReading.h"
#include "precise/StiffString.h"
#include "precise/StretchSpectrum.h"
#include "wave/CaptureFile.h"
#include "wave/WaveHeader.h"

namespace tonarel::fuzz {
namespace {

constexpr std::size_t kTransformBookkeepingBytes = 4096;

bool SameReading(const PreciseReading& a, const PreciseReading& b)
{
    // Bit for bit: NaN never passes, which is itself a fault here.
    return a.found == b.found && a.firstPartialHz == b.firstPartialHz && a.beginByte == b.beginByte &&
           a.endByte == b.endByte && a.confidence == b.confidence && a.inharmonicity == b.inharmonicity &&
           a.partialCount == b.partialCount;
}

// The largest allocation the reading may make: the stretch's zero-padded
// transform (floats, at least twice the stretch and at least
// kShortestTransform, plus two) or FFTW's tables for it (as many bytes and a
// little bookkeeping), the reader's read-ahead, or the level envelope (one
// double per block of the file, twice that while it grows), whichever is
// largest. Nothing is sized by the header's DataSize.
std::size_t AllocationBound(const PreciseReading& reading, std::size_t fileBytes)
{
    const std::size_t stretchSamples = (reading.endByte - reading.beginByte) / 2;
    const std::size_t transform =
        std::max(precise::kShortestTransform, std::bit_ceil(2 * std::max<std::size_t>(stretchSamples, 2)));
    const std::size_t envelope = 2 * sizeof(double) * (fileBytes / (2 * precise::kLevelBlockSamples) + 1);
    const std::size_t tables = sizeof(float) * (transform + 2) + kTransformBookkeepingBytes;
    return std::max({CaptureFile::kReadAheadBytes, tables, envelope});
}

void CheckReading(const PreciseReading& reading, uint64_t dataBytes)
{
    FUZZ_CHECK(std::isfinite(reading.firstPartialHz) && reading.firstPartialHz >= 0.0);
    FUZZ_CHECK(std::isfinite(reading.confidence) && reading.confidence >= 0.0 && reading.confidence <= 1.0);
    FUZZ_CHECK(reading.inharmonicity >= 0.0 && reading.inharmonicity <= precise::kLargestInharmonicity);
    FUZZ_CHECK(reading.beginByte <= reading.endByte && reading.endByte <= dataBytes);
    FUZZ_CHECK(reading.beginByte % 2 == 0 && reading.endByte % 2 == 0);
    FUZZ_CHECK(reading.endByte - reading.beginByte <= 2 * precise::kLongestStretchSamples);
    if (reading.found) {
        FUZZ_CHECK(reading.firstPartialHz >= precise::kLowestFirstPartialHz &&
                   reading.firstPartialHz <= precise::kHighestFirstPartialHz);
        FUZZ_CHECK(reading.confidence >= kLeastPreciseConfidence);
        FUZZ_CHECK(reading.partialCount >= 1);
        // At least four periods of the note lie in the stretch it was read from.
        const double seconds = static_cast<double>(reading.endByte - reading.beginByte) / 2.0 / 44100.0;
        FUZZ_CHECK(reading.firstPartialHz * seconds >= 4.0);
    }
    if (reading.partialCount < 3) {
        FUZZ_CHECK(reading.inharmonicity == 0.0);
    }
}

}  // namespace

void FuzzPreciseReading(const uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchPath("my.wav");
    WriteWholeFile(path, data, size);

    PreciseReading fromFile;
    std::size_t largestAllocation = 0;
    {
        const AllocationWatch watch;
        fromFile = EstimatePrecisePitch(path);
        largestAllocation = watch.Largest();
    }
    FUZZ_CHECK(largestAllocation <= AllocationBound(fromFile, size));

    const std::optional<CaptureFile> reader = CaptureFile::Open(path);
    const bool readable = reader && reader->Header().BitsPerSample == kCaptureBitsPerSample;
    if (!readable) {
        FUZZ_CHECK(SameReading(fromFile, PreciseReading{}));
        return;
    }
    const uint64_t dataBytes = reader->DataBytesPresent();
    CheckReading(fromFile, dataBytes);

    // The same samples in memory: the data bytes present, whole samples only.
    const std::size_t sampleCount = static_cast<std::size_t>(dataBytes / 2);
    auto samples = std::make_unique<int16_t[]>(std::max<std::size_t>(sampleCount, 1));
    std::memcpy(samples.get(), data + kWaveHeaderBytes, 2 * sampleCount);
    const PreciseReading fromMemory = EstimatePrecisePitch(std::span<const int16_t>(samples.get(), sampleCount));
    FUZZ_CHECK(SameReading(fromFile, fromMemory));
}

}  // namespace tonarel::fuzz
