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
// read from the capture file `fileName` into a new `samples` buffer; returns
// their count, 2 (one silent sample) when they cannot be read or the file is
// of another format.
uint32_t ReadStretchForScope(const std::filesystem::path& fileName, const PreciseReading& reading,
                             std::unique_ptr<int16_t[]>& samples)
{
    const uint32_t wanted = std::min(reading.endByte - reading.beginByte, kLongestScopeBytes) & ~1u;
    samples = std::make_unique<int16_t[]>(std::max<uint32_t>(wanted / 2, 1));
    std::optional<CaptureFile> file = CaptureFile::Open(fileName);
    if (!file || !HasCaptureHeader(fileName) ||
        !file->SeekToFileOffset(uint64_t{kWaveHeaderBytes} + reading.beginByte)) {
        return 2;
    }
    const std::size_t read = file->Read(samples.get(), wanted) & ~std::size_t{1};
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
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = 0;
    const long double estimate =
        EstimatePitch(fileName, samples, byteCount, SegmentBytesFromMilliseconds(options.segmentMilliseconds),
                      analysis.snrUsed, options.givenSnr, options.divisor, &analysis.diagnostics);
    analysis.frequency = static_cast<float>(estimate);
    if (options.precise) {
        // The precise reading decides for itself whether a note sounds: it
        // hears notes the estimator misses (quiet ones, ones that started
        // before the take or at its first sample). Where the estimator has
        // no segment for the oscilloscope, the stretch read takes its place.
        const PreciseReading reading = EstimateSoundFilePitch(fileName);
        if (reading.endByte > reading.beginByte) {
            analysis.precise = reading;
        }
        analysis.frequency = reading.found ? static_cast<float>(reading.firstPartialHz) : -1.0f;
        if (reading.found && estimate == kNoSound) {
            byteCount = ReadStretchForScope(fileName, reading, samples);
        }
    }

    if (analysis.frequency == -1.0f) {
        analysis.noSound = true;
        // The oscilloscope is handed one silent sample, which draws nothing.
        analysis.samples = std::make_unique<int16_t[]>(1);
        analysis.byteCount = 2;
        analysis.frequencyText = kNoSoundFrequencyText;
        analysis.snrText = kNoSoundSnrText;
        return analysis;
    }

    analysis.samples = std::move(samples);
    analysis.byteCount = byteCount;
    analysis.semitone = FindSemitone(semitoneTable, analysis.frequency, analysis.deviation);
    analysis.frequencyText = FormatGeneral(static_cast<double>(analysis.frequency), decimalSeparator);
    analysis.snrText = std::to_string(analysis.snrUsed);
    analysis.semitoneText = std::to_string(analysis.semitone);
    analysis.deviationText = FormatGeneral(static_cast<double>(analysis.deviation), decimalSeparator);
    return analysis;
}

}  // namespace tonarel
