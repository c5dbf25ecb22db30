// The capture-file reader and the pitch estimator on arbitrary files.
//
// Input: a 7-byte option prefix, then the bytes of the capture file.
//   byte 0     how the options are formed: bits 0-1 the segment length,
//              bits 2-3 the signal-to-noise value, bits 4-5 the divisor
//              (each mode below); bit 6 narrows them to what the pitch
//              meter offers and also runs its whole analysis; bit 7 also
//              runs one sound-region scan of its own
//   bytes 1-4  segment value v, unsigned 32-bit little-endian
//   byte 5     signal-to-noise value r
//   byte 6     divisor value d
// Segment length: 0 automatic; 1 the meter's 10..4000 ms, (10 + v % 3991) x
// 88.2; 2 v % 65536 bytes; 3 v bytes. Signal-to-noise value: 0 measured;
// 1 the meter's 1..20, 1 + r % 20; 2 r; 3 0xFFFFFF00 + r. Divisor: 0 the
// meter's default 4; 1 the meter's 2..6, 2 + d % 5; 2 d (0 and 1 included);
// 3 0xFFFFFF00 + d.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "fuzz/AllocationWatch.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/ScratchDirectory.h"
#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "standard/PeriodCounter.h"
#include "standard/PitchEstimator.h"
#include "standard/SoundRegion.h"
#include "wave/CaptureFile.h"

