#include "tuner/core/Temperaments.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

namespace tonarel::tuning {
namespace {

// Published tables in cents from C (C, C♯, D, E♭, E, F, F♯, G, G♯, A, B♭, B),
// rounded to 0.001 cent.
struct PublishedTable {
    std::string_view commandName;
    std::array<double, 12> cents;

    friend void PrintTo(const PublishedTable& table, std::ostream* out) { *out << table.commandName; }
};

class PublishedTemperaments : public testing::TestWithParam<PublishedTable> {};

TEST_P(PublishedTemperaments, MatchToAThousandthOfACent) {
    const Temperament* temperament = FindTemperament(GetParam().commandName);
    ASSERT_NE(temperament, nullptr);
    for (std::size_t k = 0; k < 12; ++k) {
        EXPECT_NEAR(temperament->centsFromTonic[k], GetParam().cents[k], 0.001) << "pitch class " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, PublishedTemperaments,
    testing::Values(
        PublishedTable{"pythagorean", {0, 113.685, 203.910, 294.135, 407.820, 498.045, 611.730, 701.955, 815.640,
                                       905.865, 996.090, 1109.775}},
        PublishedTable{"just", {0, 111.731, 203.910, 315.641, 386.314, 498.045, 590.224, 701.955, 813.686, 884.359,
                                1017.596, 1088.269}},
        PublishedTable{"werckmeister3", {0, 90.225, 192.180, 294.135, 390.225, 498.045, 588.270, 696.090, 792.180,
                                         888.270, 996.090, 1092.180}},
        PublishedTable{"kirnberger3", {0, 90.225, 193.157, 294.135, 386.314, 498.045, 590.224, 696.578, 792.180,
                                       889.735, 996.090, 1088.269}},
        PublishedTable{"vallotti", {0, 94.135, 196.090, 298.045, 392.180, 501.955, 592.180, 698.045, 796.090, 894.135,
                                    1000.000, 1090.225}},
        PublishedTable{"young2", {0, 90.225, 196.090, 294.135, 392.180, 498.045, 588.270, 698.045, 792.180, 894.135,
                                  996.090, 1090.225}}),
    [](const auto& info) { return std::string(info.param.commandName); });

// Every fifth of the chain E♭ B♭ F C G D A E B F♯ C♯ G♯ is the tempered one;
// the wolf G♯-E♭ takes the rest.
TEST(MeantoneTemperaments, FifthsNarrowedByAQuarterOrASixthOfTheComma) {
    for (const auto& [name, fifth] : {std::pair{"meantone-1/4", 696.5784}, std::pair{"meantone-1/6", 698.3706}}) {
        const Temperament* temperament = FindTemperament(name);
        ASSERT_NE(temperament, nullptr);
        int pitchClass = 3;  // E♭
        for (int step = 0; step < 11; ++step) {
            const int above = (pitchClass + 7) % 12;
            double interval = temperament->centsFromTonic[static_cast<std::size_t>(above)] -
                              temperament->centsFromTonic[static_cast<std::size_t>(pitchClass)];
            interval += interval < 0 ? 1200.0 : 0.0;
            EXPECT_NEAR(interval, fifth, 0.0001) << name << " fifth above pitch class " << pitchClass;
            pitchClass = above;
        }
    }
}

TEST(BuiltInTemperaments, OfferedInOrderUnderTheirNames) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kNames = {{
        {"十二平均律", "equal"},
        {"五度相生律", "pythagorean"},
        {"纯律", "just"},
        {"1/4 音差中庸全音律", "meantone-1/4"},
        {"1/6 音差中庸全音律", "meantone-1/6"},
        {"Werckmeister III", "werckmeister3"},
        {"Kirnberger III", "kirnberger3"},
        {"Vallotti", "vallotti"},
        {"Young II", "young2"},
    }};
    const auto temperaments = BuiltInTemperaments();
    ASSERT_EQ(temperaments.size(), kNames.size());
    for (std::size_t k = 0; k < kNames.size(); ++k) {
        EXPECT_EQ(temperaments[k].chineseName, kNames[k].first);
        EXPECT_EQ(temperaments[k].commandName, kNames[k].second);
        EXPECT_EQ(FindTemperament(kNames[k].second), &temperaments[k]);
    }
    EXPECT_EQ(FindTemperament("Equal"), nullptr);
    EXPECT_EQ(FindTemperament(""), nullptr);
    EXPECT_EQ(DefaultTemperament().centsFromTonic[11], 1100.0);
}

}  // namespace
}  // namespace tonarel::tuning
