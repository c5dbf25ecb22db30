#include "precise/PartialSeries.h"

#include <algorithm>
#include <cmath>

namespace tonarel::precise {
namespace {

constexpr std::size_t kSeedPeaks = 10;        // the strongest peaks that seed candidates
constexpr uint32_t kHighestSeedNumber = 12;   // a seed may be up to partial 12 (a bass note's weak low partials)
constexpr uint32_t kMostPartials = 60;
constexpr double kSearchWidth = 0.2;          // a partial is looked for within 0.2 f0 of where the model puts it
constexpr double kMissingPenalty = 0.5;       // a missing partial costs half an average present one
constexpr double kStrongestDb = 60.0;         // a peak weighs in a fit at most as one 60 dB over the noise
// A partial is present when it comes within 35 dB of the spectrum's strongest
// peak; weaker matches (noise, reverberation, a window's side lobes) neither
// add to a candidate nor fill the gaps of a candidate an octave too low.
constexpr double kPresentWithinDb = 35.0;

double Decibels(const SpectralPeak& peak)
{
    return 10.0 * std::log10(peak.snr);
}

double StrengthDb(const SpectralPeak& peak)
{
    return std::clamp(Decibels(peak), 0.0, kStrongestDb);
}

struct Candidate {
    PartialSeries series;
    double score = 0.0;
};

// The strongest peak within [lowHz, highHz], or none.
const SpectralPeak* StrongestBetween(std::span<const SpectralPeak> peaks, double lowHz, double highHz)
{
    auto at = std::lower_bound(peaks.begin(), peaks.end(), lowHz,
                               [](const SpectralPeak& peak, double hz) { return peak.hz < hz; });
    const SpectralPeak* strongest = nullptr;
    for (; at != peaks.end() && at->hz <= highHz; ++at) {
        if (strongest == nullptr || at->power > strongest->power) {
            strongest = &*at;
        }
    }
    return strongest;
}

Candidate FollowPartials(std::span<const SpectralPeak> peaks, const SpectralPeak& seed, uint32_t seedNumber,
                         double topHz, double presentDb)
{
    Candidate candidate;
    std::vector<PartialMeasure> measures{{seedNumber, seed.hz, StrengthDb(seed)}};
    candidate.series.model = {seed.hz / seedNumber, 0.0};
    candidate.series.partials.push_back({seedNumber, seed});
    for (uint32_t number = 1; number <= kMostPartials; ++number) {
        if (number == seedNumber) {
            continue;
        }
        const double expected = candidate.series.model.PartialHz(number);
        if (expected > topHz) {
            break;
        }
        const double width = kSearchWidth * candidate.series.model.f0;
        const SpectralPeak* found = StrongestBetween(peaks, expected - width, expected + width);
        const bool taken = found != nullptr &&
                           std::any_of(candidate.series.partials.begin(), candidate.series.partials.end(),
                                       [found](const MatchedPartial& partial) { return partial.peak.hz == found->hz; });
        if (found == nullptr || taken) {
            continue;
        }
        candidate.series.partials.push_back({number, *found});
        measures.push_back({number, found->hz, StrengthDb(*found)});
        candidate.series.model = FitStiffString(measures);
    }
    std::sort(candidate.series.partials.begin(), candidate.series.partials.end(),
              [](const MatchedPartial& a, const MatchedPartial& b) { return a.number < b.number; });

    // The score: how far the present partials stand above the presence
    // threshold, less a share of their average for every partial missing
    // below the highest present one.
    double present = 0.0;
    uint32_t presentCount = 0;
    uint32_t highestPresent = 0;
    for (const MatchedPartial& partial : candidate.series.partials) {
        const double above = Decibels(partial.peak) - presentDb;
        if (above > 0.0) {
            present += above;
            ++presentCount;
            highestPresent = partial.number;
        }
    }
    if (presentCount > 0) {
        const double missing = static_cast<double>(highestPresent - presentCount);
        candidate.score = present - kMissingPenalty * missing * present / presentCount;
    }
    return candidate;
}

}  // namespace

std::optional<PartialSeries> FindPartialSeries(std::span<const SpectralPeak> peaks, double topHz)
{
    std::vector<const SpectralPeak*> seeds;
    for (const SpectralPeak& peak : peaks) {
        seeds.push_back(&peak);
    }
    const std::size_t seedCount = std::min(kSeedPeaks, seeds.size());
    std::partial_sort(seeds.begin(), seeds.begin() + static_cast<std::ptrdiff_t>(seedCount), seeds.end(),
                      [](const SpectralPeak* a, const SpectralPeak* b) { return a->power > b->power; });

    const double presentDb = seeds.empty() ? 0.0 : Decibels(**std::max_element(seeds.begin(), seeds.end(),
        [](const SpectralPeak* a, const SpectralPeak* b) { return a->snr < b->snr; })) - kPresentWithinDb;
    std::optional<Candidate> best;
    for (std::size_t s = 0; s < seedCount; ++s) {
        for (uint32_t number = 1; number <= kHighestSeedNumber; ++number) {
            const double f0 = seeds[s]->hz / number;
            if (f0 < kLowestFirstPartialHz) {
                break;
            }
            if (f0 > kHighestFirstPartialHz) {
                continue;
            }
            Candidate candidate = FollowPartials(peaks, *seeds[s], number, topHz, presentDb);
            const double firstHz = candidate.series.model.PartialHz(1);
            if (firstHz < kLowestFirstPartialHz || firstHz > kHighestFirstPartialHz) {
                continue;
            }
            // Equal scores go to the higher candidate, which explains the
            // same peaks with fewer partials.
            const bool better = !best || candidate.score > best->score + 1e-9 ||
                                (candidate.score > best->score - 1e-9 && firstHz > best->series.model.PartialHz(1));
            if (better) {
                best = std::move(candidate);
            }
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return std::move(best->series);
}

}  // namespace tonarel::precise