namespace tonarel::fuzz {
namespace {

constexpr std::size_t kPrefixBytes = 7;

// What CheckEstimate returns for an estimate without usable sound.
constexpr long double kNoSound = -1.0L;

struct Options {
    uint32_t segmentBytes = 0;
    uint32_t givenSnr = 0;
    uint32_t divisor = 4;
    bool wholeAnalysis = false;
    bool ownScan = false;
    AnalysisOptions meter;  ///< options within the pitch meter's ranges
};

Options OptionsFrom(const uint8_t* prefix)
{
    const uint32_t v = static_cast<uint32_t>(prefix[1]) | static_cast<uint32_t>(prefix[2]) << 8 |
                       static_cast<uint32_t>(prefix[3]) << 16 | static_cast<uint32_t>(prefix[4]) << 24;
    const uint32_t r = prefix[5];
    const uint32_t d = prefix[6];
    const uint32_t segmentMode = prefix[0] & 3u;
    const uint32_t ratioMode = (prefix[0] >> 2) & 3u;
    const uint32_t divisorMode = (prefix[0] >> 4) & 3u;

    Options options;
    options.meter.segmentMilliseconds = segmentMode == 0 ? 0 : 10 + v % 3991;
    options.meter.givenSnr = ratioMode == 0 ? 0 : 1 + r % 20;
    options.meter.divisor = 2 + d % 5;
    options.wholeAnalysis = (prefix[0] & 0x40u) != 0;
    options.ownScan = (prefix[0] & 0x80u) != 0;

    const uint32_t segments[] = {0, SegmentBytesFromMilliseconds(options.meter.segmentMilliseconds), v % 65536, v};
    const uint32_t ratios[] = {0, options.meter.givenSnr, r, 0xFFFFFF00u + r};
    const uint32_t divisors[] = {4, options.meter.divisor, d, 0xFFFFFF00u + d};
    options.segmentBytes = segments[segmentMode];
    options.givenSnr = ratios[ratioMode];
    options.divisor = divisors[divisorMode];
    return options;
}

int32_t Int32At(const uint8_t* bytes)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return static_cast<int32_t>(value);
}

// The header fields the estimator reads, straight from the bytes.
struct HeaderFacts {
    bool present = false;  ///< 44 bytes or more
    int16_t bitsPerSample = 0;
    int32_t byteRate = 0;
    int32_t dataSize = 0;
};

HeaderFacts FactsOf(const uint8_t* file, std::size_t size)
{
    HeaderFacts facts;
    if (size < 44) {
        return facts;
    }
    facts.present = true;
    facts.bitsPerSample = static_cast<int16_t>(file[34] | file[35] << 8);
    facts.byteRate = Int32At(file + 28);
    facts.dataSize = Int32At(file + 40);
    return facts;
}

// The reader delivers the file's own bytes and never more data than it holds.
void CheckReader(const std::string& path, const uint8_t* file, std::size_t size, const HeaderFacts& facts,
                 bool ownScan)
{
    CaptureFile::OpenFailure failure{};
    std::optional<CaptureFile> reader = CaptureFile::Open(path, &failure);
    if (!facts.present) {
        FUZZ_CHECK(!reader && failure.error == CaptureFile::OpenError::kShorterThanHeader);
        return;
    }
    FUZZ_CHECK(reader);
    FUZZ_CHECK(std::memcmp(&reader->Header(), file, 44) == 0);
    FUZZ_CHECK(reader->FileBytes() == size);
    const uint64_t present = size - 44;
    const uint64_t expected = facts.dataSize == 0  ? 0
                              : facts.dataSize > 0 ? std::min<uint64_t>(static_cast<uint64_t>(facts.dataSize), present)
                                                   : std::min<uint64_t>(INT32_MAX, present);
    FUZZ_CHECK(reader->DataBytesPresent() == expected);

    std::string rest(present + 8, '\0');
    FUZZ_CHECK(reader->Read(rest.data(), rest.size()) == present);
    FUZZ_CHECK(std::memcmp(rest.data(), file + 44, present) == 0);

    if (!ownScan) {
        return;
    }
    // One scan: only whole blocks present are read, the last one never.
    const std::optional<SoundRegion> region = FindSoundRegion(path, 1);
    FUZZ_CHECK(region.has_value() == (facts.bitsPerSample == 16));
    if (region) {
        const int64_t blocks = static_cast<int64_t>(expected / kScanBlockBytes) - 1;
        FUZZ_CHECK(region->blocksScanned == static_cast<uint32_t>(std::max<int64_t>(blocks, 0)));
        FUZZ_CHECK(region->peak >= 1 && region->peak <= 32768);
        FUZZ_CHECK(region->peakPos % 2 == 0 && region->peakPos >= 0);
        FUZZ_CHECK(region->peakPos == 4 || region->peakPos < static_cast<int64_t>(region->blocksScanned) * 1024);
    }
}

// Every outcome of one estimate: no sound with nothing handed out, 0, or a
// finite positive frequency over the file's own bytes. Returns the frequency,
// or kNoSound.
long double CheckEstimate(const std::string& path, const uint8_t* file, std::size_t size, const HeaderFacts& facts,
                          uint32_t segmentBytes, uint32_t givenSnr, uint32_t divisor)
{
    PitchEstimate estimate;
    std::size_t largestAllocation = 0;
    {
        const AllocationWatch watch;
        estimate = EstimatePitch(path, {segmentBytes, givenSnr, divisor});
        largestAllocation = watch.Largest();
    }
    // Nothing is sized by what the header claims: no allocation beyond the
    // file (a padding byte included) or the reader's fixed read-ahead.
    FUZZ_CHECK(largestAllocation <= std::max<std::size_t>(size + 1, CaptureFile::kReadAheadBytes));

    const uint32_t snrUsed = estimate.snrUsed;
    const uint32_t byteCount = estimate.byteCount;
    const PitchDiagnostics& diagnostics = estimate.diagnostics;
    const std::unique_ptr<int16_t[]>& samples = estimate.samples;
    const long double frequency = estimate.frequency;
    const bool usable = facts.present && facts.bitsPerSample == 16 && facts.byteRate > 0 && divisor != 0;
    if (!usable) {
        FUZZ_CHECK(!estimate.soundFound);
        FUZZ_CHECK(snrUsed == 0);
    }
    if (!estimate.soundFound) {
        FUZZ_CHECK(samples == nullptr && byteCount == 0 && frequency == 0);
        return kNoSound;
    }
    FUZZ_CHECK(frequency == 0 || (std::isfinite(frequency) && frequency > 0));
    FUZZ_CHECK(samples != nullptr);
    FUZZ_CHECK(snrUsed <= kHighestSignalToNoise);
    FUZZ_CHECK(snrUsed >= std::min(divisor, kHighestSignalToNoise));
    if (givenSnr != 0) {
        FUZZ_CHECK(snrUsed == std::min(givenSnr, kHighestSignalToNoise));
    }
    FUZZ_CHECK(diagnostics.regionFound && diagnostics.periodsCounted);

    // The segment is the file's bytes from the offset reported, cut at its end.
    const uint64_t offset = diagnostics.segmentFileOffset;
    FUZZ_CHECK(offset + byteCount <= size);
    FUZZ_CHECK(std::memcmp(samples.get(), file + offset, byteCount) == 0);
    if (byteCount % 2 != 0) {
        FUZZ_CHECK(reinterpret_cast<const uint8_t*>(samples.get())[byteCount] == 0);
    }
    if (segmentBytes != 0) {
        FUZZ_CHECK(byteCount == std::min<uint64_t>(segmentBytes, size - offset));
    }

    if (byteCount == 0) {
        FUZZ_CHECK(frequency == 0);
    } else {
        FUZZ_CHECK(diagnostics.count != kNoPeriodCounted);
        const long double expected = static_cast<long double>(static_cast<float>(diagnostics.count)) /
                                     static_cast<long double>(byteCount) * static_cast<long double>(facts.byteRate);
        FUZZ_CHECK(frequency == expected);
    }
    return frequency;
}

// The pitch meter's run: "no sound" exactly when the estimator said so.
void CheckWholeAnalysis(const std::string& path, const AnalysisOptions& options, long double estimate)
{
    static const std::array<float, kSemitoneCount> semitones = [] {
        std::array<float, kSemitoneCount> table{};
        BuildSemitoneTable(kReferencePitchHz, table);
        return table;
    }();
    const RecordingAnalysis analysis = AnalyseRecording(path, options, semitones);
    FUZZ_CHECK(analysis.noSound == (estimate == kNoSound));
    FUZZ_CHECK(analysis.samples != nullptr);
    if (analysis.noSound) {
        FUZZ_CHECK(analysis.frequencyText == kNoSoundFrequencyText && analysis.snrText == kNoSoundSnrText);
        return;
    }
    FUZZ_CHECK(analysis.frequency == static_cast<float>(estimate));
    FUZZ_CHECK(analysis.frequencyText == FormatGeneral(static_cast<double>(analysis.frequency)));
    FUZZ_CHECK(analysis.semitone == static_cast<int32_t>(kSemitoneCount) ||
               (analysis.semitone >= -59 && analysis.semitone <= 59));
    FUZZ_CHECK(std::isfinite(analysis.deviation));
}

}  // namespace

void FuzzCaptureFile(const uint8_t* data, std::size_t size)
{
    uint8_t prefix[kPrefixBytes] = {};
    if (size > 0) {
        std::memcpy(prefix, data, std::min(size, kPrefixBytes));
    }
    const Options options = OptionsFrom(prefix);
    const uint8_t* file = size > kPrefixBytes ? data + kPrefixBytes : prefix;
    const std::size_t fileSize = size > kPrefixBytes ? size - kPrefixBytes : 0;

    static const std::string path = ScratchPath("my.wav");
    WriteWholeFile(path, file, fileSize);
    const HeaderFacts facts = FactsOf(file, fileSize);

    CheckReader(path, file, fileSize, facts, options.ownScan);
    if (!options.wholeAnalysis) {
        CheckEstimate(path, file, fileSize, facts, options.segmentBytes, options.givenSnr, options.divisor);
        return;
    }
    const long double estimate =
        CheckEstimate(path, file, fileSize, facts, SegmentBytesFromMilliseconds(options.meter.segmentMilliseconds),
                      options.meter.givenSnr, options.meter.divisor);
    CheckWholeAnalysis(path, options.meter, estimate);
}

}  // namespace tonarel::fuzz
