#include "standard/PitchEstimator.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "standard/PeriodCounter.h"
#include "standard/SampleMagnitude.h"
#include "standard/SoundRegion.h"
#include "wave/CaptureFile.h"
#include "wave/WaveHeader.h"

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
// found it, against the loudest sample recorded before it, read from the
// first data byte of `take`.
uint32_t MeasureSignalToNoise(const SoundRegion& note, CaptureFile& take)
{
    // A note that peaks within the first 8864 bytes wraps the window round to
    // a huge length, which the cap turns into the first half second.
    const uint32_t window = std::min(static_cast<uint32_t>(note.begin) - kNoiseGuardBytes, kLongestNoiseWindowBytes);
    const int32_t noise = take.SeekToFileOffset(kWaveHeaderBytes) ? NoisePeak(take, window) : 0;
    return note.peak / static_cast<uint32_t>(noise + 1);
}

// The note's region against the ratio that decides how far into its decay
// the segment reaches; sets `snrUsed` to the ratio given or measured (capped
// once a note has been found). Nothing when there is no note.
std::optional<SoundRegion> FindNote(CaptureFile& take, uint32_t givenSnr, uint32_t divisor, uint32_t& snrUsed)
{
    if (givenSnr != 0) {
        snrUsed = givenSnr;
        if (snrUsed / divisor == 0) {
            return std::nullopt;
        }
        snrUsed = std::min(snrUsed, kHighestSignalToNoise);
        return FindSoundRegion(take, snrUsed / divisor);
    }

    // The first scan, against 6 / divisor, finds the note for measuring the
    // ratio; the final scan's threshold, ratio / divisor, is known only then,
    // but it can only be one of 1 .. 20 / divisor. One pass over the take
    // answers for all of them: element t is threshold t.
    std::vector<uint32_t> thresholds = {kFirstScanRatio / divisor};
    for (uint32_t threshold = 1; threshold <= kHighestSignalToNoise / divisor; ++threshold) {
        thresholds.push_back(threshold);
    }
    const std::optional<std::vector<SoundRegion>> regions = FindSoundRegions(take, thresholds);
    if (!regions) {
        return std::nullopt;
    }
    snrUsed = MeasureSignalToNoise(regions->front(), take);
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

PitchEstimate EstimatePitch(CaptureFile& take, const PitchEstimatorOptions& options)
{
    PitchEstimate estimate;
    // A byte rate of 0 or less would scale any count to 0 Hz or below: such a
    // take is as unusable as one whose samples are not 16-bit.
    if (take.Header().BitsPerSample != 16 || take.Header().ByteRate <= 0 || options.divisor == 0) {
        return estimate;
    }
    const std::optional<SoundRegion> region = FindNote(take, options.givenSnr, options.divisor, estimate.snrUsed);
    if (!region) {
        return estimate;
    }
    PitchDiagnostics& found = estimate.diagnostics;
    found.regionFound = true;
    found.begin = region->begin;
    found.end = region->end;

    uint32_t length = options.segmentBytes;
    if (length == 0) {
        if (region->end < region->begin) {
            return estimate;  // as a length, close to 4 GiB
        }
        length = static_cast<uint32_t>(region->end - region->begin);
    }
    // The segment starts about an eighth of its length past the note's peak,
    // skipping the attack. `begin` is a data offset used as a file offset, so
    // the segment starts 44 bytes earlier in the sound than that suggests.
    const uint64_t offset = static_cast<uint64_t>(region->begin) + 2 * (length / 16);
    std::optional<Segment> segment = ReadSegment(take, offset, length);
    if (!segment) {
        return estimate;
    }

    const uint32_t count = CountPeriods(take.Header().BitsPerSample, segment->samples.get(), segment->byteCount,
                                        kPeriodAcceptanceRatio);
    found.periodsCounted = true;
    found.count = count;
    found.segmentFileOffset = offset;
    if (segment->byteCount != 0 && count == kNoPeriodCounted) {
        return estimate;  // not billions of hertz
    }
    estimate.soundFound = true;
    estimate.samples = std::move(segment->samples);
    estimate.byteCount = segment->byteCount;
    if (estimate.byteCount != 0) {
        // (periods counted - 1) per second of segment: the count as a float,
        // the quotient and the product in long double.
        const long double periods = static_cast<float>(count);
        estimate.frequency = periods / static_cast<long double>(estimate.byteCount) *
                             static_cast<long double>(take.Header().ByteRate);
    }
    return estimate;
}

PitchEstimate EstimatePitch(const std::filesystem::path& fileName, const PitchEstimatorOptions& options)
{
    std::optional<CaptureFile> take = CaptureFile::Open(fileName);
    if (!take) {
        return {};
    }
    return EstimatePitch(*take, options);
}

}  // namespace tonarel
