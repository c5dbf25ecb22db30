// The Scala scale reader on arbitrary text, and the tuning system built on
// what it accepts.
//
// Input: the text of a .scl file, nothing else. The tonic (the size modulo
// 12) and the reference pitch (400 Hz plus the size modulo 81) follow from the
// input's length, so that every seed is a plain scale file.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz/AllocationWatch.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/Utf8.h"
#include "tuner/core/PitchNames.h"
#include "tuner/core/ScalaScale.h"
#include "tuner/core/TuningSystem.h"

namespace tonarel::fuzz {
namespace {

// What the reader keeps grows with the text: at most one degree per two bytes
// (a value and its line end), each a double and a string, in vectors that
// double their capacity.
constexpr std::size_t kBytesKeptPerInputByte = 32;
constexpr std::size_t kSmallestAllocationBound = 1024;

// Frequencies across the audible range and past it.
constexpr double kProbeHz[] = {0.5, 27.5, 98.0, 261.6256, 440.0, 1234.5, 4186.0, 19000.0};

std::size_t LineCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
           (text.empty() || text.back() == '\n' ? 0 : 1);
}

// A ratio text "p/q" or "p" as the two numbers, read here on their own.
bool RatioOf(std::string_view text, uint64_t& numerator, uint64_t& denominator)
{
    const std::size_t slash = text.find('/');
    const std::string_view top = text.substr(0, slash);
    const std::string_view bottom = slash == std::string_view::npos ? "1" : text.substr(slash + 1);
    const auto top_read = std::from_chars(top.data(), top.data() + top.size(), numerator);
    const auto bottom_read = std::from_chars(bottom.data(), bottom.data() + bottom.size(), denominator);
    return top_read.ec == std::errc{} && top_read.ptr == top.data() + top.size() && bottom_read.ec == std::errc{} &&
           bottom_read.ptr == bottom.data() + bottom.size();
}

void CheckError(const tuning::ScalaError& error, std::string_view text)
{
    FUZZ_CHECK(error.line >= 1 && static_cast<std::size_t>(error.line) <= LineCount(text) + 1);
    FUZZ_CHECK(IsValidUtf8(error.message));
    FUZZ_CHECK(error.message.starts_with("第 " + std::to_string(error.line) + " 行："));
}

void CheckScale(const tuning::ScalaScale& scale, std::string_view text)
{
    FUZZ_CHECK(!scale.degreeCents.empty() && scale.degreeCents.size() == scale.degreeTexts.size());
    FUZZ_CHECK(scale.PeriodCents() > 0.0);
    // One line of the text, without its line end (a CR before it is content
    // only when there are two).
    FUZZ_CHECK(scale.description.find('\n') == std::string::npos &&
               text.find(scale.description) != std::string::npos);
    for (std::size_t k = 0; k < scale.degreeCents.size(); ++k) {
        const std::string& written = scale.degreeTexts[k];
        FUZZ_CHECK(std::isfinite(scale.degreeCents[k]));
        FUZZ_CHECK(!written.empty() && text.find(written) != std::string_view::npos);
        if (written.find('.') != std::string::npos) {
            continue;
        }
        uint64_t numerator = 0;
        uint64_t denominator = 0;
        FUZZ_CHECK(RatioOf(written, numerator, denominator));
        FUZZ_CHECK(numerator >= 1 && numerator <= 2147483647 && denominator >= 1 && denominator <= 2147483647);
        FUZZ_CHECK(scale.degreeCents[k] ==
                   tuning::CentsBetween(static_cast<double>(numerator), static_cast<double>(denominator)));
    }
}

void CheckTuningSystem(const tuning::TuningSystem& system)
{
    if (system.HasTwelveNotes()) {
        // A4 is the reference; another note may share its pitch (a scale may
        // repeat a pitch), so the nearest is in tune but not always A4.
        const tuning::TuningSystem::Note a4 = system.NoteAt(tuning::kMidiA4);
        FUZZ_CHECK(a4.name == "A4" && a4.targetHz == system.ReferenceHz());
        FUZZ_CHECK(std::abs(system.Nearest(system.ReferenceHz()).cents) < 1e-6);
    }
    for (const double hz : kProbeHz) {
        const tuning::TuningSystem::Reading reading = system.Nearest(hz);
        const tuning::TuningSystem::Note& note = reading.note;
        FUZZ_CHECK(!note.name.empty() && IsValidUtf8(note.name));
        FUZZ_CHECK(std::isfinite(reading.cents) && std::isfinite(note.targetHz) && note.targetHz > 0.0);
        const tuning::TuningSystem::Note again = system.NoteAt(note.index);
        FUZZ_CHECK(again.name == note.name && again.targetHz == note.targetHz);
        // A note's own target is in tune with some note of the system.
        if (std::abs(note.index) < tuning::kLargestNoteIndex) {
            FUZZ_CHECK(std::abs(system.Nearest(note.targetHz).cents) < 1e-6);
        }
    }
}

}  // namespace

void FuzzScalaScale(const uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AllocationWatch watch;
    const auto parsed = tuning::ParseScala(text);
    FUZZ_CHECK(watch.Largest() <= std::max(kSmallestAllocationBound, kBytesKeptPerInputByte * (size + 1)));
    if (const auto* error = std::get_if<tuning::ScalaError>(&parsed)) {
        CheckError(*error, text);
        return;
    }
    const auto& scale = std::get<tuning::ScalaScale>(parsed);
    CheckScale(scale, text);
    const int tonic = static_cast<int>(size % 12);
    const double reference = 400.0 + static_cast<double>(size % 81);
    CheckTuningSystem(tuning::TuningSystem(reference, scale, tonic, "fuzz.scl"));
}

}  // namespace tonarel::fuzz
