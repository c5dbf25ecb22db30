#include "tuner/core/TuningSystem.h"

#include <cmath>

#include "tuner/core/PitchNames.h"

namespace tonarel::tuning {

namespace {

int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

std::optional<double> ReferencePitchFromUser(double hz)
{
    const double rounded = std::round(hz * 100.0) / 100.0;
    if (!(rounded >= kLowestReferenceHz && rounded <= kHighestReferenceHz)) {
        return std::nullopt;
    }
    return rounded;
}

TuningSystem::TuningSystem() : TuningSystem(kDefaultReferenceHz, BuiltInTemperaments().front(), 0) {}

TuningSystem::TuningSystem(double referenceHz, const Temperament& temperament, int tonicPitchClass)
    : referenceHz_(referenceHz), tonic_(((tonicPitchClass % 12) + 12) % 12),
      degrees_(temperament.centsFromTonic.begin(), temperament.centsFromTonic.end())
{
}

TuningSystem::TuningSystem(double referenceHz, const ScalaScale& scale, int tonicPitchClass, std::string scaleName)
    : referenceHz_(referenceHz), tonic_(((tonicPitchClass % 12) + 12) % 12), scaleName_(std::move(scaleName))
{
    degrees_.push_back(0);
    for (std::size_t i = 0; i + 1 < scale.degreeCents.size(); ++i) {
        degrees_.push_back(scale.degreeCents[i]);
    }
    period_ = scale.degreeCents.empty() ? 1200 : scale.degreeCents.back();
    twelveNote_ = degrees_.size() == 12 && std::abs(period_ - 1200) < 1e-9;
}

double TuningSystem::CentsOf(int index) const
{
    const int n = static_cast<int>(degrees_.size());
    if (twelveNote_) {
        const int fromTonic = index - (60 + tonic_);
        const int octave = FloorDiv(fromTonic, 12);
        const double cents = degrees_[static_cast<std::size_t>(fromTonic - octave * 12)] + 1200.0 * octave;
        const int fromTonicA4 = kMidiA4 - (60 + tonic_);
        const int octaveA4 = FloorDiv(fromTonicA4, 12);
        const double centsA4 = degrees_[static_cast<std::size_t>(fromTonicA4 - octaveA4 * 12)] + 1200.0 * octaveA4;
        double offset = 0;
        if (keyOffsets_ && index >= 21 && index <= 108) {
            offset = (*keyOffsets_)[static_cast<std::size_t>(index - 21)];
        }
        return cents - centsA4 + offset;  // from A4
    }
    const int octave = FloorDiv(index, n);
    const double cents = degrees_[static_cast<std::size_t>(index - octave * n)] + period_ * octave;
    return cents + CentsBetween(EqualTemperedHz(60 + tonic_, referenceHz_), referenceHz_);
}

TuningSystem::Note TuningSystem::NoteAt(int index) const
{
    Note note;
    note.index = index;
    note.targetHz = ShiftedByCents(referenceHz_, CentsOf(index));
    if (twelveNote_) {
        note.name = NoteName(index);
    } else {
        const int n = static_cast<int>(degrees_.size());
        const int octave = FloorDiv(index, n);
        note.name = std::to_string(index - octave * n) + "/" + std::to_string(n) + (octave < 0 ? " " : " +") +
                    std::to_string(octave);
    }
    return note;
}

TuningSystem::Reading TuningSystem::Nearest(double hz) const
{
    const double fromA4 = CentsBetween(hz, referenceHz_);
    const int n = static_cast<int>(degrees_.size());
    int guess = 0;
    if (twelveNote_) {
        guess = kMidiA4 + static_cast<int>(std::lround(fromA4 / 100.0));
    } else {
        guess = static_cast<int>(std::lround((fromA4 - CentsOf(0)) / period_ * n));
    }
    Reading best;
    bool first = true;
    for (int index = guess - n; index <= guess + n; ++index) {
        const Note note = NoteAt(index);
        const double cents = CentsBetween(hz, note.targetHz);
        if (first || std::abs(cents) < std::abs(best.cents)) {
            best = Reading{note, cents};
            first = false;
        }
    }
    return best;
}

void TuningSystem::SetKeyOffsets(std::array<double, 88> centsByPianoKey)
{
    keyOffsets_ = centsByPianoKey;
}

void TuningSystem::ClearKeyOffsets()
{
    keyOffsets_.reset();
}

}  // namespace tonarel::tuning
