// The piano file reader, and the save of what it accepts.
//
// Input: the file's bytes, as they are. A file is read from the disk and from
// memory alike; an accepted one holds only values in their ranges, saves to
// a file that reads back the same, and its readings give a curve of finite
// targets; a refused one is refused with its message.

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/ScratchDirectory.h"
#include "fuzz/Utf8.h"
#include "piano/InharmonicityFit.h"
#include "piano/PianoFile.h"
#include "piano/StretchCurve.h"

namespace tonarel::fuzz {
namespace {

using namespace tonarel::piano;

bool SameContents(const PianoFileContents& a, const PianoFileContents& b)
{
    return a.referenceHz == b.referenceHz && a.measurements == b.measurements && a.curve.source == b.curve.source &&
           a.curve.b == b.curve.b && a.curve.targetCents == b.curve.targetCents;
}

void CheckInRanges(const PianoFileContents& contents)
{
    FUZZ_CHECK(contents.referenceHz >= kLowestReferenceHz && contents.referenceHz <= kHighestReferenceHz);
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        FUZZ_CHECK(contents.measurements.Readings(key).size() <= kMostReadingsPerKey);
        for (const KeyReading& reading : contents.measurements.Readings(key)) {
            FUZZ_CHECK(IsValidReading(reading));
        }
        const double b = contents.curve.b[IndexOfKey(key)];
        const double cents = contents.curve.TargetCents(key);
        FUZZ_CHECK(b >= 0.0 && b <= kHighestInharmonicity);
        FUZZ_CHECK(std::isfinite(cents) && std::fabs(cents) <= kLargestTargetCents);
        FUZZ_CHECK(std::isfinite(contents.curve.TargetHz(key, contents.referenceHz)));
    }
}

}  // namespace

void FuzzPianoFile(const uint8_t* data, std::size_t size)
{
    static const std::string path = ScratchPath("piano.piano.json");
    WriteWholeFile(path, data, size);

    const char* refusal = nullptr;
    const std::optional<PianoFileContents> read = ReadPianoFile(path, &refusal);
    const char* memoryRefusal = nullptr;
    const std::optional<PianoFileContents> decoded =
        DecodePianoFile(std::string_view(reinterpret_cast<const char*>(data), size), &memoryRefusal);
    FUZZ_CHECK(read.has_value() == decoded.has_value());
    if (!read) {
        FUZZ_CHECK(refusal != nullptr && memoryRefusal != nullptr && std::strcmp(refusal, memoryRefusal) == 0);
        FUZZ_CHECK(std::strcmp(refusal, kNotPianoFileMessage) == 0 || std::strcmp(refusal, kNewerPianoFileMessage) == 0);
        FUZZ_CHECK(IsValidUtf8(refusal));
        return;
    }
    FUZZ_CHECK(SameContents(*read, *decoded));
    CheckInRanges(*read);

    // What was read saves and reads back the same.
    static const std::string saved = ScratchPath("saved.piano.json");
    FUZZ_CHECK(!WritePianoFile(saved, *read));
    const std::optional<PianoFileContents> again = ReadPianoFile(saved);
    FUZZ_CHECK(again && SameContents(*again, *read));

    // The readings give a curve whatever they are.
    const StretchCurve curve = ComputeStretchCurve(FitInharmonicity(read->measurements));
    for (int key = kFirstKey; key <= kLastKey; ++key) {
        FUZZ_CHECK(std::isfinite(curve.TargetCents(key)));
    }
    FUZZ_CHECK(curve.TargetCents(kTemperamentHighKey) == 0.0);
}

}  // namespace tonarel::fuzz
