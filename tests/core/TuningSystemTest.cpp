#include "tuner/core/TuningSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "tuner/core/PitchNames.h"

namespace tonarel::tuning {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

ScalaScale Scale(const std::string& text)
{
    return std::get<ScalaScale>(ParseScala(text));
}

// The 5-limit just scale as a file: an octave of twelve, laid out by note names.
const ScalaScale kJustScale =
    Scale("Just\n12\n16/15\n9/8\n6/5\n5/4\n4/3\n45/32\n3/2\n8/5\n5/3\n9/5\n15/8\n2/1\n");
const ScalaScale kNineteenEqual = [] {
    std::string text = "19-EDO\n19\n";
    for (int step = 1; step <= 19; ++step) {
        text += std::to_string(step * 1200.0 / 19.0) + "\n";
    }
    return Scale(text);
}();
const ScalaScale kBohlenPierce =
    Scale("BP\n13\n27/25\n25/21\n9/7\n7/5\n75/49\n5/3\n9/5\n49/25\n15/7\n7/3\n63/25\n25/9\n3/1\n");

TEST(ReferencePitch, RoundedToAHundredthAndHeldToItsRange) {
    const struct {
        double given;
        std::optional<double> taken;
    } kCases[] = {{440.0, 440.0}, {442.004, 442.0}, {415.005, 415.01}, {399.996, 400.0}, {480.004, 480.0},
                  {399.99, std::nullopt}, {480.01, std::nullopt}, {kNaN, std::nullopt}, {kInfinity, std::nullopt}};
    for (const auto& c : kCases) {
        EXPECT_EQ(ReferencePitchFromUser(c.given), c.taken) << c.given;
    }
    EXPECT_EQ(TuningSystem(500.0, DefaultTemperament(), 0).ReferenceHz(), 480.0);
    EXPECT_EQ(TuningSystem(kNaN, DefaultTemperament(), 0).ReferenceHz(), 440.0);
}

TEST(TuningSystems, PutA4ExactlyOnTheReferenceInEverySystemAndTonic) {
    for (const double reference : {400.0, 415.0, 440.0, 442.5, 480.0}) {
        for (int tonic = 0; tonic < 12; ++tonic) {
            std::vector<TuningSystem> systems{TuningSystem(reference, kJustScale, tonic, "just.scl")};
            for (const Temperament& temperament : BuiltInTemperaments()) {
                systems.emplace_back(reference, temperament, tonic);
            }
            for (const TuningSystem& system : systems) {
                const TuningSystem::Reading reading = system.Nearest(reference);
                EXPECT_EQ(reading.note.name, "A4") << system.Name() << " tonic " << tonic;
                EXPECT_EQ(reading.note.index, kMidiA4);
                EXPECT_EQ(reading.note.targetHz, reference) << system.Name() << " tonic " << tonic;
                EXPECT_EQ(reading.cents, 0.0);
            }
        }
    }
}

struct ExpectedReading {
    const char* what;
    TuningSystem system;
    double hz;
    std::string name;
    int index;
    double targetHz;
    double cents;

