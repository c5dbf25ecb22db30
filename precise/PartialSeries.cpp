#include "precise/PartialSeries.h"

#include <algorithm>
#include <cmath>

namespace tonarel::precise {
namespace {

constexpr std::size_t kSeedPeaks = 10;        // the strongest peaks that seed candidates
constexpr uint32_t kHighestSeedNumber = 12;   // a seed may be up to partial 12 (a bass note's weak low partials)
constexpr uint32_t kMostPartials = 40;        // partials followed: enough to place any note, few enough
                                              // that a slightly inharmonic series is not lost on the way
constexpr double kBelowFirst = 0.9;           // peaks under 0.9 f1 lie below a candidate's first partial
constexpr double kSearchWidth = 0.2;          // a partial is looked for within 0.2 f0 of where the model puts it
constexpr double kMissingPenalty = 0.5;       // a missing partial costs half an average present one
constexpr double kStrongestDb = 60.0;         // a peak weighs in a fit at most as one 60 dB over the noise
// A partial is present when it comes within 35 dB of the spectrum's clearest
// peak and stands 20 dB over the noise; weaker matches (noise, reverberation,
// a window's side lobes) neither add to a candidate nor fill the gaps of a
// candidate an octave too low.
constexpr double kPresentWithinDb = 35.0;
constexpr double kPresentOverNoiseDb = 20.0;
// An octave lower is taken when its first partial and at least one more of
// its first five odd partials are present.
constexpr uint32_t kOddPartialsLooked = 5;
constexpr std::size_t kLeastOddPartialsPresent = 2;

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
    double reachHz = 0.0;  // how far up the spectrum its partials were followed
    double score = 0.0;    // over its own reach
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
                         double topHz)
{
    Candidate candidate;
    StiffStringFit fit;
    fit.Add({seedNumber, seed.hz, StrengthDb(seed)});
    candidate.series.model = {seed.hz / seedNumber, 0.0};
    candidate.series.partials.push_back({seedNumber, seed});
    double lastHz = 0.0;
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
        // Partials are followed upwards, so a peak can only have been taken
        // by the partial just below or by the seed; a peak closer than half
        // a partial spacing to either is a side lobe of it, not a partial.
        const double apart = 0.5 * candidate.series.model.f0;
        if (found == nullptr || std::fabs(found->hz - seed.hz) < apart || std::fabs(found->hz - lastHz) < apart) {
            continue;
        }
        candidate.series.partials.push_back({number, *found});
        lastHz = found->hz;
        fit.Add({number, found->hz, StrengthDb(*found)});
        candidate.series.model = fit.Model();
    }
    std::sort(candidate.series.partials.begin(), candidate.series.partials.end(),
              [](const MatchedPartial& a, const MatchedPartial& b) { return a.number < b.number; });

    candidate.reachHz = std::min(topHz, candidate.series.model.PartialHz(kMostPartials));
    return candidate;
}

// The strength with which peaks stand above the presence threshold, summed
// from the bottom of the spectrum.
class PresentStrength {
public:
    PresentStrength(std::span<const SpectralPeak> peaks, double presentDb)
        : peaks_(peaks), presentDb_(presentDb), sums_(peaks.size() + 1)
    {
        for (std::size_t i = 0; i < peaks.size(); ++i) {
            sums_[i + 1] = sums_[i] + Above(peaks[i]);
        }
    }
    double Above(const SpectralPeak& peak) const { return std::max(0.0, Decibels(peak) - presentDb_); }
    double Below(double hz) const
    {
        const auto at = std::lower_bound(peaks_.begin(), peaks_.end(), hz,
                                         [](const SpectralPeak& peak, double value) { return peak.hz < value; });
        return sums_[static_cast<std::size_t>(at - peaks_.begin())];
    }

private:
    std::span<const SpectralPeak> peaks_;
    double presentDb_;
    std::vector<double> sums_;
};

// A candidate's score over the spectrum up to `reachHz`: how far its present
// partials stand above the presence threshold, less half their average for
// every partial missing below its highest present one, less the present
// peaks it leaves below its first partial (a note has none there). A
// candidate an octave low explains the same peaks with every other partial
// missing; one an octave high leaves the first partial below it and misses
// the odd partials.
double Score(const Candidate& candidate, double reachHz, const PresentStrength& strength)
{
    double present = 0.0;
    uint32_t presentCount = 0;
    uint32_t highestPresent = 0;
    for (const MatchedPartial& partial : candidate.series.partials) {
        const double above = strength.Above(partial.peak);
        if (partial.peak.hz <= reachHz && above > 0.0) {
            present += above;
            ++presentCount;
            highestPresent = partial.number;
        }
    }
    const double below = strength.Below(kBelowFirst * candidate.series.model.PartialHz(1));
    if (presentCount == 0) {
        return -below;
    }
    const double missing = static_cast<double>(highestPresent - presentCount);
    return present - kMissingPenalty * missing * present / presentCount - below;
}

