#include "tools/stretch/StretchArguments.h"

#include <charconv>
#include <cmath>

#include "piano/PianoFile.h"
#include "piano/PianoMeasurements.h"
#include "tools/analyze/DecimalArgument.h"
#include "tools/analyze/QuotedArgument.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::stretch {
namespace {

using analyze::QuotedArgument;

using analyze::ParseDecimalArgument;

}  // namespace

std::optional<int> ParseKey(const std::string& text)
{
    if (!text.empty() && text[0] >= '0' && text[0] <= '9') {
        int key = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), key);
        if (error != std::errc() || end != text.data() + text.size() || !piano::IsPianoKey(key)) {
            return std::nullopt;
        }
        return key;
    }
    const std::optional<int> midi = tuning::ParseNoteName(text);
    if (!midi) {
        return std::nullopt;
    }
    const int key = *midi - tuning::kPianoKeyToMidi;
    return piano::IsPianoKey(key) ? std::optional<int>(key) : std::nullopt;
}

ParsedArguments ParseArguments(const std::vector<std::string>& arguments)
{
    StretchRequest request;
    bool optionsEnded = false;
    for (std::size_t k = 0; k < arguments.size(); ++k) {
        const std::string& argument = arguments[k];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            const std::size_t equals = argument.find('=');
            if (equals == std::string::npos || equals + 1 == argument.size()) {
                return ArgumentError{"录音须写成 键=文件（例如 A4=a4.wav），而不是 " + QuotedArgument(argument)};
            }
            const std::string keyText = argument.substr(0, equals);
            const std::optional<int> key = ParseKey(keyText);
            if (!key) {
                return ArgumentError{"无法识别的键 " + QuotedArgument(keyText) +
                                     "：应为 A0 到 C8 的音名（如 C#4、C♯4、Db4）或 1 到 88 的键号"};
            }
            request.takes.push_back({*key, argument.substr(equals + 1)});
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            return HelpRequest{};
        }
        if (argument == "--json") {
            request.json = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != "--reference") {
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
        const std::optional<double> hz = ParseDecimalArgument(valueText);
        if (!hz || *hz < piano::kLowestReferenceHz || *hz > piano::kHighestReferenceHz) {
            return ArgumentError{"选项 " + name + " 的值必须是 400 到 480 之间的数（赫兹），而不是 " +
                                 QuotedArgument(valueText)};
        }
        request.referenceHz = *hz;
    }
    if (request.takes.empty()) {
        return ArgumentError{"缺少要测量的录音（键=文件）"};
    }
    return request;
}

std::string UsageText()
{
    return "用法：tonarel-stretch 键=文件.wav ... [--reference 赫兹] [--json]\n"
           "用钢琴各键的录音（单声道 16 位 44100 Hz 的 WAV 文件）测量每根弦的非谐性，\n"
           "拟合全部 88 个键的非谐性，算出这架钢琴的伸张曲线，并输出每个键的非谐性 B、\n"
           "目标（与十二平均律相差的音分和赫兹）以及测得的键的偏差。\n"
           "  键               A0 到 C8 的音名（A0、C#4、C♯4、Db4、D♭4）或键号 1 到 88；\n"
           "                   同一个键的几个录音取平均\n"
           "  --reference 赫兹  标准音 A4 的频率（400 到 480）；默认 440\n"
           "  --json           输出一个 JSON 对象：reference 和 keys（每个键的 key、name、b、\n"
           "                   target_cents、target_hz、measured_cents，未测的键为 null）\n"
           "至少 8 个键测得非谐性才能拟合（最好最低八度和 F♯6 以上各有一个）；否则用一般\n"
           "三角钢琴的平均曲线，并注明不是测得的。\n"
           "退出状态：0 至少一个录音得到读数，1 没有一个录音得到读数或输出失败，2 参数错误。\n";
}

}  // namespace tonarel::stretch
