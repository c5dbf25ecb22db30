#include "tuner/core/LiveTracker.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "precise/PartialSeries.h"
#include "precise/StiffString.h"
#include "precise/StretchSpectrum.h"
#include "tuner/core/AdaptiveWindow.h"
#include "tuner/core/PhaseAdvanceSpectrum.h"
#include "tuner/core/SampleRing.h"
#include "tuner/core/SeriesMeasurement.h"

namespace tonarel::tuner {
namespace {

constexpr std::size_t kRingSamples = 32768;           // the longest window and its advance, with room
constexpr std::size_t kSearchSamples = 8192;          // a decision looks at up to 186 ms since the attack
constexpr std::size_t kShortestSearch = 2048;
constexpr double kLowestPeakHz = 20.0;
constexpr double kHighestPeakHz = 16000.0;
constexpr double kLeastPeakSnr = 20.0;                // as the precise reading: noise alone almost never peaks there
constexpr double kResolutionsBetweenPartials = 4.0;   // a search resolves partials this many of its resolutions apart
constexpr double kLeastConfidence = 0.5;              // a reading is found from here
constexpr double kKeepConfidence = 0.25;              // below it the note counts as gone
constexpr int kMissesToEnd = 3;
constexpr double kSameNoteCents = 50.0;
constexpr int kCheckEvery = 8;                        // readings between searches while a note is held
constexpr int kDisagreementsToSwitch = 3;
constexpr double kLeastMeanSquare = 1.0;              // under one sample unit RMS the input is silent
constexpr double kAttackRise = 8.0;                   // 9 dB from one reading's samples to the next
// In this window (notes from 50 to 100 Hz) the partials' frequencies are
// read again in frames half as long: the window spans a whole cycle of a
// vibrato and would average it away. Not in the longest window: its
// half-length frames hold a note below 50 Hz's partials only about five of
// their bins apart, and read them through their neighbours' lobes less
// steadily (medians off by up to half a cent more).
constexpr std::size_t kFinerWindow = 8192;
// A decided note is taken for the octave below it when that octave's series
// leaves less than 70 % of the power unexplained that the note's leaves, and
// explains at least 2 % more of it: the odd partials of the lower note stand
// between the partials of the one decided.
constexpr double kLowerUnexplainedShare = 0.7;
constexpr double kLowerLeastGain = 0.02;
constexpr double kLowerAgreementCents = 20.0;
// A note whose octave stays unsure this many times since its attack is
// reported as decided: a sound whose octave below never places itself
// cleanly must still read, rather than stay silent for as long as it lasts.
constexpr int kUnsureOctavesBeforeTrust = 8;
// A note decided from here up keeps its octave: at the attack its octave
// below, if it were the note, would already show its odd partials (only a
// bass note's build up late), and a partial an octave down in a higher
// note belongs to its sound (an organ stop sounding the octave below).
constexpr double kLowestSureOctaveHz = 200.0;

double CentsApart(double a, double b)
{
    return std::fabs(1200.0 * std::log2(a / b));
}

}  // namespace

struct LiveTracker::State {
    SampleRing ring{kRingSamples};
    PhaseAdvanceSpectrum spectrum;
    PhaseAdvanceSpectrum finer;
    std::vector<int16_t> scratch = std::vector<int16_t>(kRingSamples);

    // The input's level over the current and the last reading interval.
    double intervalSum = 0.0;
    uint32_t inInterval = 0;
    double lastLevel = 0.0;

    // Where the current note's attack began, in samples since the start.
    uint64_t attackSample = 0;

    bool sounding = false;
    precise::StiffString held;
    double heldFirstHz = 0.0;
    int misses = 0;
    int sinceCheck = 0;
    int disagreements = 0;
    int unsureOctaves = 0;  // unsure octave checks since the attack
    double pendingHz = 0.0;  // a decision waiting for its confirmation
    bool octaveSettled = true;  // the held note's octave has been checked against the one below
    bool announced = false;     // the held note has had a found reading

