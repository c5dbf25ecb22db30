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
#include "precise/SoundFilePitch.h"
#include "tools/analyze/AnalyzeArguments.h"
#include "tools/analyze/AnalyzeReport.h"
#include "tools/analyze/QuotedArgument.h"
#include "tools/analyze/TrackReport.h"
#include "tools/analyze/TuningChoice.h"
#include "wave/CaptureFile.h"
#include "wave/SoundFileReader.h"

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

void Warn(const std::string& message)
{
    std::fprintf(stderr, "tonarel-analyze: 警告：%s\n", message.c_str());
}

bool IsTag(const char (&field)[4], const char* text)
{
    return std::memcmp(field, text, 4) == 0;
}

// The standard reading takes every file for a capture file: 44 100 Hz, one
// channel, 16-bit samples right after a 44-byte header. Where the file is
// something else its figures are wrong; the tool keeps them, as the meter
// would show them, and says so.
void WarnOfAnotherFormat(const std::string& name, const WaveHeader& header, const std::optional<SoundFileReader>& sound,
                         bool captureHeader)
{
    const std::string reads = "标准测量按 44100 赫兹、单声道、16 位的 WAV 文件读取，结果不可信；--precise 按文件的实际格式测量";
    if (sound && !sound->Format().IsCaptureFormat()) {
        Warn(name + " 是 " + sound->Format().Describe() + "；" + reads);
    } else if (!sound && (header.SampleRate != kCaptureSampleRate || header.Channels != kCaptureChannels)) {
        Warn(name + " 的文件头写着 " + std::to_string(header.SampleRate) + " 赫兹、" + std::to_string(header.Channels) +
             " 个声道；" + reads);
    } else if (sound && !captureHeader) {
        Warn(name + " 的文件头不是 44 字节的标准 WAV 文件头（另有数据块或扩展格式）；" + reads);
    }
}

// The estimator reads a file it cannot use as "no sound"; a checking tool
// says instead what is wrong with it. With --precise, a file libsndfile reads
// is read as it is. The name is quoted so that control characters in it reach
// the terminal as escapes, never as commands.
bool CheckReadable(const std::string& fileName, bool precise)
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
            Complain(name + " 不是声音文件：不足 44 字节的文件头");
            break;
        }
        return false;
    }
    const WaveHeader& header = file->Header();
    const std::optional<SoundFileReader> sound = SoundFileReader::Open(fileName);
    if (!sound && !(IsTag(header.ChunkId, "RIFF") && IsTag(header.FormType, "WAVE"))) {
        Complain(name + " 不是声音文件：既不是 RIFF/WAVE 文件，也不是 FLAC、Ogg 等可读的声音格式");
        return false;
    }
    if (precise && sound) {
        return true;
    }
    if (!precise) {
        WarnOfAnotherFormat(name, header, sound, HasCaptureHeader(fileName));
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
    if (std::holds_alternative<VersionRequest>(parsed)) {
        std::fputs("tonarel-analyze " TONAREL_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 ? kExitAnalysed : kExitFailure;
    }
    const AnalyzeRequest& request = std::get<AnalyzeRequest>(parsed);
    // The Scala file belongs to the command line: a broken one is refused
    // before the recording is looked at.
    auto tuning = BuildTuningSystem(request.tuning);
    if (const auto* problem = std::get_if<std::string>(&tuning)) {
        Complain(*problem);
        return kExitBadArguments;
    }
    const tuning::TuningSystem& tuningSystem = std::get<tuning::TuningSystem>(tuning);
    if (!CheckReadable(request.fileName, request.options.precise)) {
        return kExitFailure;
    }

    if (request.track) {
        std::optional<CaptureFile> file = CaptureFile::Open(request.fileName);
        return file && WriteTrackedReadings(*file, tuningSystem, stdout) ? kExitAnalysed : kExitFailure;
    }

    std::array<float, kSemitoneCount> semitoneTable{};
    BuildSemitoneTable(kReferencePitchHz, semitoneTable);
    const RecordingAnalysis analysis = AnalyseRecording(request.fileName, request.options, semitoneTable);
    // The note fields are added only when asked for, so that the object stays
    // as scripts written for it know it.
    const tuning::TuningSystem* namedIn = request.tuning.Given() ? &tuningSystem : nullptr;
    const std::string report = request.json ? FormatJson(analysis, namedIn) : FormatLabels(analysis);
    std::fputs(report.c_str(), stdout);
    return std::fflush(stdout) == 0 ? kExitAnalysed : kExitFailure;
}
