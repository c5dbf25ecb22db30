// The temperament file reader, the replay into a table, and the save.
//
// Input: the file's bytes. A temperament file is 491 bytes and a reader
// ignores what follows, so byte 491, when there is one, chooses what the load
// meets: bit 0 "指定标准音" ticked; bits 1-2 the decimal separator (".", ",",
// "٫", "."); bits 3-7 how many readings the table already holds (that many
// treble readings and half as many bass readings, on the 440 Hz scale).

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "common/EqualTemperament.h"
#include "fuzz/AllocationWatch.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/ScratchDirectory.h"
#include "fuzz/Utf8.h"
#include "temperament/core/LineDetails.h"
#include "temperament/core/TemperamentFile.h"
#include "temperament/core/TemperamentReplay.h"
#include "temperament/core/TemperamentTable.h"

namespace tonarel::fuzz {
namespace {

// Nothing the load allocates depends on the file: the largest allocation is
// the list lines of a full table and the reading stream's buffer.
constexpr std::size_t kLargestLoadAllocation = 16 * 1024;

const DecimalSeparator kSeparators[] = {".", ",", "\u066B", "."};

// The table's whole state, bit for bit (a slot may hold any float, NaN too).
struct TableImage {
    int32_t trebleCount = 0;
    int32_t bassCursor = 0;
    SlotTable measured{};
    SlotTable standard{};
};

TableImage ImageOf(const TemperamentTable& table)
{
    return {table.TrebleCount(), table.BassCursor(), table.MeasuredTable(), table.StandardTable()};
}

bool SameImage(const TableImage& a, const TableImage& b)
{
    return a.trebleCount == b.trebleCount && a.bassCursor == b.bassCursor &&
           std::memcmp(a.measured.data(), b.measured.data(), sizeof a.measured) == 0 &&
           std::memcmp(a.standard.data(), b.standard.data(), sizeof a.standard) == 0;
}

// A table as the musician may have left it before opening a file.
TemperamentTable MakeTableWithReadings(int readings)
{
    TemperamentTable table;
    ReadingOptions options;
    for (int k = 0; k < readings; ++k) {
        options.direction = TemperamentDirection::Treble;
        table.AddReading(440.0f * std::exp2(static_cast<float>(k) / 12.0f) * 1.001f, options);
        if (k % 2 == 0) {
            options.direction = TemperamentDirection::Bass;
            table.AddReading(440.0f / std::exp2(static_cast<float>(k / 2) / 12.0f) * 0.999f, options);
        }
    }
    return table;
}

constexpr int kPrefilledTables = 32;

const TemperamentTable& TableWithReadings(int readings)
{
    static const std::array<TemperamentTable, kPrefilledTables> tables = [] {
        std::array<TemperamentTable, kPrefilledTables> made;
        for (int k = 0; k < kPrefilledTables; ++k) {
            made[static_cast<std::size_t>(k)] = MakeTableWithReadings(k);
        }
        return made;
    }();
    return tables[static_cast<std::size_t>(readings)];
}

int32_t Int32At(const uint8_t* bytes)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return static_cast<int32_t>(value);
}

// The format's rule for accepting a file, read off the bytes directly.
bool IsTemperamentFile(const uint8_t* data, std::size_t size)
{
    if (size < kTemperamentFileBytes || std::memcmp(data, "qrv", 3) != 0) {
        return false;
    }
    const int32_t treble = Int32At(data + 3);
    const int32_t bass = Int32At(data + 7);
    return treble >= 0 && treble <= 60 && bass >= 60 && bass <= 120;
}

bool EncodesTo(const TemperamentFileContents& contents, const uint8_t* data)
{
    const TemperamentFileBytes bytes = EncodeTemperamentFile(contents);
    return std::memcmp(bytes.data(), data, bytes.size()) == 0;
}

// An accepted replay: the table holds the file, its lines say so, and a save
// writes the file's 491 bytes back.
void CheckAcceptedReplay(const TemperamentTable& table, const ReplayedLines& lines,
                         const TemperamentFileContents& contents, const uint8_t* data, const std::string& separator,
                         bool fixedBase)
{
    FUZZ_CHECK(table.TrebleCount() == contents.trebleCount && table.BassCursor() == contents.bassCursor);
    FUZZ_CHECK(EncodesTo(ContentsOf(table), data));

    const int32_t bassLines = contents.bassCursor - kFirstBassSlot;
    FUZZ_CHECK(lines.size() == static_cast<std::size_t>(bassLines + contents.trebleCount));
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const ListLineChange& line = lines[k];
        const bool bass = k < static_cast<std::size_t>(bassLines);
        const int32_t position = bass ? static_cast<int32_t>(k) : static_cast<int32_t>(k) - bassLines;
        FUZZ_CHECK(line.list == (bass ? TemperamentDirection::Bass : TemperamentDirection::Treble));
        FUZZ_CHECK(!line.replacesLine && line.line == position);
        FUZZ_CHECK(line.text.starts_with(std::to_string(bass ? -position : position) + "."));
        FUZZ_CHECK(line.text.ends_with("音分") && IsValidUtf8(line.text));
        const std::string_view afterVerdict = std::string_view(line.text).substr(line.text.find("！") + 3);
        FUZZ_CHECK(afterVerdict.find(separator) != std::string_view::npos || afterVerdict.starts_with("NAN") ||
                   afterVerdict.find("INF") != std::string_view::npos);

        // The detail memo of the first two and the last line of each list
        // (each line's interval involves its predecessor).
        const int32_t lastLine = bass ? bassLines - 1 : contents.trebleCount - 1;
        if (position <= 1 || position == lastLine) {
            const LineDetails details = DetailsOfLine(table, line.list, line.line);
            for (const std::string& memoLine : DetailMemoLines(details, separator)) {
                FUZZ_CHECK(IsValidUtf8(memoLine));
            }
        }
    }
    if (!lines.empty()) {
        const std::size_t baseSlot = bassLines > 0 ? kFirstBassSlot : 0;
        const float base = fixedBase ? kReferencePitchHz : contents.measured[baseSlot];
        FUZZ_CHECK(std::memcmp(&table.StandardTable()[0], &base, sizeof base) == 0);
    }

