#pragma once
// One place that turns frequencies into notes of a tuning system: a reference
// pitch, a temperament or Scala scale, and a tonic.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "tuner/core/ScalaScale.h"
#include "tuner/core/Temperaments.h"

namespace tonarel::tuning {

inline constexpr double kDefaultReferenceHz = 440.0, kLowestReferenceHz = 400.0, kHighestReferenceHz = 480.0;

/// `hz` rounded to 0.01 Hz; nothing outside 400..480.
std::optional<double> ReferencePitchFromUser(double hz);

class TuningSystem {
public:
    /// 440 Hz, equal temperament, tonic C.
    TuningSystem();
    TuningSystem(double referenceHz, const Temperament& temperament, int tonicPitchClass);
    TuningSystem(double referenceHz, const ScalaScale& scale, int tonicPitchClass, std::string scaleName);

    double ReferenceHz() const { return referenceHz_; }

    struct Note {
        std::string name;
        double targetHz = 0;
        int index = 0;
    };
    struct Reading {
        Note note;
        double cents = 0;
    };

    /// hz > 0.
    Reading Nearest(double hz) const;
    Note NoteAt(int index) const;

    void SetKeyOffsets(std::array<double, 88> centsByPianoKey);
    void ClearKeyOffsets();

private:
    double CentsOf(int index) const;

    double referenceHz_ = kDefaultReferenceHz;
    int tonic_ = 0;
    std::vector<double> degrees_;  ///< cents of degrees 0..n-1 (degree 0 is 0)
    double period_ = 1200;
    bool twelveNote_ = true;
    std::string scaleName_;
    std::optional<std::array<double, 88>> keyOffsets_;
};

}  // namespace tonarel::tuning
