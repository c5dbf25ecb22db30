#include "meter/core/RecordingAnalysis.h"

#include <limits>

#include "common/NumberFormat.h"
#include "meter/core/SemitoneTable.h"
#include "wave/CaptureFile.h"
#include "wave/WaveHeader.h"

namespace tonarel {

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
    if (!analysis.noSound && options.precise) {
        analysis.precise = EstimatePrecisePitch(*take);
        analysis.noSound = !analysis.precise->found;
        analysis.frequency = static_cast<float>(analysis.precise->firstPartialHz);
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
