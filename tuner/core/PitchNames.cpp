#include "tuner/core/PitchNames.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tonarel::tuning {

namespace {

constexpr std::array<std::string_view, 12> kSharpNames = {
    "C", "C♯", "D", "D♯", "E", "F", "F♯", "G", "G♯", "A", "A♯", "B"};
constexpr std::array<std::string_view, 12> kTonicNames = {
    "C", "C♯", "D", "E♭", "E", "F", "F♯", "G", "G♯", "A", "B♭", "B"};

int Wrapped(int pitchClass) { return ((pitchClass % 12) + 12) % 12; }

// The letter's pitch class and how many bytes of `name` the letter and its
// sign took; nothing when the name does not start with one.
std::optional<std::pair<int, std::size_t>> LeadingPitchClass(std::string_view name) {
    if (name.empty()) return std::nullopt;
    static constexpr std::array<int, 7> kLetterClass = {9, 11, 0, 2, 4, 5, 7};  // A..G
    const char letter = name[0];
    int pitchClass = 0;
    if (letter >= 'A' && letter <= 'G') {
        pitchClass = kLetterClass[static_cast<std::size_t>(letter - 'A')];
    } else if (letter >= 'a' && letter <= 'g') {
        pitchClass = kLetterClass[static_cast<std::size_t>(letter - 'a')];
    } else {
        return std::nullopt;
    }
    const std::string_view rest = name.substr(1);
    if (rest.starts_with("#")) return std::pair{Wrapped(pitchClass + 1), std::size_t{2}};
    if (rest.starts_with("♯")) return std::pair{Wrapped(pitchClass + 1), 1 + std::string_view("♯").size()};
    if (rest.starts_with("b")) return std::pair{Wrapped(pitchClass - 1), std::size_t{2}};
    if (rest.starts_with("♭")) return std::pair{Wrapped(pitchClass - 1), 1 + std::string_view("♭").size()};
    return std::pair{pitchClass, std::size_t{1}};
}

}  // namespace

double CentsBetween(double hz, double referenceHz) { return 1200.0 * std::log2(hz / referenceHz); }

double ShiftedByCents(double hz, double cents) { return hz * std::exp2(cents / 1200.0); }

double EqualTemperedHz(int midi, double referenceHz) {
    return referenceHz * std::exp2(static_cast<double>(midi - kMidiA4) / 12.0);
}

std::string_view SharpPitchClassName(int pitchClass) {
    return kSharpNames[static_cast<std::size_t>(Wrapped(pitchClass))];
}

std::string_view TonicName(int pitchClass) { return kTonicNames[static_cast<std::size_t>(Wrapped(pitchClass))]; }

std::string NoteName(int midi) {
    // Floor division: MIDI 0..11 is octave -1.
    const int octave = (midi >= 0 ? midi / 12 : (midi - 11) / 12) - 1;
    return std::string(SharpPitchClassName(midi)) + std::to_string(octave);
}

std::optional<int> ParsePitchClass(std::string_view name) {
    const auto leading = LeadingPitchClass(name);
    if (!leading || leading->second != name.size()) return std::nullopt;
    return leading->first;
}

std::optional<int> ParseNoteName(std::string_view name) {
    const auto leading = LeadingPitchClass(name);
    if (!leading) return std::nullopt;
    // The letter's own octave: "Cb4" is B3 and "B#3" is C4, as the names say.
    const char letter = static_cast<char>(name[0] & ~0x20);
    const int letterClass = *ParsePitchClass(std::string_view(&letter, 1));
    const int shift = leading->first - letterClass;
    const int signStep = shift > 6 ? shift - 12 : (shift < -6 ? shift + 12 : shift);
    const std::string_view octaveText = name.substr(leading->second);
    int octave = 0;
    const auto [end, error] = std::from_chars(octaveText.data(), octaveText.data() + octaveText.size(), octave);
    if (octaveText.empty() || error != std::errc{} || end != octaveText.data() + octaveText.size()) return std::nullopt;
    if (octave < -1 || octave > 9) return std::nullopt;
    return (octave + 1) * 12 + letterClass + signStep;
}

}  // namespace tonarel::tuning
