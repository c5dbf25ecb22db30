#include "temperament/core/TemperamentTable.h"

#include <cmath>

#include "common/EqualTemperament.h"
#include "common/NumberFormat.h"
#include "temperament/core/ReadingVerdict.h"

namespace tonarel {
namespace {

static_assert(kTemperamentSlots == kEqualTemperedEntries);
static_assert(kFirstBassSlot + kDirectionCapacity == static_cast<int32_t>(kTemperamentSlots));

// Where an accepted reading goes.
struct Placement {
    int32_t slot = 0;
    int32_t semitoneNumber = 0;
    int32_t line = 0;
    bool replacesLine = false;
};

std::string NoSelectionReason(TemperamentDirection direction)
{
    return direction == TemperamentDirection::Treble ? "没有选中要调整的高音记录，本次读数未记录。"
                                                     : "没有选中要调整的低音记录，本次读数未记录。";
}

std::string FullReason(TemperamentDirection direction)
{
    return direction == TemperamentDirection::Treble ? "高音记录已满60个，本次读数未记录。"
                                                     : "低音记录已满60个，本次读数未记录。";
}

std::string UnusableBaseReason(float hz, const DecimalSeparator& decimalSeparator)
{
    return "频率" + FormatGeneral(hz, decimalSeparator) + "不能作为标准音，本次读数未记录。";
}

}  // namespace

TemperamentTable::TemperamentTable() = default;

int32_t TemperamentTable::EntryCount(TemperamentDirection direction) const
{
    return direction == TemperamentDirection::Treble ? trebleCount_ : bassCursor_ - kFirstBassSlot;
}

void TemperamentTable::BuildStandardTable(float baseHz)
{
    BuildEqualTemperedTable(baseHz, standard_.data(), kTemperamentSlots);
}

ReadingOutcome TemperamentTable::AddReading(float hz, const ReadingOptions& options)
{
    const TemperamentDirection direction = options.direction;
    const bool treble = direction == TemperamentDirection::Treble;
    const int32_t entries = EntryCount(direction);

    Placement placement;
    if (options.mode == ReadingMode::Adjust) {
        const int32_t selected = treble ? options.selectedTrebleLine : options.selectedBassLine;
        // A selection past the entries cannot come from a list that mirrors
        // the table, but it must never reach a slot that no entry covers.
        if (selected < 0 || selected >= entries) {
            return ReadingRefused{NoSelectionReason(direction)};
        }
        placement.line = selected;
        placement.replacesLine = true;
    } else {
        if (entries >= kDirectionCapacity) {
            return ReadingRefused{FullReason(direction)};
        }
        placement.line = entries;
    }
    placement.slot = treble ? placement.line : kFirstBassSlot + placement.line;
    placement.semitoneNumber = treble ? placement.line : -placement.line;

    if (IsEmpty()) {
        const float base = options.fixedBase ? kReferencePitchHz : hz;
        if (!IsUsableBase(base)) {
            return ReadingRefused{UnusableBaseReason(base, options.decimalSeparator)};
        }
        BuildStandardTable(base);
    }

    const auto slot = static_cast<std::size_t>(placement.slot);
    measured_[slot] = hz;
    const float deviation = DeviationInHundredths(measured_[slot], standard_[slot]);

    ListLineChange change;
    change.list = direction;
    change.replacesLine = placement.replacesLine;
    change.line = placement.line;
    change.text = FormatReadingLine(placement.semitoneNumber, deviation, options.decimalSeparator);

    if (!placement.replacesLine) {
        if (treble) {
            ++trebleCount_;
        } else {
            ++bassCursor_;
        }
    }
    return change;
}

void TemperamentTable::Clear()
{
    trebleCount_ = 0;
    bassCursor_ = kFirstBassSlot;
}

void TemperamentTable::BeginReplay(const SlotTable& measured)
{
    Clear();
    measured_ = measured;
}

bool IsUsableBase(float baseHz)
{
    if (!std::isfinite(baseHz) || baseHz <= 0.0f) {
        return false;
    }
    SlotTable scale;
    BuildEqualTemperedTable(baseHz, scale.data(), kTemperamentSlots);
    for (float standard : scale) {
        if (!std::isnormal(standard)) {
            return false;
        }
    }
    return true;
}

}  // namespace tonarel