    std::size_t SinceAttack() const
    {
        return static_cast<std::size_t>(std::min<uint64_t>(ring.Appended() - attackSample, ring.Held()));
    }

    double TopHz() const { return std::min(kHighestPeakHz, 0.95 * kLiveSampleRate / 2.0); }

    // The note's own window when `available` samples hold it and its
    // advance; 0 otherwise (a shorter window would read a bass note's first
    // partial through the skirts of its neighbours).
    static std::size_t FittingWindow(double firstHz, std::size_t available)
    {
        const std::size_t length = WindowLengthFor(firstHz);
        return length + AdvanceFor(length) <= available ? length : 0;
    }

    std::optional<SeriesMeasurement> Measure(const precise::StiffString& model, std::size_t available)
    {
        const std::size_t length = FittingWindow(model.PartialHz(1), available);
        if (length == 0) {
            return std::nullopt;
        }
        const std::span<int16_t> frames(scratch.data(), length + AdvanceFor(length));
        ring.CopyLatest(frames);
        spectrum.Analyse(frames, length);
        if (length != kFinerWindow) {
            return MeasureSeries(spectrum, model, TopHz());
        }
        const std::size_t finerLength = length / 2;
        finer.Analyse(frames.last(finerLength + AdvanceFor(finerLength)), finerLength);
        return MeasureSeries(spectrum, model, TopHz(), &finer);
    }

    // The note the spectrum of the samples since the attack shows, decided
    // afresh, measured as a held note would be.
    std::optional<SeriesMeasurement> Search()
    {
        const std::size_t available = SinceAttack();
        const std::size_t length = std::min(available, kSearchSamples);
        if (length < kShortestSearch) {
            return std::nullopt;
        }
        const std::span<int16_t> stretch(scratch.data(), length);
        ring.CopyLatest(stretch);
        std::optional<precise::PartialSeries> series;
        {
            const precise::StretchSpectrum stretchSpectrum(stretch);
            const std::vector<precise::SpectralPeak> peaks =
                stretchSpectrum.Peaks(kLowestPeakHz, TopHz(), kLeastPeakSnr);
            series = precise::FindPartialSeries(peaks, TopHz());
        }
        if (!series) {
            return std::nullopt;
        }
        // The octave below must be resolved too before the decision is
        // trusted (or the search be as long as it gets): a bass note's
        // partials that the stretch cannot yet separate read as a note an
        // octave higher.
        const double firstHz = series->model.PartialHz(1);
        const double resolvedFrom = kResolutionsBetweenPartials * kLiveSampleRate / static_cast<double>(length);
        if (firstHz < precise::kLowestFirstPartialHz || firstHz > precise::kHighestFirstPartialHz ||
            firstHz < resolvedFrom || (firstHz < 2.0 * resolvedFrom && length < kSearchSamples)) {
            return std::nullopt;
        }
        const std::optional<SeriesMeasurement> measured = Measure(series->model, available);
        if (!measured || measured->partialCount == 0) {
            return std::nullopt;
        }
        return measured;
    }

    // Whether the held note could be the octave above the note that
    // sounds: a low note whose octave below is still a note.
    bool LowerOctaveInDoubt() const
    {
        const double firstHz = held.PartialHz(1);
        return firstHz < kLowestSureOctaveHz && firstHz / 2.0 >= precise::kLowestFirstPartialHz;
    }

    // Whether the samples since the attack fill the window that resolves
    // the note an octave below the held one (or a search's longest stretch):
    // before that, a low note's odd partials may not yet stand clear of its
    // even ones, so that it reads an octave too high.
    bool OctaveCheckDue() const
    {
        if (!LowerOctaveInDoubt()) {
            return true;
        }
        const std::size_t lowerWindow = WindowLengthFor(held.PartialHz(1) / 2.0);
        const std::size_t due =
            std::min(lowerWindow + AdvanceFor(lowerWindow), kSearchSamples + AdvanceFor(kSearchSamples));
        return SinceAttack() >= due;
    }

