#include "tuner/core/ScalaScale.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>

#include "common/RegularFile.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::tuning {
namespace {

constexpr uint64_t kLargestNumber = 2147483647;  // 2^31 - 1
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

ScalaError ErrorAt(int line, std::string_view what)
{
    return {line, "第 " + std::to_string(line) + " 行：" + std::string(what)};
}

// The text's lines one by one, numbered from 1, without their LF or the CR
// before it.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}

    /// The next line that is not a comment, or nothing at the end.
    std::optional<std::string_view> NextUncommented()
    {
        while (!rest_.empty()) {
            const std::size_t end = rest_.find('\n');
            std::string_view line = rest_.substr(0, end);
            rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
            ++number_;
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            if (!IsComment(line)) {
                return line;
            }
        }
        return std::nullopt;
    }

    /// The number of the line NextUncommented returned last (0 before the first).
    int Number() const { return number_; }
    /// Where a line that is missing would stand: one past the last line.
    int NumberPastEnd() const { return number_ + 1; }

private:
    static bool IsComment(std::string_view line)
    {
        const std::size_t first = line.find_first_not_of(" \t");
        return first != std::string_view::npos && line[first] == '!';
    }

    std::string_view rest_;
    int number_ = 0;
};

std::string_view WithoutLeadingBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view LeadingDigits(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

// A run of digits as a number, held at kLargestNumber + 1 once it passes the
// largest, however long the run.
uint64_t NumberOf(std::string_view digits)
{
    uint64_t value = 0;
    for (char digit : digits) {
        value = std::min(value * 10 + static_cast<uint64_t>(digit - '0'), kLargestNumber + 1);
    }
    return value;
}

// A pitch as written, or why it is none.
struct Pitch {
    double cents = 0.0;
    std::string_view text;
};
using PitchOrProblem = std::variant<Pitch, std::string_view>;

constexpr std::string_view kNotAPitch = "不是音高数值（应为比值如 3/2、整数如 2，或带小数点的音分值如 701.955）";
constexpr std::string_view kRatioNotPositive = "比值必须大于零";
constexpr std::string_view kTooLarge = "数值超过 2147483647";

PitchOrProblem CentsValue(std::string_view value, std::size_t signLength, std::string_view wholeDigits)
{
    const std::string_view afterWhole = value.substr(signLength + wholeDigits.size() + 1);
    const std::string_view fractionDigits = LeadingDigits(afterWhole);
    if (wholeDigits.empty() && fractionDigits.empty()) {
        return kNotAPitch;
    }
    if (NumberOf(wholeDigits) > kLargestNumber) {
        return kTooLarge;
    }
    const std::string_view number = value.substr(signLength, wholeDigits.size() + 1 + fractionDigits.size());
    // Digits on both sides of the point always read; a value too small for a
    // double ("0.000...1") leaves the magnitude 0, which it is to the cent.
    double magnitude = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), magnitude);
    const bool negative = signLength == 1 && value[0] == '-';
    return Pitch{negative ? -magnitude : magnitude, value.substr(0, signLength + number.size())};
}

PitchOrProblem RatioValue(std::string_view value, std::string_view numeratorDigits)
{
    std::size_t length = numeratorDigits.size();
    uint64_t denominator = 1;
    bool zeroDenominator = false;
    if (length < value.size() && value[length] == '/') {
        const std::string_view afterSlash = value.substr(length + 1);
        if (afterSlash.starts_with('-') && afterSlash.size() > 1 && IsDigit(afterSlash[1])) {
            return kRatioNotPositive;
        }
        const std::string_view denominatorDigits = LeadingDigits(afterSlash);
        if (denominatorDigits.empty()) {
            return kNotAPitch;
        }
        denominator = NumberOf(denominatorDigits);
        zeroDenominator = denominator == 0;
        length += 1 + denominatorDigits.size();
    }
    const uint64_t numerator = NumberOf(numeratorDigits);
    if (numerator > kLargestNumber || denominator > kLargestNumber) {
        return kTooLarge;
    }
    if (numerator == 0 || zeroDenominator) {
        return kRatioNotPositive;
    }
    return Pitch{CentsBetween(static_cast<double>(numerator), static_cast<double>(denominator)),
                 value.substr(0, length)};
}

