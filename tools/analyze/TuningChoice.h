#pragma once
// The tuning system tonarel-analyze names notes in (--track, and the precise
// reading in --precise --json): what --reference, --temperament, --tonic and
// --scala chose, and the tuning system built from that choice.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "tuner/core/Temperaments.h"
#include "tuner/core/TuningSystem.h"

namespace tonarel::analyze {

/// The tuning options as given; what is not given keeps the tuner's default
/// (A4 = 440.00 Hz, 十二平均律, tonic C).
struct TuningChoice {
    std::optional<double> referenceHz;                 ///< 400.00..480.00, rounded to 0.01 Hz
    const tuning::Temperament* temperament = nullptr;  ///< a built-in temperament; null when not given
    std::optional<int> tonicPitchClass;                ///< 0 = C .. 11 = B
    std::optional<std::string> scalaFile;              ///< a .scl file, read by BuildTuningSystem

    /// Whether any of the four options was given.
    bool Given() const { return referenceHz || temperament != nullptr || tonicPitchClass || scalaFile; }
};

/// Whether `name` ("--reference", "--temperament", "--tonic", "--scala") is a
/// tuning option, which takes a value.
bool IsTuningOption(std::string_view name);

/// Takes the value of the tuning option `name` into `choice`. Nothing when it
/// is accepted; otherwise the reason, in Chinese, quoting the value:
/// "选项 --reference 的值必须是 400 到 480 之间的数（赫兹），而不是 \"380\"".
/// --reference takes a decimal number (442, 415.3), --temperament a command
/// name (equal, werckmeister3, ...), --tonic a pitch class (C, C#, C♯, Db,
/// D♭ ... B); --temperament and --scala exclude each other. The Scala file is
/// only read by BuildTuningSystem.
std::optional<std::string> TakeTuningOption(TuningChoice& choice, std::string_view name, const std::string& value);

/// The tuning system of `choice`, reading its Scala file if it names one.
/// A file that cannot be read or is no valid scale gives the reason instead,
/// in Chinese with the file's name and the line at fault:
/// "音阶文件 \"bad.scl\" 第 3 行：..." or "无法读取音阶文件 \"x.scl\"：文件不存在".
std::variant<tuning::TuningSystem, std::string> BuildTuningSystem(const TuningChoice& choice);

}  // namespace tonarel::analyze
