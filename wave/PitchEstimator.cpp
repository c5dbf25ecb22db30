#include "wave/PitchEstimator.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

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
    int32_t peak = 0;
    std::size_t remaining = windowBytes / 2;
    while (remaining > 0) {
        const std::span<const int16_t> samples = file.ViewSamples(remaining);
        peak = PeakMagnitude(samples.data(), samples.size(), peak);
        if (samples.empty()) {
            break;
        }
        remaining -= samples.size();
    }
    return peak;
}

// The automatic signal-to-noise value: the note's peak, as the first scan
// found it, against the loudest sample recorded before it, read through
// `file`, which stands at the first data byte.
uint32_t MeasureSignalToNoise(const SoundRegion& note, CaptureFile& file)
{
    // A note that peaks within the first 8864 bytes wraps the window round to
    // a huge length, which the cap turns into the first half second.
    const uint32_t window = std::min(static_cast<uint32_t>(note.begin) - kNoiseGuardBytes, kLongestNoiseWindowBytes);
    const int32_t noise = NoisePeak(file, window);
    return note.peak / static_cast<uint32_t>(noise + 1);
}

// The note's region against the ratio that decides how far into its decay
// the segment reaches; sets `snrUsed` to the ratio given or measured (capped
// once a note has been found). Nothing when there is no note.
std::optional<SoundRegion> FindNote(const std::filesystem::path& fileName, CaptureFile& file, uint32_t givenSnr,
                                    uint32_t divisor, uint32_t& snrUsed)
{
    if (givenSnr != 0) {
        snrUsed = givenSnr;
        if (snrUsed / divisor == 0) {
            return std::nullopt;
        }
        snrUsed = std::min(snrUsed, kHighestSignalToNoise);
        return FindSoundRegion(fileName, snrUsed / divisor);
    }

    // The first scan, against 6 / divisor, finds the note for measuring the
    // ratio; the final scan's threshold, ratio / divisor, is known only then,
    // but it can only be one of 1 .. 20 / divisor. One reading of the
    // recording answers for all of them: element t is threshold t.
    std::vector<uint32_t> thresholds = {kFirstScanRatio / divisor};
    for (uint32_t threshold = 1; threshold <= kHighestSignalToNoise / divisor; ++threshold) {
        thresholds.push_back(threshold);
    }
    const std::optional<std::vector<SoundRegion>> regions = FindSoundRegions(fileName, thresholds);
    if (!regions) {
        return std::nullopt;
    }
    snrUsed = MeasureSignalToNoise(regions->front(), file);
    if (snrUsed / divisor == 0) {
        return std::nullopt;
    }
    snrUsed = std::min(snrUsed, kHighestSignalToNoise);
    return (*regions)[snrUsed / divisor];
}

struct Segment {
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = 0;
};

// Up to `length` bytes from `fileOffset`, cut at the end of the file: no
// more is allocated than the file holds. Nothing when a segment of some
// length has no byte in the file.
std::optional<Segment> ReadSegment(CaptureFile& file, uint64_t fileOffset, uint32_t length)
{
    const uint64_t available = file.FileBytes() > fileOffset ? file.FileBytes() - fileOffset : 0;
    const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(length, available));
    if (length != 0 && (wanted == 0 || !file.SeekToFileOffset(fileOffset))) {
        return std::nullopt;
    }
    const std::size_t sampleSlots = (static_cast<std::size_t>(wanted) + 1) / 2;
    Segment segment{std::make_unique_for_overwrite<int16_t[]>(sampleSlots), 0};
    segment.byteCount = static_cast<uint32_t>(file.Read(segment.samples.get(), wanted));
    // Whatever the read did not fill (the padding byte of an odd length, or a
    // tail the file lost meanwhile) is silence, never stale memory.
    std::memset(reinterpret_cast<char*>(segment.samples.get()) + segment.byteCount, 0,
                sampleSlots * 2 - segment.byteCount);
    if (length != 0 && segment.byteCount == 0) {
        return std::nullopt;
    }
    return segment;
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
    // A byte rate of 0 or less would scale any count to 0 Hz or below: such a
    // file is as unusable as one whose samples are not 16-bit.
    if (!file || file->Header().BitsPerSample != 16 || file->Header().ByteRate <= 0 || divisor == 0) {
        return finish(kNoSound);
    }
    const std::optional<SoundRegion> region = FindNote(fileName, *file, givenSnr, divisor, snrUsed);
    if (!region) {
        return finish(kNoSound);
    }
    found.regionFound = true;
    found.begin = region->begin;
    found.end = region->end;

    uint32_t length = segmentBytes;
    if (length == 0) {
        if (region->end < region->begin) {
            return finish(kNoSound);  // as a length, close to 4 GiB
        }
        length = static_cast<uint32_t>(region->end - region->begin);
    }
    // The segment starts about an eighth of its length past the note's peak,
    // skipping the attack. `begin` is a data offset used as a file offset, so
    // the segment starts 44 bytes earlier in the sound than that suggests.
    const uint64_t offset = static_cast<uint64_t>(region->begin) + 2 * (length / 16);
    std::optional<Segment> segment = ReadSegment(*file, offset, length);
    if (!segment) {
        return finish(kNoSound);
    }

    const uint32_t count = CountPeriods(file->Header().BitsPerSample, segment->samples.get(), segment->byteCount,
                                        kPeriodAcceptanceRatio);
    found.periodsCounted = true;
    found.count = count;
    found.segmentFileOffset = offset;
    if (segment->byteCount == 0) {
        samples = std::move(segment->samples);
        byteCount = 0;
        return finish(0.0L);
    }
    if (count == kNoPeriodCounted) {
        return finish(kNoSound);  // not billions of hertz
    }
    samples = std::move(segment->samples);
    byteCount = segment->byteCount;
    // (periods counted - 1) per second of segment: the count as a float, the
    // quotient and the product in long double.
    const long double periods = static_cast<float>(count);
    return finish(periods / static_cast<long double>(byteCount) * static_cast<long double>(file->Header().ByteRate));
}

}  // namespace tonarel
