#include "precise/PreciseReading.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "precise/NoteStretch.h"
#include "precise/PartialSeries.h"
#include "precise/StiffString.h"
#include "precise/StretchSpectrum.h"
#include "wave/CaptureFile.h"

namespace tonarel {
namespace {

using namespace tonarel::precise;

constexpr double kLowestPeakHz = 20.0;
constexpr double kHighestPeakHz = 16000.0;
constexpr double kLeastPeakSnr = 20.0;          // 13 dB over the mean noise: noise alone almost never peaks there
constexpr double kWeightCeiling = 1e4;          // past 40 dB over the noise a partial is as good as certain
constexpr double kFirstPartialLeastSnr = 1e3;   // a first partial 30 dB over the noise is read on its own...
constexpr double kFirstPartialWithinStrongest = 1e-3;  // ...if within 30 dB of the strongest partial
constexpr double kLeastPeriods = 4.0;

uint32_t DataOffset(uint32_t sample)
{
    return static_cast<uint32_t>(std::min<uint64_t>(2 * uint64_t{sample}, std::numeric_limits<uint32_t>::max()));
}

// Half the width of the band over which a partial's mean frequency is taken:
// wide enough for the window's main lobe and for vibrato of a few percent,
// never reaching halfway to the neighbouring partials.
double BandHalfWidth(const StretchSpectrum& spectrum, double partialHz, double f0)
{
    return std::min(std::max(3.0 * spectrum.ResolutionHz(), 0.03 * partialHz), 0.45 * f0);
}

PreciseReading ReadStretch(std::span<const int16_t> stretch, const NoteStretch& where, uint32_t sampleRate)
{
    PreciseReading reading;
    reading.beginByte = DataOffset(where.firstSample);
    reading.endByte = DataOffset(where.firstSample + where.sampleCount);

    const StretchSpectrum spectrum(stretch, sampleRate);
    const double topHz = std::min(kHighestPeakHz, 0.95 * spectrum.NyquistHz());
    const std::vector<SpectralPeak> peaks = spectrum.Peaks(kLowestPeakHz, topHz, kLeastPeakSnr);
    const std::optional<PartialSeries> series = FindPartialSeries(peaks, topHz);
    if (!series) {
        return reading;
    }

    // Each partial's mean frequency: the power-weighted centre of its band,
    // taken twice so that the band ends up centred on the partial itself and
    // not on the strongest sideband of a vibrato.
    std::vector<PartialMeasure> measures;
    double partialPower = 0.0;
    double strongest = 0.0;
    std::optional<PartialMeasure> first;
    for (const MatchedPartial& partial : series->partials) {
        const double halfWidth = BandHalfWidth(spectrum, partial.peak.hz, series->model.f0);
        BandMeasure band = spectrum.MeasureBand(partial.peak.hz - halfWidth, partial.peak.hz + halfWidth);
        if (band.power > 0.0) {
            band = spectrum.MeasureBand(band.centroidHz - halfWidth, band.centroidHz + halfWidth);
        }
        if (!(band.power > 0.0)) {
            continue;
        }
        partialPower += band.power;
        strongest = std::max(strongest, partial.peak.power);
        const PartialMeasure measure{partial.number, band.centroidHz, std::min(partial.peak.snr, kWeightCeiling)};
        measures.push_back(measure);
        if (partial.number == 1) {
            first = PartialMeasure{1, band.centroidHz, partial.peak.power};
        }
    }
    if (measures.empty()) {
        return reading;
    }
    const StiffString fit = FitStiffString(measures);
    const auto firstPeak = std::find_if(series->partials.begin(), series->partials.end(),
                                        [](const MatchedPartial& partial) { return partial.number == 1; });
    const bool firstStands = first && firstPeak != series->partials.end() &&
                             firstPeak->peak.snr >= kFirstPartialLeastSnr &&
                             first->weight >= kFirstPartialWithinStrongest * strongest;
    reading.firstPartialHz = firstStands ? first->hz : fit.PartialHz(1);
    reading.inharmonicity = measures.size() >= 3 ? fit.b : 0.0;
    reading.partialCount = static_cast<uint32_t>(measures.size());

    const uint32_t highest = measures.back().number;
    const double bandTop = std::min(topHz, fit.PartialHz(highest) + 0.5 * fit.f0);
    const double total = spectrum.TotalPower(0.5 * reading.firstPartialHz, bandTop);
    reading.confidence = total > 0.0 ? std::clamp(partialPower / total, 0.0, 1.0) : 0.0;

    const double periods = reading.firstPartialHz * static_cast<double>(stretch.size()) / sampleRate;
    reading.found = reading.confidence >= kLeastPreciseConfidence && periods >= kLeastPeriods &&
                    reading.firstPartialHz >= kLowestFirstPartialHz &&
                    reading.firstPartialHz <= kHighestFirstPartialHz;
    return reading;
}

}  // namespace

PreciseReading EstimatePrecisePitch(std::span<const int16_t> samples, uint32_t sampleRate)
{
    if (sampleRate == 0) {
        return {};
    }
    LevelEnvelope envelope;
    envelope.Add(samples);
    envelope.Finish();
    const std::optional<NoteStretch> stretch = ChooseNoteStretch(envelope.Levels(), envelope.SampleCount(), sampleRate);
    if (!stretch) {
        return {};
    }
    return ReadStretch(samples.subspan(stretch->firstSample, stretch->sampleCount), *stretch, sampleRate);
}

PreciseReading EstimatePrecisePitch(const std::filesystem::path& captureFile)
{
    std::optional<CaptureFile> take = CaptureFile::Open(captureFile);
    if (!take) {
        return {};
    }
    return EstimatePrecisePitch(*take);
}

PreciseReading EstimatePrecisePitch(CaptureFile& take)
{
    CaptureFile* const file = &take;
    if (file->Header().BitsPerSample != kCaptureBitsPerSample || !file->SeekToFileOffset(kWaveHeaderBytes)) {
        return {};
    }
    const uint32_t takeSamples = file->DataBytesPresent() / 2;

    LevelEnvelope envelope;
    while (envelope.SampleCount() < takeSamples) {
        const std::size_t wanted = std::min<std::size_t>(CaptureFile::kMostViewedSamples, takeSamples - envelope.SampleCount());
        const std::span<const int16_t> view = file->ViewSamples(wanted);
        if (view.empty()) {
            break;
        }
        envelope.Add(view);
    }
    envelope.Finish();
    const std::optional<NoteStretch> stretch = ChooseNoteStretch(envelope.Levels(), envelope.SampleCount());
    if (!stretch || !file->SeekToFileOffset(kWaveHeaderBytes + 2 * uint64_t{stretch->firstSample})) {
        return {};
    }
    auto samples = std::make_unique<int16_t[]>(stretch->sampleCount);
    uint32_t read = 0;
    while (read < stretch->sampleCount) {
        const std::size_t wanted = std::min<std::size_t>(CaptureFile::kMostViewedSamples, stretch->sampleCount - read);
        const std::span<const int16_t> view = file->ViewSamples(wanted);
        if (view.empty()) {
            break;
        }
        std::copy(view.begin(), view.end(), samples.get() + read);
        read += static_cast<uint32_t>(view.size());
    }
    const NoteStretch readStretch{stretch->firstSample, read};
    if (read == 0) {
        return {};
    }
    return ReadStretch(std::span<const int16_t>(samples.get(), read), readStretch, kPreciseSampleRate);
}

}  // namespace tonarel
