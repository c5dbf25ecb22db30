#include "tools/analyze/TuningChoice.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "tools/analyze/DecimalArgument.h"
#include "tools/analyze/QuotedArgument.h"
#include "tuner/core/PitchNames.h"
#include "tuner/core/ScalaScale.h"

namespace tonarel::analyze {
namespace {

constexpr std::string_view kReferenceOption = "--reference";
constexpr std::string_view kTemperamentOption = "--temperament";
constexpr std::string_view kTonicOption = "--tonic";
constexpr std::string_view kScalaOption = "--scala";

std::string TemperamentNames()
{
    std::string names;
    const auto temperaments = tuning::BuiltInTemperaments();
    for (std::size_t k = 0; k < temperaments.size(); ++k) {
        if (k > 0) {
            names += k + 1 == temperaments.size() ? " 或 " : "、";
        }
        names += temperaments[k].commandName;
    }
    return names;
}

std::string MustBe(std::string_view name, const std::string& what, const std::string& value)
{
    return "选项 " + std::string(name) + " 的值必须是 " + what + "，而不是 " + QuotedArgument(value);
}

std::string BothTemperamentAndScala()
{
    return "选项 " + std::string(kTemperamentOption) + " 和 " + std::string(kScalaOption) + " 只能用一个";
}

// The reader's message with the file's name put in: it names the line, or
// for a file it could not read starts with "无法读取音阶文件：".
std::string ScalaFileProblem(const std::string& file, const tuning::ScalaError& error)
{
    const std::string name = QuotedArgument(file);
    constexpr std::string_view kCannotRead = "无法读取音阶文件：";
    if (error.line == 0 && std::string_view(error.message).starts_with(kCannotRead)) {
        return "无法读取音阶文件 " + name + "：" + error.message.substr(kCannotRead.size());
    }
    return "音阶文件 " + name + " " + error.message;
}

}  // namespace

bool IsTuningOption(std::string_view name)
{
    return name == kReferenceOption || name == kTemperamentOption || name == kTonicOption || name == kScalaOption;
}

std::optional<std::string> TakeTuningOption(TuningChoice& choice, std::string_view name, const std::string& value)
{
    if (name == kReferenceOption) {
        const std::optional<double> hz = ParseDecimalArgument(value);
        const std::optional<double> reference = hz ? tuning::ReferencePitchFromUser(*hz) : std::nullopt;
        if (!reference) {
            return MustBe(name, "400 到 480 之间的数（赫兹）", value);
        }
        choice.referenceHz = reference;
    } else if (name == kTemperamentOption) {
        choice.temperament = tuning::FindTemperament(value);
        if (choice.temperament == nullptr) {
            return MustBe(name, TemperamentNames() + " 之一", value);
        }
        if (choice.scalaFile) {
            return BothTemperamentAndScala();
        }
    } else if (name == kTonicOption) {
        choice.tonicPitchClass = tuning::ParsePitchClass(value);
        if (!choice.tonicPitchClass) {
            return MustBe(name, "C、C♯、D、E♭、E、F、F♯、G、G♯、A、B♭、B 这样的音名（也可写作 C#、Db）", value);
        }
    } else if (name == kScalaOption) {
        choice.scalaFile = value;
        if (choice.temperament != nullptr) {
            return BothTemperamentAndScala();
        }
    } else {
        return "未知选项：" + QuotedArgument(std::string(name));
    }
    return std::nullopt;
}

std::variant<tuning::TuningSystem, std::string> BuildTuningSystem(const TuningChoice& choice)
{
    const double referenceHz = choice.referenceHz.value_or(tuning::kDefaultReferenceHz);
    const int tonic = choice.tonicPitchClass.value_or(0);
    if (!choice.scalaFile) {
        const tuning::Temperament& temperament =
            choice.temperament != nullptr ? *choice.temperament : tuning::DefaultTemperament();
        return tuning::TuningSystem(referenceHz, temperament, tonic);
    }
    const std::string& file = *choice.scalaFile;
    auto scale = tuning::ReadScalaFile(file);
    if (const auto* error = std::get_if<tuning::ScalaError>(&scale)) {
        return ScalaFileProblem(file, *error);
    }
    return tuning::TuningSystem(referenceHz, std::get<tuning::ScalaScale>(scale), tonic,
                                std::filesystem::path(file).filename().string());
}

}  // namespace tonarel::analyze