    friend void PrintTo(const ExpectedReading& reading, std::ostream* out) { *out << reading.what; }
};

class Readings : public testing::TestWithParam<ExpectedReading> {};

TEST_P(Readings, NameTheNearestNoteItsTargetAndRealCents) {
    const TuningSystem::Reading reading = GetParam().system.Nearest(GetParam().hz);
    EXPECT_EQ(reading.note.name, GetParam().name);
    EXPECT_EQ(reading.note.index, GetParam().index);
    EXPECT_NEAR(reading.note.targetHz, GetParam().targetHz, 0.001);
    EXPECT_NEAR(reading.cents, GetParam().cents, 0.001);
    const TuningSystem::Note same = GetParam().system.NoteAt(reading.note.index);
    EXPECT_EQ(same.name, reading.note.name);
    EXPECT_EQ(same.targetHz, reading.note.targetHz);
}

const Temperament& Named(const char* commandName) { return *FindTemperament(commandName); }

INSTANTIATE_TEST_SUITE_P(
    Systems, Readings,
    testing::Values(
        ExpectedReading{"ViolinAt442OnEqual440", TuningSystem(), 442.0, "A4", 69, 440.0, 7.851},
        ExpectedReading{"SharpNamesWithTheSign", TuningSystem(), 466.0, "A♯4", 70, 466.164, -0.608},
        ExpectedReading{"LowestPianoKey", TuningSystem(), 27.6, "A0", 21, 27.5, 6.284},
        ExpectedReading{"WerckmeisterAt415C4", TuningSystem(415.0, Named("werckmeister3"), 0), 248.44, "C4", 60,
                        248.438, 0.013},
        ExpectedReading{"WerckmeisterAt415E4", TuningSystem(415.0, Named("werckmeister3"), 0), 311.25, "E4", 64,
                        311.250, 0.0},
        // With the tonic D, the table's pure third lands on F♯, a fifth of
        // 696.578 cents below A.
        ExpectedReading{"KirnbergerOnDTransposes", TuningSystem(440.0, Named("kirnberger3"), 2), 367.807, "F♯4", 66,
                        367.807, 0.0},
        // 55 cents below A4 is nearer G♯4 in equal temperament, but nearer A4
        // in 1/4-comma meantone on C, whose G♯ is 117 cents below A.
        ExpectedReading{"MeantoneDeparturesDecideTheNearest", TuningSystem(440.0, Named("meantone-1/4"), 0), 426.24,
                        "A4", 69, 440.0, -55.005},
        // Twelve pitches to the octave from a file are note names too: just E4
        // is 5/4 above C4, which is 3/5 of A4.
        ExpectedReading{"TwelveNoteScalaScaleByNoteNames", TuningSystem(440.0, kJustScale, 0, "just.scl"), 330.0,
                        "E4", 64, 330.0, 0.0},
        ExpectedReading{"NineteenEqualDegreeZeroOnTheTonic", TuningSystem(440.0, kNineteenEqual, 0, "19.scl"),
                        261.6256, "0/19 +0", 0, 261.626, 0.0},
        ExpectedReading{"NineteenEqualOnePeriodUp", TuningSystem(440.0, kNineteenEqual, 0, "19.scl"), 675.4854,
                        "7/19 +1", 26, 675.485, 0.0},
        ExpectedReading{"NineteenEqualBelowDegreeZero", TuningSystem(440.0, kNineteenEqual, 0, "19.scl"), 252.0,
                        "18/19 -1", -1, 252.253, -1.737},
        ExpectedReading{"BohlenPierceRepeatsAtTheTritave", TuningSystem(440.0, kBohlenPierce, 9, "bp.scl"), 1320.0,
                        "0/13 +1", 13, 1320.0, 0.0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(KeyOffsets, StretchTheTargetsTheNearestNoteIsMeasuredFrom) {
    TuningSystem system;
    std::array<double, 88> stretch{};
    stretch[86] = 60.0;  // B7 (key 87, MIDI 107)
    stretch[87] = 30.0;  // C8 (key 88)
    stretch[0] = kNaN;    // counts as 0
    system.SetKeyOffsets(stretch);

    const double c8 = EqualTemperedHz(108, 440.0);
    EXPECT_NEAR(system.NoteAt(108).targetHz, ShiftedByCents(c8, 30.0), 1e-9);
    EXPECT_NEAR(system.Nearest(c8).cents, -30.0, 1e-9);
    // 40 cents below C8 is nearer C8 unstretched, but is the stretched B7.
    const double belowC8 = ShiftedByCents(c8, -40.0);
    EXPECT_EQ(system.Nearest(belowC8).note.name, "B7");
    EXPECT_NEAR(system.Nearest(belowC8).cents, 0.0, 1e-9);
    EXPECT_EQ(system.NoteAt(21).targetHz, 27.5);
    EXPECT_EQ(system.Nearest(440.0).note.targetHz, 440.0);

    system.ClearKeyOffsets();
    EXPECT_EQ(system.Nearest(belowC8).note.name, "C8");
    EXPECT_NEAR(system.Nearest(belowC8).cents, -40.0, 1e-9);
}

TEST(TuningSystems, NoFrequencyNoNote) {
    for (const double hz : {0.0, -440.0, kNaN, kInfinity}) {
        const TuningSystem::Reading reading = TuningSystem().Nearest(hz);
        EXPECT_EQ(reading.note.name, "A4");
        EXPECT_TRUE(std::isnan(reading.cents));
    }
}

}  // namespace
}  // namespace tonarel::tuning
