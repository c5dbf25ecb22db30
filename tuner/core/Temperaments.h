#pragma once
// The temperaments the tuner offers out of the box, each as twelve pitches in
// cents above the tonic (C, C♯, D, E♭, E, F, F♯, G, G♯, A, B♭, B when the tonic
// is C). Where a temperament has a rule (pure or tempered fifths, just
// ratios), the table is computed from the rule rather than typed in, so it
// carries the rule's full precision.

#include <array>
#include <span>
#include <string_view>

namespace tonarel::tuning {

struct Temperament {
    std::string_view chineseName;  ///< as the 律制 list shows it, e.g. "五度相生律"
    std::string_view commandName;  ///< as tonarel-analyze's --temperament takes it, e.g. "pythagorean"
    /// Cents of each pitch class above the tonic, index 0 = the tonic (always
    /// 0), index 9 = the sixth (A when the tonic is C). Each in [0, 1200).
    std::array<double, 12> centsFromTonic;
};

/// The nine temperaments in the order the 律制 list offers them:
/// 十二平均律 (equal, the default), 五度相生律 (pythagorean), 纯律 (just),
/// 1/4 音差中庸全音律 (meantone-1/4), 1/6 音差中庸全音律 (meantone-1/6),
/// Werckmeister III (werckmeister3), Kirnberger III (kirnberger3),
/// Vallotti (vallotti), Young II (young2). The storage lives for the whole
/// program; the first call computes it (safe from any thread).
/// Example: BuiltInTemperaments()[6].centsFromTonic[4] is 386.314 (Kirnberger
/// III's pure major third).
std::span<const Temperament> BuiltInTemperaments();

/// The built-in temperament of that command name (exact, case matters), or
/// null. Example: FindTemperament("werckmeister3")->chineseName is
/// "Werckmeister III"; FindTemperament("Equal") is null.
const Temperament* FindTemperament(std::string_view commandName);

/// The temperament every tuning system starts with: 十二平均律 (the first
/// of BuiltInTemperaments()).
const Temperament& DefaultTemperament();

}  // namespace tonarel::tuning
