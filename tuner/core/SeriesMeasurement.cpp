#include "tuner/core/SeriesMeasurement.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tonarel::tuner {
namespace {

constexpr double kSearchShare = 0.25;             // of the partial spacing, either side of the expected place
constexpr double kLeastOverSurroundings = 10.0;   // a partial's peak bin 10 dB over its band's other bins
constexpr double kWeightCeiling = 1e4;            // past 40 dB over its surroundings a partial is certain
constexpr double kFirstPartialLeastSnr = 1e3;     // the first partial is read on its own 30 dB over the floor...
constexpr double kFirstWithinStrongest = 1e-3;    // ...and within 30 dB of the strongest partial
constexpr std::size_t kLobeBins = 2;              // the Hann main lobe: two bins either side of the peak
// A note bends at most a few percent between two readings 23 ms apart (a
// wide vibrato moves it 1 %); a larger scale comes from a stray peak taken
// for a partial and would carry the search off to the wrong partials.
constexpr double kLargestScale = 1.03;
constexpr double kFinerLargestShare = 0.02;       // 34 cents: a ±20-cent vibrato with room

// The power-weighted mean of the frequencies that the bins around `peak`
// read from their phase advance; 0 when they hold no power.
double LobeFrequencyHz(const PhaseAdvanceSpectrum& spectrum, std::size_t peak)
{
    double hzSum = 0.0;
    double hzWeight = 0.0;
    for (std::size_t bin = peak - 1; bin <= peak + 1; ++bin) {
        hzSum += spectrum.Power(bin) * spectrum.FrequencyHz(bin);
        hzWeight += spectrum.Power(bin);
    }
    return hzWeight > 0.0 ? hzSum / hzWeight : 0.0;
}

// `hz`, found in the long spectrum, read again in the shorter frames: from
// their strongest bin next to it. Kept when the short frames place the
// partial further from it than a wide vibrato swings about its middle
// (kFinerLargestShare), or than one of their bins: what they read there is
// noise or a neighbour's lobe (a fading note's partials sink into the noise
// of the short frames first).
double ReadFiner(const PhaseAdvanceSpectrum& finer, double hz)
{
    if (finer.Length() == 0) {
        return hz;
    }
    std::size_t peak = finer.BinNear(hz);
    if (peak < 2 || peak + 2 >= finer.BinCount()) {
        return hz;
    }
    if (finer.Power(peak - 1) > finer.Power(peak) && finer.Power(peak - 1) >= finer.Power(peak + 1)) {
        --peak;
    } else if (finer.Power(peak + 1) > finer.Power(peak)) {
        ++peak;
    }
    const double read = LobeFrequencyHz(finer, peak);
    return std::fabs(read - hz) <= std::min(finer.BinHz(), kFinerLargestShare * hz) ? read : hz;
}

struct Found {
    uint32_t number = 0;
    double hz = 0.0;
    double lobePower = 0.0;
    double snr = 0.0;
};

}  // namespace

