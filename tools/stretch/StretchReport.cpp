#include "tools/stretch/StretchReport.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>

namespace tonarel::stretch {
namespace {

using piano::InharmonicitySource;

std::optional<double> MeasuredCents(const StretchResult& result, int key)
{
    const std::optional<piano::KeySummary> summary = result.measurements.Summary(key);
    if (!summary) {
        return std::nullopt;
    }
    return piano::CentsFromEqualTemperament(key, summary->firstPartialHz, result.referenceHz);
}

// Text padded with blanks to `width` characters as a terminal shows them:
// the note names hold one-column signs that take three bytes.
std::string Padded(const std::string& text, std::size_t width)
{
    std::size_t columns = 0;
    for (const char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u ? 1 : 0;
    }
    return text + std::string(columns < width ? width - columns : 0, ' ');
}

std::string Formatted(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

std::string FormatTable(const StretchResult& result)
{
    const bool measured = result.curve.source == InharmonicitySource::kMeasured;
    std::string text = "标准音 A4 = " + Formatted("%g", result.referenceHz) + " 赫兹；目标曲线：" +
                       (measured ? "按测得的键拟合" : "未测量，取一般三角钢琴的平均值") + "\n";
    text += "键  音名  非谐性B    目标(音分)  目标(赫兹)  测得(音分)\n";
    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        char number[8];
        std::snprintf(number, sizeof number, "%2d", key);
        const std::optional<double> cents = MeasuredCents(result, key);
        text += std::string(number) + "  " + Padded(tuning::NoteName(piano::MidiOfKey(key)), 4) +
                Formatted("  %.3e", result.curve.b[piano::IndexOfKey(key)]) +
                Formatted("  %+9.2f", result.curve.TargetCents(key)) +
                Formatted("  %10.3f", result.curve.TargetHz(key, result.referenceHz)) +
                (cents ? Formatted("  %+9.2f", *cents) : std::string("          -")) + "\n";
    }
    return text;
}

std::string FormatJson(const StretchResult& result)
{
    const bool measured = result.curve.source == InharmonicitySource::kMeasured;
    std::string json = "{\"reference\": " + nlohmann::json(result.referenceHz).dump() + ", \"curve\": \"" +
                       (measured ? "measured" : "average_grand") + "\", \"keys\": [\n";
    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        const std::optional<double> cents = MeasuredCents(result, key);
        nlohmann::ordered_json entry;
        entry["key"] = key;
        entry["name"] = tuning::NoteName(piano::MidiOfKey(key));
        entry["b"] = result.curve.b[piano::IndexOfKey(key)];
        entry["target_cents"] = result.curve.TargetCents(key);
        entry["target_hz"] = result.curve.TargetHz(key, result.referenceHz);
        entry["measured_cents"] = cents ? nlohmann::ordered_json(*cents) : nlohmann::ordered_json(nullptr);
        json += "  " + entry.dump(-1, ' ', false) + (key < piano::kLastKey ? ",\n" : "\n");
    }
    json += "]}\n";
    return json;
}

}  // namespace tonarel::stretch