    // Whether the note an octave below the held one is what sounds: when its
    // series explains the latest samples clearly better than the held one
    // does (kLowerUnexplainedShare, kLowerLeastGain), measured over the lower
    // note's window (or the longest the ring holds). The lower note is
    // taken, in `lowerMeasured`, when its own fit puts its first partial
    // where the held note's partials do; otherwise its odd partials are
    // still too weak and scattered to place it, and the decision is unsure.
    enum class Octave { kHeld, kLower, kUnsure };
    Octave CheckOctave(SeriesMeasurement& lowerMeasured)
    {
        if (!LowerOctaveInDoubt()) {
            return Octave::kHeld;
        }
        const precise::StiffString lower{held.f0 / 2.0, held.b / 4.0};
        std::size_t length = WindowLengthFor(lower.PartialHz(1));
        while (length > kWindowLengths.front() && length + AdvanceFor(length) > ring.Held()) {
            length /= 2;
        }
        if (length + AdvanceFor(length) > ring.Held()) {
            return Octave::kHeld;
        }
        const std::span<int16_t> frames(scratch.data(), length + AdvanceFor(length));
        ring.CopyLatest(frames);
        spectrum.Analyse(frames, length);
        const SeriesMeasurement mine = MeasureSeries(spectrum, held, TopHz());
        const SeriesMeasurement below = MeasureSeries(spectrum, lower, TopHz());
        const bool explains = below.partialCount > 0 && below.confidence >= kLeastConfidence &&
                              below.confidence >= mine.confidence + kLowerLeastGain &&
                              1.0 - below.confidence < kLowerUnexplainedShare * (1.0 - mine.confidence);
        if (!explains) {
            return Octave::kHeld;
        }
        if (CentsApart(below.firstPartialHz, lower.PartialHz(1)) > kLowerAgreementCents) {
            return Octave::kUnsure;
        }
        lowerMeasured = below;
        return Octave::kLower;
    }

    void Hold(const SeriesMeasurement& measured)
    {
        held.f0 = measured.model.f0;
        if (measured.partialCount >= 3) {
            held.b = measured.model.b;
        }
        heldFirstHz = measured.firstPartialHz;
    }

