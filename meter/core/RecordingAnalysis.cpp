#include "meter/core/RecordingAnalysis.h"

#include <limits>

#include "common/NumberFormat.h"
#include "meter/core/SemitoneTable.h"
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
    std::unique_ptr<int16_t[]> samples;
    uint32_t byteCount = 0;
    const long double estimate =
        EstimatePitch(fileName, samples, byteCount, SegmentBytesFromMilliseconds(options.segmentMilliseconds),
                      analysis.snrUsed, options.givenSnr, options.divisor, &analysis.diagnostics);
    analysis.frequency = static_cast<float>(estimate);
    if (analysis.frequency != -1.0f && options.precise) {
        analysis.precise = EstimatePrecisePitch(fileName);
        analysis.frequency = analysis.precise->found ? static_cast<float>(analysis.precise->firstPartialHz) : -1.0f;
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
