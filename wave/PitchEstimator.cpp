#include "wave/PitchEstimator.h"

#include <algorithm>
#include <array>
#include <optional>

#include "wave/CaptureFile.h"
#include "wave/PeriodCounter.h"
#include "wave/SampleMagnitude.h"
#include "wave/SoundRegion.h"

namespace tonarel {
namespace {

// The first scan, which finds the note for the automatic signal-to-noise
// value, ends the region at this ratio over the divisor.
constexpr uint32_t kFirstScanRatio = 6;

// The noise is measured on the recording up to 100 ms (8820 bytes) before the
// note's peak, after the header's 44 bytes are taken off the peak's data
// offset as well, and on at most half a second (44100 bytes).
constexpr uint32_t kNoiseGuardBytes = kWaveHeaderBytes + 8820;
constexpr uint32_t kLongestNoiseWindowBytes = 44100;

// The loudest magnitude among the first `windowBytes / 2` samples read from
// the file's current position (fewer when the file ends first); 0 for none.
int32_t NoisePeak(CaptureFile& file, uint32_t windowBytes)
{
    std::array<int16_t, 512> chunk;
    int32_t peak = 0;
    uint32_t remaining = windowBytes;
    while (remaining > 0) {
        const uint32_t wanted = std::min<uint32_t>(remaining, sizeof chunk);
        const std::size_t delivered = file.Read(chunk.data(), wanted);
        peak = PeakMagnitude(chunk.data(), delivered / 2, peak);
        if (delivered < wanted) {
            break;
        }
        remaining -= wanted;
    }
    return peak;
}

// The automatic signal-to-noise value: the note's peak against the loudest
// sample recorded before it, read through `file`, which stands at the first
// data byte. Nothing when the recording cannot be scanned.
std::optional<uint32_t> MeasureSignalToNoise(const std::filesystem::path& fileName, CaptureFile& file,
                                             uint32_t divisor)
{
    const std::optional<SoundRegion> note = FindSoundRegion(fileName, kFirstScanRatio / divisor);
    if (!note) {
        return std::nullopt;
    }
    // A note that peaks within the first 8864 bytes wraps the window round to
    // a huge length, which the cap turns into the first half second.
    const uint32_t window = std::min(static_cast<uint32_t>(note->begin) - kNoiseGuardBytes, kLongestNoiseWindowBytes);
    const int32_t noise = NoisePeak(file, window);
    return note->peak / static_cast<uint32_t>(noise + 1);
}

}  // namespace

long double EstimatePitch(const std::filesystem::path& fileName, std::unique_ptr<int16_t[]>& samples,
                          uint32_t& byteCount, uint32_t segmentBytes, uint32_t& snrUsed, uint32_t givenSnr,
                          uint32_t divisor, PitchDiagnostics* diagnostics)
{
    PitchDiagnostics found;
    const auto finish = [&](long double frequency) {
        if (diagnostics != nullptr) {
            *diagnostics = found;
        }
        return frequency;
    };

    snrUsed = 0;
    std::optional<CaptureFile> file = CaptureFile::Open(fileName);
    if (!file || file->Header().BitsPerSample != 16 || divisor == 0) {
        return finish(kNoSound);
    }

    if (givenSnr != 0) {
        snrUsed = givenSnr;
    } else {
        const std::optional<uint32_t> measured = MeasureSignalToNoise(fileName, *file, divisor);
        if (!measured) {
            return finish(kNoSound);
        }
        snrUsed = *measured;
    }
    if (snrUsed / divisor == 0) {
        return finish(kNoSound);
    }
    snrUsed = std::min(snrUsed, kHighestSignalToNoise);

    const std::optional<SoundRegion> region = FindSoundRegion(fileName, snrUsed / divisor);
    if (!region) {
        return finish(kNoSound);
    }
    found.regionFound = true;
    found.begin = region->begin;
    found.end = region->end;

    uint32_t length = segmentBytes;
    if (length == 0) {
        if (region->end < region->begin) {
            return finish(kNoSound);
        }
        length = static_cast<uint32_t>(region->end - region->begin);
    }

    // The segment starts about an eighth of its length past the note's peak,
    // skipping the attack. `begin` is a data offset used as a file offset.
    const uint64_t offset = static_cast<uint64_t>(region->begin) + 2 * (length / 16);
    const uint64_t available = file->FileBytes() > offset ? file->FileBytes() - offset : 0;
    const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(length, available));
    if (length != 0 && (wanted == 0 || !file->SeekToFileOffset(offset))) {
        return finish(kNoSound);
    }
    auto segment = std::make_unique<int16_t[]>((static_cast<std::size_t>(wanted) + 1) / 2);
    const uint32_t read = static_cast<uint32_t>(file->Read(segment.get(), wanted));
    if (length != 0 && read == 0) {
        return finish(kNoSound);
    }

    const uint32_t count = CountPeriods(file->Header().BitsPerSample, segment.get(), read, kPeriodAcceptanceRatio);
    found.periodsCounted = true;
    found.count = count;
    found.segmentFileOffset = offset;
    if (read == 0) {
        samples = std::move(segment);
        byteCount = 0;
        return finish(0.0L);
    }
    if (count == kNoPeriodCounted) {
        return finish(kNoSound);
    }
    samples = std::move(segment);
    byteCount = read;
    const long double periods = static_cast<float>(count);
    return finish(periods / static_cast<long double>(read) * static_cast<long double>(file->Header().ByteRate));
}

}  // namespace tonarel
