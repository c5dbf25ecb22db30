#include "temperament/core/TemperamentReplay.h"

#include "common/NumberFormat.h"

namespace tonarel {
namespace {

ReadingRefused UnusableFirstReading(float hz, const DecimalSeparator& decimalSeparator)
{
    return ReadingRefused{"此文件的第一个音（频率" + FormatGeneral(hz, decimalSeparator) +
                          "）不能作为标准音，请勾选“指定标准音”后再打开。"};
}

}  // namespace

std::variant<ReplayedLines, ReadingRefused> ReplayTemperamentFile(TemperamentTable& table,
                                                                  const TemperamentFileContents& contents,
                                                                  bool fixedBase,
                                                                  const DecimalSeparator& decimalSeparator)
{
    // Counters that no table can hold are refused before any slot is read.
    if (contents.trebleCount < 0 || contents.trebleCount > kDirectionCapacity || contents.bassCursor < kFirstBassSlot ||
        contents.bassCursor > kFirstBassSlot + kDirectionCapacity) {
        return ReadingRefused{kNotTemperamentFileMessage};
    }
    // Replay into a copy, so that a refusal half-way can never leave the
    // musician's table half replaced.
    TemperamentTable replayed = table;
    replayed.BeginReplay(contents.measured);

    ReadingOptions options;
    options.mode = ReadingMode::Input;
    options.fixedBase = fixedBase;
    options.decimalSeparator = decimalSeparator;

    ReplayedLines lines;
    auto replaySlot = [&](std::size_t slot) -> bool {
        const float hz = contents.measured[slot];
        ReadingOutcome outcome = replayed.AddReading(hz, options);
        if (std::holds_alternative<ReadingRefused>(outcome)) {
            return false;
        }
        lines.push_back(std::get<ListLineChange>(std::move(outcome)));
        return true;
    };

    options.direction = TemperamentDirection::Bass;
    for (int32_t slot = kFirstBassSlot; slot < contents.bassCursor; ++slot) {
        if (!replaySlot(static_cast<std::size_t>(slot))) {
            return UnusableFirstReading(contents.measured[static_cast<std::size_t>(slot)], decimalSeparator);
        }
    }
    options.direction = TemperamentDirection::Treble;
    for (int32_t slot = 0; slot < contents.trebleCount; ++slot) {
        if (!replaySlot(static_cast<std::size_t>(slot))) {
            return UnusableFirstReading(contents.measured[static_cast<std::size_t>(slot)], decimalSeparator);
        }
    }
    table = replayed;
    return lines;
}

}  // namespace tonarel