    void EndNote()
    {
        sounding = false;
        misses = 0;
        disagreements = 0;
        pendingHz = 0.0;
    }
};

LiveTracker::LiveTracker() : state_(std::make_unique<State>()) {}

LiveTracker::~LiveTracker() = default;

void LiveTracker::SetFrequencyCorrection(double factor)
{
    if (std::isfinite(factor) && factor >= 0.9 && factor <= 1.1) {
        correction_ = factor;
    }
}

void LiveTracker::Reset()
{
    State& s = *state_;
    s.ring.Clear();
    s.intervalSum = 0.0;
    s.inInterval = 0;
    s.lastLevel = 0.0;
    s.attackSample = 0;
    s.unsureOctaves = 0;
    s.EndNote();
}

void LiveTracker::Feed(std::span<const int16_t> block, std::vector<LiveReading>& out)
{
    State& s = *state_;
    while (!block.empty()) {
        const std::size_t take = std::min<std::size_t>(block.size(), kReadingInterval - s.inInterval);
        const std::span<const int16_t> part = block.first(take);
        for (const int16_t sample : part) {
            s.intervalSum += static_cast<double>(sample) * sample;
        }
        s.ring.Append(part);
        s.inInterval += static_cast<uint32_t>(take);
        block = block.subspan(take);
        if (s.inInterval == kReadingInterval) {
            out.push_back(Read());
            s.intervalSum = 0.0;
            s.inInterval = 0;
        }
    }
}

LiveReading LiveTracker::Read()
{
    State& s = *state_;
    LiveReading reading;
    reading.timeSeconds = static_cast<double>(s.ring.Appended()) / kLiveSampleRate;

    const double level = s.intervalSum / kReadingInterval;
    const bool attack = level >= kLeastMeanSquare && level > kAttackRise * s.lastLevel;
    s.lastLevel = level;
    if (attack) {
        s.EndNote();
        s.attackSample = s.ring.Appended() - kReadingInterval;
        s.unsureOctaves = 0;
    }
    if (s.sounding && level < kLeastMeanSquare) {
        s.EndNote();
    }
    if (level < kLeastMeanSquare) {
        return reading;
    }

    std::optional<SeriesMeasurement> measured;
    bool started = false;
    if (s.sounding) {
        measured = s.Measure(s.held, s.ring.Held());
        // A held note moves on by less than this from one reading to the
        // next; a reading that leaps counts as the note not heard.
        if (measured && CentsApart(measured->firstPartialHz, s.heldFirstHz) > kSameNoteCents) {
            measured.reset();
        }
        if (++s.sinceCheck >= kCheckEvery) {
            s.sinceCheck = 0;
            const std::optional<SeriesMeasurement> other = s.Search();
            const bool disagrees = other && other->confidence >= kLeastConfidence &&
                                   CentsApart(other->firstPartialHz, s.heldFirstHz) > kSameNoteCents &&
                                   (!measured || other->confidence > measured->confidence - 0.05);
            s.disagreements = disagrees ? s.disagreements + 1 : 0;
            if (s.disagreements >= kDisagreementsToSwitch) {
                s.disagreements = 0;
                measured = other;
                started = true;
            }
        }
        if (!measured || measured->confidence < kKeepConfidence) {
            if (++s.misses >= kMissesToEnd) {
                s.EndNote();
            }
            if (measured) {
                reading.confidence = measured->confidence;
            }
            return reading;
        }
        s.misses = 0;
    } else {
        measured = s.Search();
        if (!measured || measured->confidence < kLeastConfidence) {
            s.pendingHz = 0.0;
            if (measured) {
                reading.confidence = measured->confidence;
            }
            return reading;
        }
        const bool confirmed = s.pendingHz > 0.0 && CentsApart(measured->firstPartialHz, s.pendingHz) <= kSameNoteCents;
        s.pendingHz = measured->firstPartialHz;
        if (!confirmed) {
            reading.confidence = measured->confidence;
            return reading;
        }
        s.sounding = true;
        s.held = measured->model;
        s.sinceCheck = 0;
        s.misses = 0;
        started = true;
    }
    s.Hold(*measured);
    if (started) {
        s.held = measured->model;
        s.octaveSettled = false;
        s.announced = false;
    }
    if (!s.octaveSettled) {
        // Until the octave is settled the note is followed but not reported.
        if (!s.OctaveCheckDue()) {
            reading.confidence = measured->confidence;
            return reading;
        }
        s.octaveSettled = true;
        SeriesMeasurement lower;
        switch (s.CheckOctave(lower)) {
        case State::Octave::kHeld:
            break;
        case State::Octave::kLower:
            measured = lower;
            s.held = lower.model;
            s.Hold(lower);
            break;
        case State::Octave::kUnsure:
            if (++s.unsureOctaves >= kUnsureOctavesBeforeTrust) {
                break;
            }
            // Decided afresh from the next reading on.
            s.EndNote();
            reading.confidence = measured->confidence;
            return reading;
        }
    }

    reading.confidence = measured->confidence;
    const double hz = measured->firstPartialHz * correction_;
    reading.found = measured->confidence >= kLeastConfidence && hz >= precise::kLowestFirstPartialHz &&
                    hz <= precise::kHighestFirstPartialHz;
    if (reading.found) {
        reading.firstPartialHz = hz;
        reading.inharmonicity =
            measured->partialCount >= 3 ? std::clamp(measured->model.b, 0.0, precise::kLargestInharmonicity) : 0.0;
        reading.partialCount = measured->partialCount;
        reading.noteStarted = !s.announced;
        s.announced = true;
    }
    return reading;
}

}  // namespace tonarel::tuner
