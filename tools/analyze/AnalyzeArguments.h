#pragma once
// The command line of tonarel-analyze:
//   tonarel-analyze FILE.wav [--segment-ms N] [--snr N] [--divisor N] [--precise] [--json]
//   tonarel-analyze FILE.wav --track
//   with either: [--reference HZ] [--temperament NAME | --scala FILE.scl] [--tonic NOTE]
//   tonarel-analyze --version

#include <string>
#include <variant>
#include <vector>

#include "meter/core/RecordingAnalysis.h"
#include "tools/analyze/TuningChoice.h"

namespace tonarel::analyze {

/// A command line that asks for an analysis.
struct AnalyzeRequest {
    std::string fileName;
    AnalysisOptions options;  ///< the pitch meter's defaults unless given
    bool json = false;
    bool track = false;  ///< the live tracker's readings instead of the analysis
    TuningChoice tuning;  ///< the notes --track and the precise reading are named in
};

/// `--help` or `-h`.
struct HelpRequest {};

/// `--version`.
struct VersionRequest {};

/// A command line that cannot be obeyed; `message` says why (Chinese, one line).
struct ArgumentError {
    std::string message;
};

using ParsedArguments = std::variant<AnalyzeRequest, HelpRequest, VersionRequest, ArgumentError>;

/// Reads the arguments after the program name. Options take their value as
/// the next argument or after "=" (--snr 12, --snr=12) and accept the pitch
/// meter's ranges only: --segment-ms 10..4000, --snr 1..20, --divisor 2..6.
/// --precise takes the frequency from the precise reading; --track prints
/// the live tracker's readings instead. The tuning options (--reference,
/// --temperament, --tonic, --scala) are checked as TakeTuningOption says;
/// the Scala file is not read here. --help and --version answer at once,
/// whatever else is given. Exactly one file name; "--" ends the options.
/// Example: {"a.wav", "--track", "--reference=415", "--temperament",
/// "werckmeister3"} asks for the readings named in Werckmeister III on 415 Hz.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

/// The usage text, several lines ending in a newline.
std::string UsageText();

}  // namespace tonarel::analyze
