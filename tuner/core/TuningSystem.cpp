#include "tuner/core/TuningSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "tuner/core/PitchNames.h"

namespace tonarel::tuning {
namespace {

constexpr int kPitchClassA = 9;
constexpr int kMiddleC = 60;
constexpr double kLargestKeyOffset = 1200.0;

int Wrapped(int pitchClass) { return ((pitchClass % 12) + 12) % 12; }

double HeldReference(double hz)
{
    if (std::isnan(hz)) {
        return kDefaultReferenceHz;
    }
    return std::clamp(std::round(hz * 100.0) / 100.0, kLowestReferenceHz, kHighestReferenceHz);
}

// Departures from equal temperament of each pitch class when `centsFromTonic`
// is laid on `tonic`, shifted so that A's is 0.
std::array<double, 12> Departures(const std::array<double, 12>& centsFromTonic, int tonic)
{
    const auto fromTonic = [&](int pitchClass) {
        const int step = Wrapped(pitchClass - tonic);
        return centsFromTonic[static_cast<std::size_t>(step)] - 100.0 * step;
    };
    const double departureOfA = fromTonic(kPitchClassA);
    std::array<double, 12> departures{};
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
        departures[static_cast<std::size_t>(pitchClass)] = fromTonic(pitchClass) - departureOfA;
    }
    return departures;
}

bool IsUsableScale(const ScalaScale& scale)
{
    return !scale.degreeCents.empty() && scale.PeriodCents() > 0.0 &&
           std::all_of(scale.degreeCents.begin(), scale.degreeCents.end(),
                       [](double cents) { return std::isfinite(cents); });
}

int64_t FloorDivision(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

}  // namespace

std::optional<double> ReferencePitchFromUser(double hz)
{
    if (!std::isfinite(hz)) {
        return std::nullopt;
    }
    const double rounded = std::round(hz * 100.0) / 100.0;
    if (rounded < kLowestReferenceHz || rounded > kHighestReferenceHz) {
        return std::nullopt;
    }
    return rounded;
}

TuningSystem::TuningSystem() : TuningSystem(kDefaultReferenceHz, DefaultTemperament(), 0) {}

TuningSystem::TuningSystem(double referenceHz, const Temperament& temperament, int tonicPitchClass)
    : referenceHz_(HeldReference(referenceHz)), tonic_(Wrapped(tonicPitchClass))
{
    auto layout = std::make_shared<Layout>();
    layout->name = std::string(temperament.chineseName);
    layout->departures = Departures(temperament.centsFromTonic, tonic_);
    layout_ = std::move(layout);
}

TuningSystem::TuningSystem(double referenceHz, const ScalaScale& scale, int tonicPitchClass, std::string scaleName)
    : referenceHz_(HeldReference(referenceHz)), tonic_(Wrapped(tonicPitchClass))
{
    auto layout = std::make_shared<Layout>();
    layout->name = std::move(scaleName);
    if (!IsUsableScale(scale)) {
        layout->departures = Departures(DefaultTemperament().centsFromTonic, tonic_);
    } else if (scale.NotesPerPeriod() == 12 && scale.PeriodCents() == 1200.0) {
        // An octave of twelve: laid out like a temperament, under note names.
        std::array<double, 12> centsFromTonic{};
        std::copy(scale.degreeCents.begin(), scale.degreeCents.end() - 1, centsFromTonic.begin() + 1);
        layout->departures = Departures(centsFromTonic, tonic_);
    } else {
        layout->degreeCents.reserve(scale.NotesPerPeriod());
        layout->degreeCents.push_back(0.0);
        layout->degreeCents.insert(layout->degreeCents.end(), scale.degreeCents.begin(),
                                   scale.degreeCents.end() - 1);
        layout->periodCents = scale.PeriodCents();
        layout->degreeZeroHz = EqualTemperedHz(kMiddleC + tonic_, referenceHz_);
    }
    layout_ = std::move(layout);
}

void TuningSystem::SetKeyOffsets(const std::array<double, 88>& centsByPianoKey)
{
    std::array<double, 88> offsets{};
    for (std::size_t key = 0; key < offsets.size(); ++key) {
        const double cents = centsByPianoKey[key];
        offsets[key] = std::isfinite(cents) ? std::clamp(cents, -kLargestKeyOffset, kLargestKeyOffset) : 0.0;
    }
    keyOffsets_ = offsets;
}

void TuningSystem::ClearKeyOffsets() { keyOffsets_.reset(); }

double TuningSystem::Departure(int midi) const
{
    double departure = (*layout_->departures)[static_cast<std::size_t>(Wrapped(midi))];
    const int key = midi - kPianoKeyToMidi;
    if (keyOffsets_ && key >= kFirstPianoKey && key <= kLastPianoKey) {
        departure += (*keyOffsets_)[static_cast<std::size_t>(key - kFirstPianoKey)];
    }
    return departure;
}

TuningSystem::Note TuningSystem::TwelveNoteAt(int midi) const
{
    // One shift from A4: a scale may move a note so far that its
    // equal-tempered place alone would leave the range of a double.
    return {NoteName(midi), ShiftedByCents(referenceHz_, 100.0 * (midi - kMidiA4) + Departure(midi)), midi};
}

TuningSystem::Note TuningSystem::ScaleNoteAt(int index) const
{
    const auto notesPerPeriod = static_cast<int64_t>(layout_->degreeCents.size());
    const int64_t period = FloorDivision(index, notesPerPeriod);
    const int64_t degree = index - period * notesPerPeriod;
    const double cents =
        layout_->degreeCents[static_cast<std::size_t>(degree)] + static_cast<double>(period) * layout_->periodCents;
    std::string name = std::to_string(degree) + "/" + std::to_string(notesPerPeriod) + (period < 0 ? " -" : " +") +
                       std::to_string(period < 0 ? -period : period);
    return {std::move(name), ShiftedByCents(layout_->degreeZeroHz, cents), index};
}

TuningSystem::Note TuningSystem::NoteAt(int index) const
{
    index = std::clamp(index, -kLargestNoteIndex, kLargestNoteIndex);
    return HasTwelveNotes() ? TwelveNoteAt(index) : ScaleNoteAt(index);
}

int TuningSystem::NearestTwelveNote(double hz) const
{
    // Each pitch class's nearest octave without a key offset; an offset of at
    // most 1200 cents can only make a note up to three octaves from it nearer.
    const double centsFromA4 = CentsBetween(hz, referenceHz_);
    constexpr int kOctavesAround = 3;
    int64_t nearest = 0;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int pitchClass = 0; pitchClass < 12; ++pitchClass) {
        const double departure = (*layout_->departures)[static_cast<std::size_t>(pitchClass)];
        const double octaves = std::clamp(
            std::round((centsFromA4 - departure - 100.0 * (pitchClass - kMidiA4)) / 1200.0),
            static_cast<double>(-kLargestNoteIndex / 12), static_cast<double>(kLargestNoteIndex / 12));
        const int64_t first = static_cast<int64_t>(octaves) * 12 + pitchClass - 12 * kOctavesAround;
        for (int64_t midi = first; midi <= first + 24 * kOctavesAround; midi += 12) {
            if (midi < -kLargestNoteIndex || midi > kLargestNoteIndex) {
                continue;
            }
            const int note = static_cast<int>(midi);
            const double distance = std::abs(centsFromA4 - (100.0 * (note - kMidiA4) + Departure(note)));
            if (distance < nearestDistance || (distance == nearestDistance && midi < nearest)) {
                nearest = midi;
                nearestDistance = distance;
            }
        }
    }
    return static_cast<int>(nearest);
}