SeriesMeasurement MeasureSeries(const PhaseAdvanceSpectrum& spectrum, const precise::StiffString& expected,
                                double topHz, const PhaseAdvanceSpectrum* finer)
{
    SeriesMeasurement result;
    result.model = expected;
    if (spectrum.Length() == 0 || !(expected.f0 > 0.0)) {
        return result;
    }
    const double binHz = spectrum.BinHz();
    const std::size_t lastBin = spectrum.BinCount() - 1 - kLobeBins;
    std::array<Found, kMostMeasuredPartials> found{};
    std::size_t foundCount = 0;
    double scaleSum = 0.0;
    double scaleWeight = 0.0;
    for (uint32_t number = 1; number <= kMostMeasuredPartials; ++number) {
        const double scale =
            scaleWeight > 0.0 ? std::clamp(scaleSum / scaleWeight, 1.0 / kLargestScale, kLargestScale) : 1.0;
        const double place = expected.PartialHz(number) * scale;
        const double halfWidth = kSearchShare * expected.f0 * scale;
        if (place + halfWidth > topHz) {
            break;
        }
        const std::size_t low = std::max(kLobeBins + 1, spectrum.BinNear(place - halfWidth));
        const std::size_t high = std::min(lastBin, spectrum.BinNear(place + halfWidth));
        if (low >= high) {
            continue;
        }
        std::size_t peak = low;
        for (std::size_t bin = low; bin <= high; ++bin) {
            if (spectrum.Power(bin) > spectrum.Power(peak)) {
                peak = bin;
            }
        }
        // A maximum at the band's edge is the flank of something outside it.
        if (!(spectrum.Power(peak) > 0.0) || spectrum.Power(peak - 1) > spectrum.Power(peak) ||
            spectrum.Power(peak + 1) > spectrum.Power(peak)) {
            continue;
        }
        double lobe = 0.0;
        for (std::size_t bin = peak - kLobeBins; bin <= peak + kLobeBins; ++bin) {
            lobe += spectrum.Power(bin);
        }
        // The band's bins outside the lobe, widened to at least four bins
        // each side where the band is narrow, stand for the noise around it.
        double surroundings = 0.0;
        std::size_t surroundingCount = 0;
        const std::size_t reachLow = std::min(low, peak - std::min(peak - 1, kLobeBins + 4));
        const std::size_t reachHigh = std::max(high, std::min(spectrum.BinCount() - 1, peak + kLobeBins + 4));
        for (std::size_t bin = reachLow; bin <= reachHigh; ++bin) {
            if (bin + kLobeBins < peak || bin > peak + kLobeBins) {
                surroundings += spectrum.Power(bin);
                ++surroundingCount;
            }
        }
        const double floor = surroundingCount > 0 ? surroundings / static_cast<double>(surroundingCount) : 0.0;
        const double snr = floor > 0.0 ? spectrum.Power(peak) / floor : kWeightCeiling;
        if (snr < kLeastOverSurroundings) {
            continue;
        }
        // The lobe's bins each give the partial's frequency; their
        // power-weighted mean is steadier against noise than the peak's alone.
        double hz = LobeFrequencyHz(spectrum, peak);
        if (hz <= 0.0) {
            hz = static_cast<double>(peak) * binHz;
        }
        if (finer != nullptr) {
            hz = ReadFiner(*finer, hz);
        }
        found[foundCount++] = {number, hz, lobe, snr};
        scaleSum += lobe * hz / expected.PartialHz(number);
        scaleWeight += lobe;
    }
    if (foundCount == 0) {
        return result;
    }

    double strongest = 0.0;
    for (std::size_t i = 0; i < foundCount; ++i) {
        strongest = std::max(strongest, found[i].lobePower);
    }
    precise::StiffStringFit fit;
    double partialPower = 0.0;
    for (std::size_t i = 0; i < foundCount; ++i) {
        fit.Add({found[i].number, found[i].hz, std::min(found[i].snr, kWeightCeiling)});
        partialPower += found[i].lobePower;
    }
    result.model = fit.Model();
    result.partialCount = static_cast<uint32_t>(foundCount);
    const Found& first = found[0];
    const bool firstStands = first.number == 1 && first.snr >= kFirstPartialLeastSnr &&
                             first.lobePower >= kFirstWithinStrongest * strongest;
    result.firstPartialHz = firstStands ? first.hz : result.model.PartialHz(1);

    const double bandLow = 0.5 * result.firstPartialHz;
    const double bandHigh = std::min(topHz, found[foundCount - 1].hz + 0.5 * result.model.f0);
    double total = 0.0;
    for (std::size_t bin = spectrum.BinNear(bandLow); bin <= spectrum.BinNear(bandHigh); ++bin) {
        total += spectrum.Power(bin);
    }
    result.confidence = total > 0.0 ? std::clamp(partialPower / total, 0.0, 1.0) : 0.0;
    return result;
}

}  // namespace tonarel::tuner
