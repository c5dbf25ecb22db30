// tonarel-analyze: runs the pitch meter's analysis on a recording and prints
// what the meter's labels would show, for checking recordings without the
// windows.

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "tools/analyze/AnalyzeArguments.h"
#include "tools/analyze/AnalyzeReport.h"
#include "tools/analyze/QuotedArgument.h"
#include "tools/analyze/TrackReport.h"
#include "wave/CaptureFile.h"

namespace {

using namespace tonarel;
using namespace tonarel::analyze;

constexpr int kExitAnalysed = 0;
constexpr int kExitFailure = 1;
constexpr int kExitBadArguments = 2;

void Complain(const std::string& message)
{
    std::fprintf(stderr, "tonarel-analyze: %s\n", message.c_str());
}

// The estimator reads a file it cannot use as "no sound"; a checking tool
// says instead what is wrong with it. The name is quoted so that control
// characters in it reach the terminal as escapes, never as commands.
bool CheckReadable(const std::string& fileName)
{
    const std::string name = QuotedArgument(fileName);
    CaptureFile::OpenFailure failure{};
    const std::optional<CaptureFile> file = CaptureFile::Open(fileName, &failure);
    if (!file) {
        switch (failure.error) {
        case CaptureFile::OpenError::kCannotOpen:
            Complain("无法读取文件 " + name + "：" + std::strerror(failure.systemError));
            break;
        case CaptureFile::OpenError::kNotRegularFile:
            Complain(name + " 不是普通文件（而是管道或设备等），无法分析");
            break;
        case CaptureFile::OpenError::kShorterThanHeader:
            Complain(name + " 不是录音文件：不足 44 字节的文件头");
            break;
        }
        return false;
    }
    if (file->Header().BitsPerSample != kCaptureBitsPerSample) {
        Complain(name + " 的采样不是 16 位（BitsPerSample = " + std::to_string(file->Header().BitsPerSample) +
                 "），无法分析");
        return false;
    }
    if (file->Header().ByteRate <= 0) {
        Complain(name + " 的字节率不是正数（ByteRate = " + std::to_string(file->Header().ByteRate) + "），无法分析");
        return false;
    }
    return true;
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
        return kExitAnalysed;
    }
    const AnalyzeRequest& request = std::get<AnalyzeRequest>(parsed);
    if (!CheckReadable(request.fileName)) {
        return kExitFailure;
    }

    if (request.track) {
        std::optional<CaptureFile> file = CaptureFile::Open(request.fileName);
        return file && WriteTrackedReadings(*file, stdout) ? kExitAnalysed : kExitFailure;
    }

    std::array<float, kSemitoneCount> semitoneTable{};
    BuildSemitoneTable(kReferencePitchHz, semitoneTable);
    const RecordingAnalysis analysis = AnalyseRecording(request.fileName, request.options, semitoneTable);
    const std::string report = request.json ? FormatJson(analysis) : FormatLabels(analysis);
    std::fputs(report.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitAnalysed : kExitFailure;
}