// The series an octave below `series`, when the spectrum holds its odd
// partials: `series`' partials as its even ones, with the odd ones between
// them matched from `peaks`. An organ's flue pipes sound with weak odd
// partials, often fading out above the ninth, so that the series an octave
// high explains the strong peaks with fewer gaps and wins the comparison of
// candidates; but a note has no peaks halfway between its partials, and the
// lower first partial present together with another of the first five odd
// ones cannot be chance. (A registration with a rank an octave below the key
// reads at that rank's pitch.) Nothing when the lower first partial is
// missing (a quint rank alone puts a peak at 1.5 times the key, not at half
// of it), when no other odd partial is present, or when the lower first
// partial leaves the range searched.
std::optional<PartialSeries> OctaveBelow(const PartialSeries& series, std::span<const SpectralPeak> peaks,
                                         const PresentStrength& strength)
{
    const StiffString below{0.5 * series.model.f0, 0.25 * series.model.b};
    if (below.PartialHz(1) < kLowestFirstPartialHz) {
        return std::nullopt;
    }
    const double width = kSearchWidth * below.f0;
    std::vector<MatchedPartial> odd;
    for (uint32_t number = 1; number < 2 * kOddPartialsLooked; number += 2) {
        const double expected = below.PartialHz(number);
        const SpectralPeak* found = StrongestBetween(peaks, expected - width, expected + width);
        if (found != nullptr && strength.Above(*found) > 0.0) {
            odd.push_back({number, *found});
        }
    }
    if (odd.size() < kLeastOddPartialsPresent || odd.front().number != 1) {
        return std::nullopt;
    }
    PartialSeries lower{below, std::move(odd)};
    for (const MatchedPartial& partial : series.partials) {
        lower.partials.push_back({2 * partial.number, partial.peak});
    }
    std::sort(lower.partials.begin(), lower.partials.end(),
              [](const MatchedPartial& a, const MatchedPartial& b) { return a.number < b.number; });
    return lower;
}

}  // namespace

std::optional<PartialSeries> FindPartialSeries(std::span<const SpectralPeak> peaks, double topHz)
{
    if (peaks.empty()) {
        return std::nullopt;
    }
    std::vector<const SpectralPeak*> seeds;
    for (const SpectralPeak& peak : peaks) {
        seeds.push_back(&peak);
    }
    const std::size_t seedCount = std::min(kSeedPeaks, seeds.size());
    std::partial_sort(seeds.begin(), seeds.begin() + static_cast<std::ptrdiff_t>(seedCount), seeds.end(),
                      [](const SpectralPeak* a, const SpectralPeak* b) { return a->power > b->power; });
    const auto clearest = std::max_element(peaks.begin(), peaks.end(),
                                           [](const SpectralPeak& a, const SpectralPeak& b) { return a.snr < b.snr; });
    const PresentStrength strength(peaks, std::max(Decibels(*clearest) - kPresentWithinDb, kPresentOverNoiseDb));

    std::vector<Candidate> candidates;
    for (std::size_t s = 0; s < seedCount; ++s) {
        for (uint32_t number = 1; number <= kHighestSeedNumber; ++number) {
            const double f0 = seeds[s]->hz / number;
            if (f0 < kLowestFirstPartialHz) {
                break;
            }
            if (f0 > kHighestFirstPartialHz) {
                continue;
            }
            Candidate candidate = FollowPartials(peaks, *seeds[s], number, topHz);
            const double firstHz = candidate.series.model.PartialHz(1);
            if (firstHz >= kLowestFirstPartialHz && firstHz <= kHighestFirstPartialHz) {
                candidate.score = Score(candidate, candidate.reachHz, strength);
                candidates.push_back(std::move(candidate));
            }
        }
    }
    if (candidates.empty()) {
        return std::nullopt;
    }
    // Equal scores go to the higher candidate, which explains the same peaks
    // with fewer partials.
    const auto firstHz = [](const Candidate& candidate) { return candidate.series.model.PartialHz(1); };
    const Candidate* best = &candidates.front();
    for (const Candidate& candidate : candidates) {
        if (candidate.score > best->score + 1e-9 ||
            (candidate.score > best->score - 1e-9 && firstHz(candidate) > firstHz(*best))) {
            best = &candidate;
        }
    }
    PartialSeries series = best->series;
    while (std::optional<PartialSeries> lower = OctaveBelow(series, peaks, strength)) {
        series = std::move(*lower);
    }
    return series;
}

}  // namespace tonarel::precise
