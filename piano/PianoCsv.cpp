#include "piano/PianoCsv.h"

#include <charconv>
#include <span>

#include "common/FileErrorText.h"
#include "common/AtomicFileWrite.h"

namespace tonarel::piano {
namespace {

std::string Number(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string FormatPianoCsv(const PianoFileContents& contents)
{
    const StretchCurve& curve = contents.curve;
    const char* source = curve.source == InharmonicitySource::kMeasured ? "measured" : "average_grand";
    std::string csv = "key,name,b,target_cents,target_hz,measured_hz,measured_b,measured_cents,readings,curve\n";
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        csv += std::to_string(key) + "," + tuning::NoteName(MidiOfKey(key)) + "," + Number(curve.b[IndexOfKey(key)]) +
               "," + Number(curve.TargetCents(key)) + "," + Number(curve.TargetHz(key, contents.referenceHz)) + ",";
        if (const std::optional<KeySummary> summary = contents.measurements.Summary(key)) {
            csv += Number(summary->firstPartialHz) + "," + Number(summary->b) + "," +
                   Number(CentsFromEqualTemperament(key, summary->firstPartialHz, contents.referenceHz)) + "," +
                   std::to_string(summary->readingCount);
        } else {
            csv += ",,,";
        }
        csv += ",";
        csv += source;
        csv += "\n";
    }
    return csv;
}

std::optional<SaveFailure> WritePianoCsv(const std::filesystem::path& path, const PianoFileContents& contents)
{
    return SaveTextAtomically(path, FormatPianoCsv(contents));
}

}  // namespace tonarel::piano
