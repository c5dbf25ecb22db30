#include "temperament/core/LineDetails.h"

#include "common/NumberFormat.h"

namespace tonarel {
namespace {

// The extended-precision quotient as it stands: a zero divisor (a 0 Hz entry,
// which a loaded file may hold) gives an infinity of the numerator's sign, or
// not-a-number for 0 / 0, and the memo shows that value as such.
long double Ratio(long double numerator, long double denominator)
{
    return numerator / denominator;
}

}  // namespace

LineDetails DetailsOfLine(const TemperamentTable& table, TemperamentDirection direction, int32_t line)
{
    const bool treble = direction == TemperamentDirection::Treble;
    const auto slot = static_cast<std::size_t>(treble ? line : kFirstBassSlot + line);
    const SlotTable& measured = table.MeasuredTable();

    LineDetails details;
    details.semitoneNumber = treble ? line : -line;
    details.currentHz = measured[slot];
    details.standardHz = table.StandardTable()[slot];
    details.deviationRatio = Ratio(details.currentHz - details.standardHz, details.standardHz);
    if (line == 0) {
        details.interval = Ratio(details.currentHz, details.currentHz);
    } else if (treble) {
        details.interval = Ratio(details.currentHz, measured[slot - 1]);
    } else {
        details.interval = Ratio(measured[slot - 1], details.currentHz);
    }
    return details;
}

std::array<std::string, 5> DetailMemoLines(const LineDetails& details, const DecimalSeparator& decimalSeparator)
{
    return {
        "半音序号:" + FormatGeneral(details.semitoneNumber, decimalSeparator),
        "当前频率：" + FormatGeneral(details.currentHz, decimalSeparator),
        "标准频率：" + FormatGeneral(details.standardHz, decimalSeparator),
        "偏差：" + FormatGeneral(details.deviationRatio, decimalSeparator),
        "音程：" + FormatGeneral(details.interval, decimalSeparator),
    };
}

}  // namespace tonarel
