// tonarel-accuracy: how close the specified and the precise reading come to
// the known pitch of a folder of recordings. Run by developers like a
// benchmark, not by the test suite:
//
//   tonarel-accuracy FOLDER [--notes]
//
// FOLDER holds manifest.tsv (columns file, measured_hz, reliability, and
// optionally instrument) and the files it names, in FOLDER/wav/ or FOLDER/.
// Prints, for each reading side by side: notes, median |error| in cents,
// notes within 1 and 5 cents, gross errors (over 50 cents) and misses (no
// reading), for all notes but those rated unreliable, for all notes, and per
// instrument; then the files without a pitch, and the cost per note.
// --notes adds one line per note.

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "meter/core/RecordingAnalysis.h"
#include "meter/core/SemitoneTable.h"
#include "precise/PreciseReading.h"
#include "tools/accuracy/AccuracySummary.h"
#include "tools/accuracy/Manifest.h"

namespace {

using namespace tonarel;
using namespace tonarel::accuracy;
using Clock = std::chrono::steady_clock;

struct NoteResult {
    ManifestNote note;
    std::optional<double> specifiedHz;
    PreciseReading precise;
    double specifiedMs = 0.0;
    double preciseMs = 0.0;
};

std::string Cents(const std::optional<double>& error)
{
    if (!error) {
        return "miss";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f", *error);
    return text;
}

void PrintSummaryRow(const std::string& group, const std::vector<const NoteResult*>& notes)
{
    std::vector<std::optional<double>> specified, precise;
    for (const NoteResult* result : notes) {
        specified.push_back(ErrorCents(result->specifiedHz, *result->note.measuredHz));
        precise.push_back(ErrorCents(result->precise.found ? std::optional(result->precise.firstPartialHz) : std::nullopt,
                                     *result->note.measuredHz));
    }
    const auto cells = [](const AccuracySummary& s) {
        char text[96];
        std::snprintf(text, sizeof text, "%9.2f %4u %4u %4u %4u", s.medianAbsCents, s.withinOneCent, s.withinFiveCents,
                      s.gross, s.misses);
        return std::string(text);
    };
    std::printf("%-24s %5zu | %s | %s\n", group.c_str(), notes.size(), cells(Summarise(specified)).c_str(),
                cells(Summarise(precise)).c_str());
}

void PrintNoteLine(const NoteResult& result)
{
    const double reference = result.note.measuredHz.value_or(0.0);
    const std::optional<double> preciseHz =
        result.precise.found ? std::optional(result.precise.firstPartialHz) : std::nullopt;
    std::printf("%-40s %10.4f %-10s | %10.4f %9s | %10.4f %9s conf %.3f B %.2e k %2u\n", result.note.file.c_str(),
                reference, result.note.reliability.c_str(), result.specifiedHz.value_or(0.0),
                result.note.measuredHz ? Cents(ErrorCents(result.specifiedHz, reference)).c_str() : "-",
                result.precise.firstPartialHz,
                result.note.measuredHz ? Cents(ErrorCents(preciseHz, reference)).c_str()
                                       : (result.precise.found ? "reading" : "none"),
                result.precise.confidence, result.precise.inharmonicity, result.precise.partialCount);
}

}  // namespace

int main(int argc, char** argv)
{
    std::optional<std::filesystem::path> folder;
    bool perNote = false;
    for (int k = 1; k < argc; ++k) {
        const std::string argument = argv[k];
        if (argument == "--notes") {
            perNote = true;
        } else if (!folder && !argument.starts_with("-")) {
            folder = argument;
        } else {
            std::fprintf(stderr, "tonarel-accuracy: 无法理解的参数 \"%s\"\n用法：tonarel-accuracy FOLDER [--notes]\n",
                         argument.c_str());
            return 2;
        }
    }
    if (!folder) {
        std::fputs("用法：tonarel-accuracy FOLDER [--notes]\n", stderr);
        return 2;
    }
    const auto manifest = ReadManifest(*folder / "manifest.tsv");
    if (const auto* error = std::get_if<std::string>(&manifest)) {
        std::fprintf(stderr, "tonarel-accuracy: %s\n", error->c_str());
        return 1;
    }

    std::array<float, kSemitoneCount> semitoneTable{};
    BuildSemitoneTable(kReferencePitchHz, semitoneTable);
    std::vector<NoteResult> results;
    for (const ManifestNote& note : std::get<std::vector<ManifestNote>>(manifest)) {
        std::filesystem::path file = *folder / "wav" / note.file;
        if (!std::filesystem::exists(file)) {
            file = *folder / note.file;
        }
        if (!std::filesystem::exists(file)) {
            std::fprintf(stderr, "tonarel-accuracy: 找不到文件 \"%s\"\n", note.file.c_str());
            return 1;
        }
        NoteResult result{note, std::nullopt, {}, 0.0, 0.0};
        const Clock::time_point start = Clock::now();
        const RecordingAnalysis analysis = AnalyseRecording(file, {}, semitoneTable);
        const Clock::time_point middle = Clock::now();
        result.precise = EstimatePrecisePitch(file);
        const Clock::time_point end = Clock::now();
        if (!analysis.noSound) {
            result.specifiedHz = analysis.frequency;
        }
        result.specifiedMs = std::chrono::duration<double, std::milli>(middle - start).count();
        result.preciseMs = std::chrono::duration<double, std::milli>(end - middle).count();
        results.push_back(result);
    }

    if (perNote) {
        std::printf("%-40s %10s %-10s | %10s %9s | %10s %9s\n", "file", "reference", "rating", "specified", "cents",
                    "precise", "cents");
        for (const NoteResult& result : results) {
            PrintNoteLine(result);
        }
        std::printf("\n");
    }

    std::vector<const NoteResult*> reliable, all;
    std::map<std::string, std::vector<const NoteResult*>> byInstrument;
    std::vector<const NoteResult*> withoutPitch;
    for (const NoteResult& result : results) {
        if (!result.note.measuredHz) {
            withoutPitch.push_back(&result);
            continue;
        }
        all.push_back(&result);
        if (result.note.reliability != "unreliable") {
            reliable.push_back(&result);
        }
        byInstrument[result.note.instrument.empty() ? "-" : result.note.instrument].push_back(&result);
    }
    std::printf("%-24s %5s | %-29s | %-29s\n", "", "", "specified reading", "precise reading");
    std::printf("%-24s %5s | %9s %4s %4s %4s %4s | %9s %4s %4s %4s %4s\n", "group", "notes", "median|c|", "<=1c",
                "<=5c", ">50c", "miss", "median|c|", "<=1c", "<=5c", ">50c", "miss");
    PrintSummaryRow("all but unreliable", reliable);
    PrintSummaryRow("all", all);
    for (const auto& [instrument, notes] : byInstrument) {
        PrintSummaryRow("  " + instrument, notes);
    }
    if (!withoutPitch.empty()) {
        uint32_t specifiedReadings = 0, preciseReadings = 0;
        for (const NoteResult* result : withoutPitch) {
            specifiedReadings += result->specifiedHz ? 1 : 0;
            preciseReadings += result->precise.found ? 1 : 0;
        }
        std::printf("files without a pitch: %zu; a reading (wrongly) from the specified: %u, from the precise: %u\n",
                    withoutPitch.size(), specifiedReadings, preciseReadings);
    }
    double specifiedMs = 0.0, preciseMs = 0.0;
    for (const NoteResult& result : results) {
        specifiedMs += result.specifiedMs;
        preciseMs += result.preciseMs;
    }
    const double count = static_cast<double>(std::max<std::size_t>(results.size(), 1));
    std::printf("cost per note (file read included): specified %.2f ms, precise %.2f ms\n", specifiedMs / count,
                preciseMs / count);
    return 0;
}
