#include "tools/analyze/AnalyzeArguments.h"

#include <charconv>
#include <optional>
#include <utility>

#include "tools/analyze/QuotedArgument.h"

namespace tonarel::analyze {
namespace {

struct NumericOption {
    const char* name;
    uint32_t lowest;
    uint32_t highest;
    uint32_t AnalysisOptions::*field;
};

// The ranges of the pitch meter's controls: its segment field shows 10 to
// 4000 ms, its ratio spinner 1 to 20, its divisor track bar 2 to 6.
constexpr NumericOption kNumericOptions[] = {
    {"--segment-ms", 10, 4000, &AnalysisOptions::segmentMilliseconds},
    {"--snr", 1, 20, &AnalysisOptions::givenSnr},
    {"--divisor", 2, 6, &AnalysisOptions::divisor},
};

std::optional<uint32_t> ParseDecimal(const std::string& text)
{
    uint32_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& arguments)
{
    AnalyzeRequest request;
    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            if (haveFile) {
                return ArgumentError{"只能分析一个文件，多余的参数：" + QuotedArgument(argument)};
            }
            request.fileName = argument;
            haveFile = true;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            return HelpRequest{};
        }
        if (argument == "--version") {
            return VersionRequest{};
        }
        if (argument == "--json") {
            request.json = true;
            continue;
        }
        if (argument == "--track") {
            request.track = true;
            continue;
        }
        if (argument == "--precise") {
            request.options.precise = true;
            continue;
        }

        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const NumericOption* option = nullptr;
        for (const NumericOption& candidate : kNumericOptions) {
            if (name == candidate.name) {
                option = &candidate;
            }
        }
        if (option == nullptr && !IsTuningOption(name)) {
            return ArgumentError{"未知选项：" + QuotedArgument(argument)};
        }
        std::string valueText;
        if (equals != std::string::npos) {
            valueText = argument.substr(equals + 1);
        } else if (k + 1 < arguments.size()) {
            valueText = arguments[++k];
        } else {
            return ArgumentError{"选项 " + name + " 缺少数值"};
        }
        if (option == nullptr) {
            if (std::optional<std::string> problem = TakeTuningOption(request.tuning, name, valueText)) {
                return ArgumentError{std::move(*problem)};
            }
            continue;
        }
        const std::optional<uint32_t> value = ParseDecimal(valueText);
        const std::string range = std::to_string(option->lowest) + " 到 " + std::to_string(option->highest);
        if (!value || *value < option->lowest || *value > option->highest) {
            return ArgumentError{"选项 " + name + " 的值必须是 " + range + " 之间的整数，而不是 " +
                                 QuotedArgument(valueText)};
        }
        request.options.*(option->field) = *value;
    }
    if (!haveFile) {
        return ArgumentError{"缺少要分析的 WAV 文件"};
    }
    return request;
}

std::string UsageText()
{
    return "用法：tonarel-analyze FILE.wav [--segment-ms N] [--snr N] [--divisor N] [--precise] [--json]\n"
           "      tonarel-analyze FILE.wav --track\n"
           "      两者都可加：[--reference 赫兹] [--temperament 律制 | --scala FILE.scl] [--tonic 音名]\n"
           "      tonarel-analyze --version\n"
           "像音准仪一样分析一个录音文件（单声道 16 位 44100 Hz 的 WAV 文件），\n"
           "并输出音准仪显示的频率、信/噪比、半音序号和偏差。其他格式的文件照样分析，\n"
           "但先在标准错误上警告：标准测量把每个文件都当作这种格式读取。\n"
           "  --segment-ms N  声音片段长度（毫秒，10 到 4000）；默认自动侦测\n"
           "  --snr N         信噪比（1 到 20）；默认自动侦测\n"
           "  --divisor N     信噪比除数（2 到 6）；默认 4\n"
           "  --precise       精确测量：频率和是否有声音取自更精确的基音测量（音符第一分音的\n"
           "                  平均频率），信/噪比仍按标准方法计算；按文件的实际格式读取：\n"
           "                  任何采样率，多声道混为单声道，16/24/32 位整数或浮点，WAV、FLAC、Ogg\n"
           "  --json          输出一个 JSON 对象，包括数值和诊断信息；与 --precise 同用时\n"
           "                  另有 \"precise\" 对象：所用片段（begin、end，数据偏移字节）、\n"
           "                  可信度（confidence，0 到 1）、非谐性系数（inharmonicity）等；\n"
           "                  给了下面的律制选项时还有音名（note）、目标频率（target）和偏差（cents）\n"
           "  --track         像调音器一样实时跟踪：每 1024 个采样输出一行 JSON 对象，包括时间（time，秒）、\n"
           "                  是否找到音符（found）、频率（frequency）、音名（note）、目标频率（target）、\n"
           "                  偏差（cents，音分）和可信度（confidence）\n"
           "  --version       输出版本后退出\n"
           "音名、目标频率和偏差（音分）按以下律制计算；默认 A4 = 440 Hz 的十二平均律，主音 C：\n"
           "  --reference 赫兹     标准音 A4 的频率（400 到 480，精确到 0.01）；默认 440\n"
           "  --temperament 律制   equal（十二平均律）、pythagorean（五度相生律）、just（纯律）、\n"
           "                       meantone-1/4、meantone-1/6（1/4、1/6 音差中庸全音律）、\n"
           "                       werckmeister3、kirnberger3、vallotti 或 young2；默认 equal\n"
           "  --tonic 音名         律制的主音：C、C♯（或 C#）、D♭（或 Db）、D … B；默认 C\n"
           "  --scala FILE.scl     用 Scala 音阶文件代替 --temperament\n"
           "退出状态：0 已分析（包括没有声音的结果），1 文件无法读取、不是声音文件或输出失败，\n"
           "2 参数错误（包括无法读取或有误的音阶文件）。\n";
}

}  // namespace tonarel::analyze
