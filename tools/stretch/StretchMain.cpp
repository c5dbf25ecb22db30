// tonarel-stretch: a piano's stretch curve from recordings of its keys, for
// measuring a piano, or checking the curve, without the windows.

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "piano/InharmonicityFit.h"
#include "piano/StretchCurve.h"
#include "precise/PreciseReading.h"
#include "tools/analyze/QuotedArgument.h"
#include "tools/stretch/StretchArguments.h"
#include "tools/stretch/StretchReport.h"
#include "tuner/core/PitchNames.h"

namespace {

using namespace tonarel;
using namespace tonarel::stretch;
using analyze::QuotedArgument;

constexpr int kExitMeasured = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadArguments = 2;

// A reading further than this from its key's equal-tempered pitch is another
// note: a take under the wrong key, or a partial taken for the first.
constexpr double kFarthestFromKeyCents = 100.0;

void Complain(const std::string& message)
{
    std::fprintf(stderr, "tonarel-stretch: %s\n", message.c_str());
}

int64_t ModificationTime(const std::string& fileName)
{
    struct stat status {};
    return stat(fileName.c_str(), &status) == 0 && status.st_mtime > 0 ? static_cast<int64_t>(status.st_mtime) : 0;
}

// The take's reading added to `measurements`; false, with the take named on
// standard error, when it gives none.
bool MeasureTake(const Take& take, double referenceHz, piano::PianoMeasurements& measurements)
{
    const std::string name = QuotedArgument(take.fileName);
    const std::string keyName = tuning::NoteName(piano::MidiOfKey(take.key));
    std::error_code error;
    if (!std::filesystem::is_regular_file(take.fileName, error)) {
        Complain(name + "（" + keyName + "）无法读取或不是普通文件，已略去");
        return false;
    }
    const PreciseReading reading = EstimatePrecisePitch(take.fileName);
    if (!reading.found) {
        Complain(name + "（" + keyName + "）没有得到可信的读数，已略去");
        return false;
    }
    const double cents = piano::CentsFromEqualTemperament(take.key, reading.firstPartialHz, referenceHz);
    if (std::fabs(cents) > kFarthestFromKeyCents) {
        char hz[32];
        std::snprintf(hz, sizeof hz, "%.2f", reading.firstPartialHz);
        Complain(name + " 的读数 " + hz + " 赫兹离 " + keyName + " 超过一个半音，不是这个键的录音，已略去");
        return false;
    }
    return measurements.Add(take.key, {reading.firstPartialHz, reading.inharmonicity, reading.partialCount,
                                       ModificationTime(take.fileName)});
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedArguments parsed = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<ArgumentError>(&parsed)) {
        Complain(error->message);
        std::fputs(UsageText().c_str(), stderr);
        return kExitBadArguments;
    }
    if (std::holds_alternative<HelpRequest>(parsed)) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitMeasured;
    }
    const StretchRequest& request = std::get<StretchRequest>(parsed);

    StretchResult result;
    result.referenceHz = request.referenceHz;
    int takesRead = 0;
    for (const Take& take : request.takes) {
        takesRead += MeasureTake(take, request.referenceHz, result.measurements) ? 1 : 0;
    }
    if (takesRead == 0) {
        Complain("没有一个录音得到读数");
        return kExitFailure;
    }
    const piano::InharmonicityCurve fit = piano::FitInharmonicity(result.measurements);
    for (const std::string& notice : piano::FitNotices(fit)) {
        Complain("注意：" + notice);
    }
    result.curve = piano::ComputeStretchCurve(fit);
    const std::string report = request.json ? FormatJson(result) : FormatTable(result);
    std::fputs(report.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitMeasured : kExitFailure;
}