PitchOrProblem ParsePitch(std::string_view line)
{
    const std::string_view value = WithoutLeadingBlanks(line);
    const std::size_t signLength = !value.empty() && (value[0] == '-' || value[0] == '+') ? 1 : 0;
    const std::string_view wholeDigits = LeadingDigits(value.substr(signLength));
    const std::size_t afterWhole = signLength + wholeDigits.size();
    if (afterWhole < value.size() && value[afterWhole] == '.') {
        return CentsValue(value, signLength, wholeDigits);
    }
    if (wholeDigits.empty()) {
        return kNotAPitch;
    }
    if (signLength == 1) {
        // A ratio has no sign; "-3/2" is a negative ratio.
        return value[0] == '-' ? kRatioNotPositive : kNotAPitch;
    }
    return RatioValue(value, wholeDigits);
}

}  // namespace

std::variant<ScalaScale, ScalaError> ParseScala(std::string_view text)
{
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    Lines lines(text);
    ScalaScale scale;

    const std::optional<std::string_view> description = lines.NextUncommented();
    if (!description) {
        return ErrorAt(lines.NumberPastEnd(), "缺少描述行（文件已结束）");
    }
    scale.description = std::string(*description);

    const std::optional<std::string_view> countLine = lines.NextUncommented();
    if (!countLine) {
        return ErrorAt(lines.NumberPastEnd(), "缺少音数（文件已结束）");
    }
    const int countLineNumber = lines.Number();
    const std::string_view countDigits = LeadingDigits(WithoutLeadingBlanks(*countLine));
    if (countDigits.empty()) {
        return ErrorAt(countLineNumber, "不是音数（应为正整数，即音阶每个周期的音高个数）");
    }
    const uint64_t count = NumberOf(countDigits);
    if (count > kLargestNumber) {
        return ErrorAt(countLineNumber, kTooLarge);
    }
    if (count == 0) {
        return ErrorAt(countLineNumber, "音数为 0：音阶至少要有一个音高（最后一个是周期）");
    }

    // Grown line by line: the count alone may claim any number of pitches.
    for (uint64_t degree = 1; degree <= count; ++degree) {
        const std::optional<std::string_view> line = lines.NextUncommented();
        if (!line) {
            return ErrorAt(countLineNumber, "音数为 " + std::to_string(count) + "，但只有 " +
                                                std::to_string(degree - 1) + " 个音高");
        }
        const PitchOrProblem pitch = ParsePitch(*line);
        if (const auto* problem = std::get_if<std::string_view>(&pitch)) {
            return ErrorAt(lines.Number(), *problem);
        }
        scale.degreeCents.push_back(std::get<Pitch>(pitch).cents);
        scale.degreeTexts.emplace_back(std::get<Pitch>(pitch).text);
    }
    if (!(scale.PeriodCents() > 0.0)) {
        return ErrorAt(lines.Number(), "最后一个音高是周期，必须高于 1/1");
    }
    return scale;
}

std::variant<ScalaScale, ScalaError> ReadScalaFile(const std::filesystem::path& path)
{
    const auto cannotRead = [](std::string_view reason) {
        return ScalaError{0, "无法读取音阶文件：" + std::string(reason)};
    };
    ReadOpenFailure failure;
    const OwnedFile file = OpenRegularFileForReading(path, &failure);
    if (!file) {
        if (failure.error == ReadOpenError::kNotRegularFile) {
            return cannotRead("不是普通文件（而是管道或设备等）");
        }
        switch (failure.systemError) {
        case ENOENT:
        case ENOTDIR:
            return cannotRead("文件不存在");
        case EACCES:
        case EPERM:
            return cannotRead("没有读取权限");
        case EISDIR:
            return cannotRead("这是一个文件夹");
        default:
            return cannotRead("打开文件出错");
        }
    }
    std::string text;
    char block[16 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        if (text.size() + got > kLargestScalaFileBytes) {
            return cannotRead("文件太大，不是音阶文件");
        }
        text.append(block, got);
    }
    if (std::ferror(file.get())) {
        return cannotRead("读取文件出错");
    }
    return ParseScala(text);
}

}  // namespace tonarel::tuning
