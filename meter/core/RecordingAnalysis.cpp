#include "meter/core/RecordingAnalysis.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "common/NumberFormat.h"
#include "meter/core/SemitoneTable.h"
#include "precise/SoundFilePitch.h"
#include "wave/CaptureFile.h"
#include "wave/WaveHeader.h"

namespace tonarel {
namespace {

// The longest stretch handed to the oscilloscope in place of the
// estimator's segment: 0.5 s, as much as it shows well.
constexpr uint32_t kLongestScopeBytes = kCaptureBytesPerSecond / 2;

// The first bytes (at most kLongestScopeBytes) of the stretch `reading` used,
// read from the take into a new `samples` buffer; returns their count, 2 (one
// silent sample) when they cannot be read.
uint32_t ReadStretchForScope(CaptureFile& take, const PreciseReading& reading, std::unique_ptr<int16_t[]>& samples)
{
    const uint32_t wanted = std::min(reading.endByte - reading.beginByte, kLongestScopeBytes) & ~1u;
    samples = std::make_unique<int16_t[]>(std::max<uint32_t>(wanted / 2, 1));
    if (!take.SeekToFileOffset(uint64_t{kWaveHeaderBytes} + reading.beginByte)) {
        return 2;
    }
    const std::size_t read = take.Read(samples.get(), wanted) & ~std::size_t{1};
    return read == 0 ? 2 : static_cast<uint32_t>(read);
}

}  // namespace

uint32_t SegmentBytesFromMilliseconds(uint32_t milliseconds)
{
    // The double 88.2, widened: the long double literal 88.2L is a different,
    // smaller number, which would lose a byte on lengths like 90 ms.
    const long double bytes = static_cast<long double>(milliseconds) * static_cast<long double>(kCaptureBytesPerMillisecond);
    if (bytes >= static_cast<long double>(std::numeric_limits<uint32_t>::max())) {
        return std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(bytes);
}

RecordingAnalysis AnalyseRecording(const std::filesystem::path& fileName, const AnalysisOptions& options,
                                   std::span<const float> semitoneTable, const DecimalSeparator& decimalSeparator)
{
    RecordingAnalysis analysis;
    // The take is opened once; both readings go through this one reader.
    std::optional<CaptureFile> take = CaptureFile::Open(fileName);
    PitchEstimate estimate;
    if (take) {
        estimate = EstimatePitch(*take, {.segmentBytes = SegmentBytesFromMilliseconds(options.segmentMilliseconds),
                                         .givenSnr = options.givenSnr,
                                         .divisor = options.divisor});
    }
    analysis.snrUsed = estimate.snrUsed;
    analysis.diagnostics = estimate.diagnostics;
    analysis.noSound = !estimate.soundFound;
    analysis.frequency = static_cast<float>(estimate.frequency);
    if (options.precise) {
        // The precise reading decides for itself whether a note sounds: it
        // hears notes the estimator misses (quiet ones, ones that started
        // before the take or at its first sample). Where the estimator has
        // no segment for the oscilloscope, the stretch read takes its place.
        // A take in another format than the capture format (a file handed to
        // tonarel-analyze) is read as it really is.
        const bool plainTake = take && DescribesPlainCapture(take->Header());
        PreciseReading reading = plainTake ? EstimatePrecisePitch(*take) : EstimateSoundFilePitch(fileName);
        if (options.preciseCorrection != 1.0) {
            reading.firstPartialHz *= options.preciseCorrection;
        }
        if (reading.endByte > reading.beginByte) {
            analysis.precise = reading;
        }
        analysis.noSound = !reading.found;
        analysis.frequency = static_cast<float>(reading.firstPartialHz);
        if (reading.found && !estimate.soundFound && plainTake) {
            estimate.byteCount = ReadStretchForScope(*take, reading, estimate.samples);
        }
    }

    if (analysis.noSound) {
        analysis.frequency = -1.0f;
        // The oscilloscope is handed one silent sample, which draws nothing.
        analysis.samples = std::make_unique<int16_t[]>(1);
        analysis.byteCount = 2;
        analysis.frequencyText = kNoSoundFrequencyText;
        analysis.snrText = kNoSoundSnrText;
        return analysis;
    }

    analysis.samples = std::move(estimate.samples);
    analysis.byteCount = estimate.byteCount;
    analysis.semitone = FindSemitone(semitoneTable, analysis.frequency, analysis.deviation);
    analysis.frequencyText = FormatGeneral(static_cast<double>(analysis.frequency), decimalSeparator);
    analysis.snrText = std::to_string(analysis.snrUsed);
    analysis.semitoneText = std::to_string(analysis.semitone);
    analysis.deviationText = FormatGeneral(static_cast<double>(analysis.deviation), decimalSeparator);
    return analysis;
}

}  // namespace tonarel
