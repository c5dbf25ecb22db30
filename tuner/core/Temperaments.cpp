#include "tuner/core/Temperaments.h"

namespace tonarel::tuning {

namespace {

constexpr std::array<Temperament, 1> kTemperaments = {{
    {"十二平均律", "equal", {0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100}},
}};

}  // namespace

std::span<const Temperament> BuiltInTemperaments()
{
    return kTemperaments;
}

const Temperament* FindTemperament(std::string_view commandName)
{
    for (const Temperament& temperament : kTemperaments) {
        if (temperament.commandName == commandName) {
            return &temperament;
        }
    }
    return nullptr;
}

}  // namespace tonarel::tuning
