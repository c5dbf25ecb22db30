#pragma once
// The arithmetic of pitch that every tuning system, window and tool shares:
// real cents between two frequencies, equal-tempered pitches on a reference,
// and note names in scientific pitch notation (C4 = middle C = MIDI note 60,
// A4 = MIDI note 69). Nothing else in the program computes cents; the tuning
// systems (tuner/core/TuningSystem.h) build their targets on these.

#include <optional>
#include <string>
#include <string_view>

namespace tonarel::tuning {

/// MIDI number of A4, the note the reference pitch names.
inline constexpr int kMidiA4 = 69;

/// Piano keys are numbered 1 (A0, MIDI 21) to 88 (C8, MIDI 108).
inline constexpr int kFirstPianoKey = 1;
inline constexpr int kLastPianoKey = 88;
inline constexpr int kPianoKeyToMidi = 20;

/// Real cents from `referenceHz` to `hz`: 1200 log2(hz / referenceHz).
/// Both must be positive; 0 when they are equal. Example: 442 Hz from
/// 440 Hz is +7.85 cents.
double CentsBetween(double hz, double referenceHz);

/// `hz` moved by `cents`: hz x 2^(cents / 1200).
double ShiftedByCents(double hz, double cents);

/// The equal-tempered pitch of MIDI note `midi` with A4 at `referenceHz`:
/// referenceHz x 2^((midi - 69) / 12). Example: midi 60 on 440 Hz is
/// 261.6256 Hz.
double EqualTemperedHz(int midi, double referenceHz);

/// The twelve pitch classes from C (0) to B (11), as the note names write
/// them: sharps only, with the sign ♯ ("C", "C♯", "D", "D♯", ... "B").
std::string_view SharpPitchClassName(int pitchClass);

/// The twelve pitch classes as a tonic is offered to the user: C, C♯, D, E♭,
/// E, F, F♯, G, G♯, A, B♭, B.
std::string_view TonicName(int pitchClass);

/// The name of MIDI note `midi` in scientific pitch notation with sharps:
/// 69 -> "A4", 61 -> "C♯4", 21 -> "A0", 11 -> "B-1".
std::string NoteName(int midi);

/// A pitch class from its name: a letter A-G (either case), then at most one
/// sign: "#" or "♯" raises, "b" or "♭" lowers ("Cb" is B, "B#" is C).
/// Nothing for anything else, surrounding blanks included.
std::optional<int> ParsePitchClass(std::string_view name);

/// A MIDI note from a name with an octave: "A4", "C#4", "C♯4", "Db4",
/// "D♭4", "B-1". Octaves -1 to 9; nothing for anything else.
std::optional<int> ParseNoteName(std::string_view name);

}  // namespace tonarel::tuning
