#include "tuner/StrobeBand.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tonarel::tuner {

namespace {

constexpr int kStripeLength = 64;  ///< pixels of one dark and one light stripe in the top row

}  // namespace

StrobeBand::StrobeBand(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(42);
}

void StrobeBand::SetPhase(double turns, double level)
{
    turns_ = turns - std::floor(turns);
    level_ = std::clamp(level, 0.0, 1.0);
    update();
}

void StrobeBand::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QColor light(0xf4, 0xf4, 0xf0);
    painter.fillRect(rect(), light);
    const int dark = static_cast<int>(std::lround(0xf4 - level_ * (0xf4 - 0x20)));
    const QColor stripe(dark, dark, dark + static_cast<int>(std::lround(level_ * 0x20)));
    const int rows = 3;
    const int rowHeight = height() / rows;
    for (int row = 0; row < rows; ++row) {
        // Row k shows partial 2^k: half the stripe length, the same phase
        // turning 2^k times as fast.
        const int multiple = 1 << row;
        const double length = static_cast<double>(kStripeLength) / multiple;
        const double turns = turns_ * multiple;
        const double offset = (turns - std::floor(turns)) * length;
        const int top = row * rowHeight;
        for (double x = offset - length; x < width(); x += length) {
            painter.fillRect(QRectF(x, top, length / 2, rowHeight - 1), stripe);
        }
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace tonarel::tuner
