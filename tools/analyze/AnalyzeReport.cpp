#include "tools/analyze/AnalyzeReport.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace tonarel::analyze {
namespace {

// The shortest decimal that reads back to the same float or double.
template <typename Real>
std::string JsonReal(Real value)
{
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string JsonOptionalString(const std::optional<std::string>& text)
{
    return text ? JsonString(*text) : "null";
}

template <typename Number>
std::string JsonNumberUnless(bool absent, Number value)
{
    return absent ? "null" : std::to_string(value);
}

// The precise reading named in a tuning system: its nearest note, target and cents.
std::string NoteFields(const PreciseReading& precise, const tuning::TuningSystem& tuning)
{
    const double hz = precise.firstPartialHz;
    if (!precise.found || !std::isfinite(hz) || hz <= 0.0) {
        return ", \"note\": null, \"target\": null, \"cents\": null";
    }
    const tuning::TuningSystem::Reading nearest = tuning.Nearest(hz);
    return ", \"note\": " + JsonString(nearest.note.name) + ", \"target\": " + JsonReal(nearest.note.targetHz) +
           ", \"cents\": " + JsonReal(nearest.cents);
}

}  // namespace

std::string JsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                quoted += escape;
            } else {
                quoted += c;
            }
        }
    }
    quoted += '"';
    return quoted;
}

std::string FormatLabels(const RecordingAnalysis& analysis)
{
    std::string text = std::string(kFrequencyCaption) + analysis.frequencyText + "\n";
    text += std::string(kSnrCaption) + analysis.snrText + "\n";
    if (analysis.semitoneText) {
        text += std::string(kSemitoneCaption) + *analysis.semitoneText + "\n";
    }
    if (analysis.deviationText) {
        text += std::string(kDeviationCaption) + *analysis.deviationText + "\n";
    }
    return text;
}

std::string FormatJson(const RecordingAnalysis& analysis, const tuning::TuningSystem* tuning)
{
    const PitchDiagnostics& diagnostics = analysis.diagnostics;
    const bool noRegion = !diagnostics.regionFound;
    std::string json = "{\n";
    const auto field = [&json](const char* name, const std::string& value, bool last = false) {
        json += "  \"";
        json += name;
        json += "\": " + value + (last ? "\n" : ",\n");
    };
    field("frequency_text", JsonString(analysis.frequencyText));
    field("snr_text", JsonString(analysis.snrText));
    field("semitone_text", JsonOptionalString(analysis.semitoneText));
    field("deviation_text", JsonOptionalString(analysis.deviationText));
    field("frequency", JsonReal(analysis.frequency));
    field("snr_used", std::to_string(analysis.snrUsed));
    field("byte_count", JsonNumberUnless(analysis.noSound, analysis.byteCount));
    field("semitone", JsonNumberUnless(analysis.noSound, analysis.semitone));
    field("deviation", analysis.noSound ? "null" : JsonReal(analysis.deviation));
    field("no_sound", analysis.noSound ? "true" : "false");
    field("begin", JsonNumberUnless(noRegion, diagnostics.begin));
    field("end", JsonNumberUnless(noRegion, diagnostics.end));
    field("count", JsonNumberUnless(!diagnostics.periodsCounted, diagnostics.count), !analysis.precise);
    if (analysis.precise) {
        const PreciseReading& precise = *analysis.precise;
        field("precise", "{\"found\": " + std::string(precise.found ? "true" : "false") +
                             ", \"first_partial_hz\": " + JsonReal(precise.firstPartialHz) +
                             ", \"begin\": " + std::to_string(precise.beginByte) +
                             ", \"end\": " + std::to_string(precise.endByte) +
                             ", \"confidence\": " + JsonReal(precise.confidence) +
                             ", \"inharmonicity\": " + JsonReal(precise.inharmonicity) +
                             ", \"partials\": " + std::to_string(precise.partialCount) +
                             (tuning != nullptr ? NoteFields(precise, *tuning) : "") + "}",
              true);
    }
    json += "}\n";
    return json;
}

}  // namespace tonarel::analyze