    // The save through the file system, byte for byte.
    static const std::string saved = ScratchPath("saved.qrv");
    FUZZ_CHECK(!WriteTemperamentFile(saved.c_str(), ContentsOf(table)));
    const std::string bytes = ReadWholeFile(saved, kTemperamentFileBytes + 1);
    FUZZ_CHECK(bytes.size() == kTemperamentFileBytes && std::memcmp(bytes.data(), data, bytes.size()) == 0);
}

}  // namespace

void FuzzTemperamentFile(const uint8_t* data, std::size_t size)
{
    const uint8_t choice = size > kTemperamentFileBytes ? data[kTemperamentFileBytes] : 0;
    const bool fixedBase = (choice & 1u) != 0;
    const DecimalSeparator& separator = kSeparators[(choice >> 1) & 3u];
    TemperamentTable table = TableWithReadings(choice >> 3);
    const TableImage before = ImageOf(table);

    static const std::string path = ScratchPath("table.qrv");
    WriteWholeFile(path, data, size);

    const AllocationWatch watch;
    const char* refusal = nullptr;
    const std::optional<TemperamentFileContents> contents = ReadTemperamentFile(path.c_str(), &refusal);
    const std::optional<TemperamentFileContents> decoded = DecodeTemperamentFile({data, size});
    FUZZ_CHECK(contents.has_value() == IsTemperamentFile(data, size));
    FUZZ_CHECK(decoded.has_value() == contents.has_value());
    if (!contents) {
        FUZZ_CHECK(refusal != nullptr && std::strcmp(refusal, kNotTemperamentFileMessage) == 0);
        return;
    }
    FUZZ_CHECK(EncodesTo(*contents, data) && EncodesTo(*decoded, data));

    const auto replayed = ReplayTemperamentFile(table, *contents, fixedBase, separator);
    FUZZ_CHECK(watch.Largest() <= std::max(size, kLargestLoadAllocation));
    if (const auto* refused = std::get_if<ReadingRefused>(&replayed)) {
        // Only a first reading that cannot carry a scale is refused, and a
        // refusal changes nothing at all.
        FUZZ_CHECK(SameImage(ImageOf(table), before));
        FUZZ_CHECK(!fixedBase);
        const bool hasBass = contents->bassCursor > kFirstBassSlot;
        FUZZ_CHECK(hasBass || contents->trebleCount > 0);
        FUZZ_CHECK(!IsUsableBase(contents->measured[hasBass ? kFirstBassSlot : 0]));
        FUZZ_CHECK(!refused->reason.empty() && IsValidUtf8(refused->reason));
        return;
    }
    CheckAcceptedReplay(table, std::get<ReplayedLines>(replayed), *contents, data, separator.Text(), fixedBase);
}

}  // namespace tonarel::fuzz