int TuningSystem::NearestScaleNote(double hz) const
{
    const double centsFromDegreeZero = CentsBetween(hz, layout_->degreeZeroHz);
    const double period = layout_->periodCents;
    const auto notesPerPeriod = static_cast<int64_t>(layout_->degreeCents.size());
    // The periods whose every degree has an index within the limit.
    const int64_t lastPeriod = std::max<int64_t>(kLargestNoteIndex / notesPerPeriod - 1, 0);
    int64_t nearest = 0;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (int64_t degree = 0; degree < notesPerPeriod; ++degree) {
        const double degreeCents = layout_->degreeCents[static_cast<std::size_t>(degree)];
        const double periods = std::clamp(std::round((centsFromDegreeZero - degreeCents) / period),
                                          static_cast<double>(-lastPeriod), static_cast<double>(lastPeriod));
        const double distance = std::abs(centsFromDegreeZero - degreeCents - periods * period);
        const int64_t index = static_cast<int64_t>(periods) * notesPerPeriod + degree;
        if (distance < nearestDistance || (distance == nearestDistance && index < nearest)) {
            nearest = index;
            nearestDistance = distance;
        }
    }
    return static_cast<int>(nearest);
}

TuningSystem::Reading TuningSystem::Nearest(double hz) const
{
    if (!(hz > 0.0) || !std::isfinite(hz)) {
        return {NoteAt(HasTwelveNotes() ? kMidiA4 : 0), std::numeric_limits<double>::quiet_NaN()};
    }
    Note note = NoteAt(HasTwelveNotes() ? NearestTwelveNote(hz) : NearestScaleNote(hz));
    const double cents = CentsBetween(hz, note.targetHz);
    return {std::move(note), cents};
}

}  // namespace tonarel::tuning
