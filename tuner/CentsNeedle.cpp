#include "tuner/CentsNeedle.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tonarel::tuner {

namespace {

constexpr double kScaleCents = 50.0;
constexpr double kGlideSeconds = 0.040;
constexpr int kFrameMilliseconds = 16;

}  // namespace

CentsNeedle::CentsNeedle(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumHeight(70);
    frames_.setInterval(kFrameMilliseconds);
    connect(&frames_, &QTimer::timeout, this,
            [this] { Advance(std::max<qint64>(1, sinceLastFrame_.restart()) / 1000.0); });
}

void CentsNeedle::SetCents(std::optional<double> cents, bool held)
{
    held_ = held;
    target_ = cents ? std::optional(std::clamp(*cents, -kScaleCents, kScaleCents)) : std::nullopt;
    if (!target_ || !shown_) {
        shown_ = target_;  // appears where the note is, without sweeping in from the centre
        frames_.stop();
        update();
        return;
    }
    if (!frames_.isActive()) {
        sinceLastFrame_.start();
        frames_.start();
    }
}

void CentsNeedle::SetToleranceCents(double cents)
{
    tolerance_ = cents;
    update();
}

void CentsNeedle::Advance(double seconds)
{
    if (!target_ || !shown_) {
        frames_.stop();
        return;
    }
    shown_ = *target_ + (*shown_ - *target_) * std::exp(-seconds / kGlideSeconds);
    if (std::abs(*shown_ - *target_) < 0.01) {
        shown_ = target_;
        frames_.stop();
    }
    update();
}

void CentsNeedle::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(16, 6, -16, -6);
    const auto xOf = [&area](double cents) {
        return area.left() + (cents + kScaleCents) / (2 * kScaleCents) * area.width();
    };
    const double scaleY = area.top() + area.height() * 0.55;

    painter.fillRect(rect(), palette().color(QPalette::Base));
    // The in-tune zone.
    const double zone = std::min(tolerance_, kScaleCents);
    painter.fillRect(QRectF(QPointF(xOf(-zone), area.top()), QPointF(xOf(zone), scaleY)), QColor(0x9c, 0xe0, 0x9c));

    // The scale: a tick every 5 cents, longer every 10, numbers every 25.
    painter.setPen(QPen(palette().color(QPalette::Text), 1));
    painter.drawLine(QPointF(area.left(), scaleY), QPointF(area.right(), scaleY));
    QFont numbers = font();
    numbers.setPixelSize(std::max(10, QFontInfo(font()).pixelSize() * 9 / 10));
    painter.setFont(numbers);
    for (int cents = -50; cents <= 50; cents += 5) {
        const double x = xOf(cents);
        const double length = cents % 10 == 0 ? 10 : 5;
        painter.drawLine(QPointF(x, scaleY - length), QPointF(x, scaleY));
        if (cents % 25 == 0) {
            const QString label = cents > 0 ? QStringLiteral("+%1").arg(cents) : QString::number(cents);
            painter.drawText(QRectF(x - 30, scaleY + 2, 60, area.bottom() - scaleY), Qt::AlignHCenter | Qt::AlignTop,
                             label);
        }
    }

    if (shown_) {
        const double x = xOf(*shown_);
        const bool inTune = std::abs(*target_) <= tolerance_;
        const QColor colour = held_ ? QColor(0x90, 0x90, 0x90) : inTune ? QColor(0x10, 0x80, 0x10)
                                                                        : QColor(0xc0, 0x20, 0x20);
        painter.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, scaleY + 4));
    }
}

}  // namespace tonarel::tuner
