#pragma once
// How the tuner window writes its readings.

#include <QString>

#include "common/NumberFormat.h"

namespace tonarel::tuner {

/// Cents with one decimal and always a sign, except for zero: "+7.9", "-3.2",
/// "0.0" (anything that rounds to zero, -0.04 included). Ties round away from
/// zero.
QString CentsText(double cents, const DecimalSeparator& separator = {});

/// Hertz with two decimals: "442.00", "27.50".
QString HertzText(double hz, const DecimalSeparator& separator = {});

/// "准确" when the cents as shown (rounded to 0.1) lie within `toleranceCents`
/// either side of zero, else "偏高" above and "偏低" below. Rounding first
/// keeps the verdict in step with the figure beside it: with a tolerance of
/// 1.0, "+1.0" reads 准确 and "+1.1" reads 偏高.
QString VerdictText(double cents, double toleranceCents);

/// What the value labels show before the first note.
inline const QString kNoValueText = QStringLiteral("—");

}  // namespace tonarel::tuner
