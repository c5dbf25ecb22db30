#include "tuner/core/ScalaScale.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tonarel::tuning {

namespace {

ScalaError ErrorOn(int line, const std::string& what)
{
    return ScalaError{line, "第 " + std::to_string(line) + " 行：" + what};
}

std::string FirstWord(const std::string& line)
{
    std::istringstream words(line);
    std::string word;
    words >> word;
    return word;
}

}  // namespace

std::variant<ScalaScale, ScalaError> ParseScala(std::string_view text)
{
    ScalaScale scale;
    std::istringstream lines{std::string(text)};
    std::string line;
    int lineNumber = 0;
    int stage = 0;  // 0 description, 1 count, 2 degrees
    long count = 0;
    int countLine = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '!') {
            continue;
        }
        if (stage == 0) {
            scale.description = line;
            stage = 1;
            continue;
        }
        const std::string word = FirstWord(line);
        if (stage == 1) {
            char* end = nullptr;
            count = std::strtol(word.c_str(), &end, 10);
            if (word.empty() || *end != '\0' || count < 1) {
                return ErrorOn(lineNumber, "音数不是正整数");
            }
            countLine = lineNumber;
            stage = 2;
            continue;
        }
        char* end = nullptr;
        double cents = 0;
        if (word.find('.') != std::string::npos) {
            cents = std::strtod(word.c_str(), &end);
            if (word.empty() || *end != '\0') {
                return ErrorOn(lineNumber, "不是数字");
            }
        } else {
            const double p = std::strtod(word.c_str(), &end);
            double q = 1;
            if (*end == '/') {
                q = std::strtod(end + 1, &end);
            }
            if (word.empty() || *end != '\0') {
                return ErrorOn(lineNumber, "不是数字");
            }
            if (p <= 0 || q <= 0) {
                return ErrorOn(lineNumber, "比值必须为正");
            }
            cents = 1200.0 * std::log2(p / q);
        }
        scale.degreeCents.push_back(cents);
        scale.degreeTexts.push_back(word);
        if (static_cast<long>(scale.degreeCents.size()) == count) {
            return scale;
        }
    }
    if (stage < 2) {
        return ErrorOn(lineNumber + 1, "缺少音数");
    }
    return ErrorOn(countLine, "音阶的音数多于文件中的音");
}

std::variant<ScalaScale, ScalaError> ReadScalaFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return ScalaError{0, "无法读取文件“" + file.string() + "”。"};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return ParseScala(text.str());
}

}  // namespace tonarel::tuning
