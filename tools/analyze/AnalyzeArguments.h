#pragma once
// The command line of tonarel-analyze:
//   tonarel-analyze FILE.wav [--segment-ms N] [--snr N] [--divisor N] [--precise] [--json]
//   tonarel-analyze FILE.wav --track

#include <string>
#include <variant>
#include <vector>

#include "meter/core/RecordingAnalysis.h"

namespace tonarel::analyze {

/// A command line that asks for an analysis.
struct AnalyzeRequest {
    std::string fileName;
    AnalysisOptions options;  ///< the pitch meter's defaults unless given
    bool json = false;
    bool track = false;  ///< the live tracker's readings instead of the analysis
};

/// `--help` or `-h`.
struct HelpRequest {};

/// A command line that cannot be obeyed; `message` says why (Chinese, one line).
struct ArgumentError {
    std::string message;
};

using ParsedArguments = std::variant<AnalyzeRequest, HelpRequest, ArgumentError>;

/// Reads the arguments after the program name. Options take their value as
/// the next argument or after "=" (--snr 12, --snr=12) and accept the pitch
/// meter's ranges only: --segment-ms 10..4000, --snr 1..20, --divisor 2..6.
/// --precise takes the frequency from the precise reading; --track prints
/// the live tracker's readings instead. Exactly one file
/// name; "--" ends the options.
ParsedArguments ParseArguments(const std::vector<std::string>& arguments);

/// The usage text, several lines ending in a newline.
std::string UsageText();

}  // namespace tonarel::analyze
