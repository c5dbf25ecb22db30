#include "tuner/core/PitchNames.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tonarel::tuning {
namespace {

struct NamedNote {
    const char* name;
    std::optional<int> midi;
};

class NoteNameParsing : public testing::TestWithParam<NamedNote> {};

TEST_P(NoteNameParsing, ReadsSignsBothWaysAndRefusesTheRest) {
    EXPECT_EQ(ParseNoteName(GetParam().name), GetParam().midi) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, NoteNameParsing,
                         testing::Values(NamedNote{"A4", 69}, NamedNote{"a4", 69}, NamedNote{"C4", 60},
                                         NamedNote{"C#4", 61}, NamedNote{"C♯4", 61}, NamedNote{"Db4", 61},
                                         NamedNote{"D♭4", 61}, NamedNote{"Cb4", 59}, NamedNote{"B#3", 60},
                                         NamedNote{"A0", 21}, NamedNote{"C8", 108}, NamedNote{"B-1", 11},
                                         NamedNote{"H4", std::nullopt}, NamedNote{"A", std::nullopt},
                                         NamedNote{"A4 ", std::nullopt}, NamedNote{"A10", std::nullopt},
                                         NamedNote{"C##4", std::nullopt}, NamedNote{"", std::nullopt}));

TEST(NoteNames, RoundTripEveryMidiNoteWithSharps) {
    for (int midi = 0; midi <= 127; ++midi) {
        const std::string name = NoteName(midi);
        EXPECT_EQ(ParseNoteName(name), midi) << name;
    }
    EXPECT_EQ(NoteName(61), "C♯4");
    EXPECT_EQ(NoteName(70), "A♯4");
}

TEST(PitchArithmetic, CentsAndEqualTemperedPitches) {
    EXPECT_NEAR(CentsBetween(442.0, 440.0), 7.851, 0.001);
    EXPECT_DOUBLE_EQ(CentsBetween(440.0, 440.0), 0.0);
    EXPECT_NEAR(EqualTemperedHz(60, 440.0), 261.6256, 0.0001);
    EXPECT_DOUBLE_EQ(EqualTemperedHz(kMidiA4, 415.0), 415.0);
    EXPECT_NEAR(ShiftedByCents(440.0, 1200.0), 880.0, 1e-9);
    EXPECT_EQ(ParsePitchClass("E♭"), 3);
    EXPECT_EQ(TonicName(10), "B♭");
}

}  // namespace
}  // namespace tonarel::tuning
