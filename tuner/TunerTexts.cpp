#include "tuner/TunerTexts.h"

#include <cmath>

namespace tonarel::tuner {

namespace {

double TenthsOf(double cents)
{
    return std::round(cents * 10.0);
}

}  // namespace

QString CentsText(double cents, const DecimalSeparator& separator)
{
    const double tenths = TenthsOf(cents);
    if (tenths == 0.0) {
        return QString::fromUtf8(("0" + separator.Text() + "0").c_str());
    }
    const auto magnitude = static_cast<long long>(std::abs(tenths));
    const std::string text = (tenths > 0 ? "+" : "-") + std::to_string(magnitude / 10) + separator.Text() +
                             std::to_string(magnitude % 10);
    return QString::fromUtf8(text.c_str());
}

QString HertzText(double hz, const DecimalSeparator& separator)
{
    return QString::fromUtf8(FormatTwoDecimals(hz, separator).c_str());
}

QString VerdictText(double cents, double toleranceCents)
{
    const double shown = TenthsOf(cents);
    const double tolerance = std::round(toleranceCents * 10.0);
    if (std::abs(shown) <= tolerance) {
        return QStringLiteral("准确");
    }
    return shown > 0 ? QStringLiteral("偏高") : QStringLiteral("偏低");
}

}  // namespace tonarel::tuner
