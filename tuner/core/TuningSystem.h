#pragma once
// A tuning system: which pitches count as in tune, what they are called, and
// how far a frequency lies from the nearest of them. It is the one place that
// turns a frequency into a note, a name and cents; windows and tools ask it.
//
// Placing the pitches:
//   - A 12-note system (a built-in temperament, or a Scala scale of 12
//     pitches whose period is exactly 1200 cents, 2/1) lays its table on the chosen tonic: the
//     tonic takes C's part, so with the tonic D the table's "E" (its second
//     entry above the tonic) lands on E. Every tonic in every octave sits at
//     its equal-tempered pitch first; then the whole scale is shifted so that
//     A4 is exactly the reference pitch. Notes are MIDI numbers (A4 = 69)
//     named in scientific pitch notation with sharps ("C♯5").
//   - Any other Scala scale puts degree 0 on the tonic's equal-tempered pitch
//     on the reference in octave 4 (the tonic A: the reference itself; the
//     tonic C: 261.63 Hz on 440 Hz). Its notes are numbered from there,
//     index = period x n + degree with the degree in 0..n-1, so index -1 is
//     the last degree one period down. A note is named "degree/n period" with
//     the period always signed: "0/19 +0" is degree 0 itself, "7/19 +1" is
//     degree 7 one period up, "18/19 -1" the note just below degree 0.
//
// A piano's stretch (SetKeyOffsets) moves the 88 keys' targets of a 12-note
// system by the given cents; nearest notes are then found from the stretched
// targets. Other scales have no keys and ignore it.
//
// A value type: copies share the laid-out scale and cost a few hundred bytes.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tuner/core/ScalaScale.h"
#include "tuner/core/Temperaments.h"

namespace tonarel::tuning {

inline constexpr double kDefaultReferenceHz = 440.0;
inline constexpr double kLowestReferenceHz = 400.0;
inline constexpr double kHighestReferenceHz = 480.0;

/// A reference pitch (A4) as the user gave it: rounded to 0.01 Hz, then
/// nothing when outside 400.00..480.00 Hz or not a number.
/// Example: 442.004 -> 442.00; 399.996 -> 400.00; 380 -> nothing.
std::optional<double> ReferencePitchFromUser(double hz);

/// The largest note index, either way, that a tuning system names (2^30).
inline constexpr int kLargestNoteIndex = 1 << 30;

class TuningSystem {
public:
    /// 440 Hz, 十二平均律, tonic C.
    TuningSystem();
    /// `referenceHz` is taken as ReferencePitchFromUser would, a value outside
    /// the range held at its nearer end (a NaN gives 440 Hz); `tonicPitchClass`
    /// 0 = C .. 11 = B, others wrapped (12 is C, -1 is B).
    TuningSystem(double referenceHz, const Temperament& temperament, int tonicPitchClass);
    /// A Scala scale (as ParseScala gives it: at least one degree, all finite,
    /// the period above 0; a scale that is not is laid out as 十二平均律)
    /// named `scaleName` (e.g. its file name) in the 律制 list.
    TuningSystem(double referenceHz, const ScalaScale& scale, int tonicPitchClass, std::string scaleName);

    double ReferenceHz() const { return referenceHz_; }
    int TonicPitchClass() const { return tonic_; }
    /// The temperament's Chinese name or the scale's name.
    const std::string& Name() const { return layout_->name; }
    /// Whether notes are MIDI numbers with note names (12 notes to a 2/1 period).
    bool HasTwelveNotes() const { return layout_->departures.has_value(); }

    struct Note {
        std::string name;  ///< "A4", "C♯5", or "7/19 +1" for other scales
        double targetHz;   ///< where the note is in tune, stretch included
        int index;         ///< MIDI number, or the note's number from degree 0 (see above)
    };
    struct Reading {
        Note note;
        double cents;  ///< 1200 log2(hz / note.targetHz), real cents, + sharp
    };

    /// The note nearest to `hz` in cents, and the deviation from it. `hz` must
    /// be positive and finite; anything else gives the note at index 69 (or
    /// degree 0) with cents NaN. Ties go to the lower note. Notes are sought
    /// within ±kLargestNoteIndex (only a scale with a period of a tiny
    /// fraction of a cent reaches that end). Example: on 440 Hz, equal:
    /// Nearest(442) is {{"A4", 440.0, 69}, +7.85}.
    Reading Nearest(double hz) const;

    /// The note of `index` (a MIDI number for 12-note systems; see above for
    /// other scales), held within ±kLargestNoteIndex. Example: 60 on 440 Hz,
    /// equal is {"C4", 261.6256, 60}.
    Note NoteAt(int index) const;

    /// A piano's stretch: `centsByPianoKey[k]` is added to the target of
    /// piano key k + 1 (MIDI 21 + k). Values that are not finite count as 0;
    /// others are held within ±1200 cents.
    void SetKeyOffsets(const std::array<double, 88>& centsByPianoKey);
    void ClearKeyOffsets();

private:
    // What the constructor laid out, shared between copies.
    struct Layout {
        std::string name;
        // 12-note systems: each pitch class's departure from equal
        // temperament in cents, A's being 0.
        std::optional<std::array<double, 12>> departures;
        // Other scales: degree 0 (0 cents) and degrees 1..n-1 in cents, the
        // period, and degree 0's frequency.
        std::vector<double> degreeCents;
        double periodCents = 1200.0;
        double degreeZeroHz = 0.0;
    };

    double Departure(int midi) const;
    Note TwelveNoteAt(int midi) const;
    Note ScaleNoteAt(int index) const;
    int NearestTwelveNote(double hz) const;
    int NearestScaleNote(double hz) const;

    double referenceHz_ = kDefaultReferenceHz;
    int tonic_ = 0;
    std::shared_ptr<const Layout> layout_;
    std::optional<std::array<double, 88>> keyOffsets_;
};

}  // namespace tonarel::tuning
