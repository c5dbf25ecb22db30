#include "pianotuning/KeyboardStrip.h"

#include <QMouseEvent>
#include <QPainter>

#include "piano/PianoMeasurements.h"
#include "tuner/core/PitchNames.h"

namespace tonarel::pianotuning {

namespace {

constexpr int kWhiteKeyCount = 52;
/// Room below the keys for the names of the Cs.
constexpr int kLabelHeight = 16;
constexpr double kBlackKeyWidthShare = 0.6;
constexpr double kBlackKeyHeightShare = 0.62;

int PitchClassOfKey(int key)
{
    return piano::MidiOfKey(key) % 12;
}

bool IsBlackKey(int key)
{
    switch (PitchClassOfKey(key)) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 10:
        return true;
    default:
        return false;
    }
}

/// White keys left of `key` (for a black key: left of the white key it follows).
int WhiteKeysBefore(int key)
{
    int count = 0;
    for (int k = piano::kFirstKey; k < key; ++k) {
        count += IsBlackKey(k) ? 0 : 1;
    }
    return count;
}

}  // namespace

KeyboardStrip::KeyboardStrip(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("单击一个键，选择要测量的键"));
}

void KeyboardStrip::SetChosenKey(int key)
{
    if (piano::IsPianoKey(key) && key != chosenKey_) {
        chosenKey_ = key;
        update();
    }
}

void KeyboardStrip::SetMeasuredKeys(const std::array<bool, 88>& measured)
{
    if (measured != measured_) {
        measured_ = measured;
        update();
    }
}

double KeyboardStrip::WhiteKeyWidth() const
{
    return static_cast<double>(width() - 1) / kWhiteKeyCount;
}

double KeyboardStrip::KeysHeight() const
{
    return static_cast<double>(height() - kLabelHeight - 1);
}

QRectF KeyboardStrip::KeyRect(int key) const
{
    if (!piano::IsPianoKey(key)) {
        return {};
    }
    const double white = WhiteKeyWidth();
    const double left = WhiteKeysBefore(key) * white;
    if (IsBlackKey(key)) {
        const double blackWidth = white * kBlackKeyWidthShare;
        return {left - blackWidth / 2.0, 0.0, blackWidth, KeysHeight() * kBlackKeyHeightShare};
    }
    return {left, 0.0, white, KeysHeight()};
}

int KeyboardStrip::KeyAt(QPointF point) const
{
    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        if (IsBlackKey(key) && KeyRect(key).contains(point)) {
            return key;
        }
    }
    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        if (!IsBlackKey(key) && KeyRect(key).contains(point)) {
            return key;
        }
    }
    return 0;
}

QSize KeyboardStrip::sizeHint() const
{
    return {kWhiteKeyCount * 18 + 1, 84 + kLabelHeight};
}

QSize KeyboardStrip::minimumSizeHint() const
{
    return {kWhiteKeyCount * 10 + 1, 60 + kLabelHeight};
}

void KeyboardStrip::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor mark(0xd0, 0x40, 0x20);
    const auto drawMark = [&](const QRectF& rect) {
        const double radius = std::min(rect.width() * 0.22, 4.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mark);
        painter.drawEllipse(QPointF(rect.center().x(), rect.bottom() - radius * 2.5), radius, radius);
    };

    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        if (IsBlackKey(key)) {
            continue;
        }
        const QRectF rect = KeyRect(key);
        painter.setPen(QPen(Qt::darkGray, 1.0));
        painter.setBrush(key == chosenKey_ ? highlight : QColor(Qt::white));
        painter.drawRect(rect);
        if (measured_[piano::IndexOfKey(key)]) {
            drawMark(rect);
        }
        if (PitchClassOfKey(key) == 0) {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QRectF(rect.left() - rect.width(), rect.bottom(), rect.width() * 3, kLabelHeight),
                             Qt::AlignHCenter | Qt::AlignVCenter,
                             QString::fromStdString(tuning::NoteName(piano::MidiOfKey(key))));
        }
    }
    for (int key = piano::kFirstKey; key <= piano::kLastKey; ++key) {
        if (!IsBlackKey(key)) {
            continue;
        }
        const QRectF rect = KeyRect(key);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setBrush(key == chosenKey_ ? highlight.darker(130) : QColor(0x20, 0x20, 0x20));
        painter.drawRect(rect);
        if (measured_[piano::IndexOfKey(key)]) {
            drawMark(rect);
        }
    }
}

void KeyboardStrip::mousePressEvent(QMouseEvent* event)
{
    const int key = KeyAt(event->position());
    if (event->button() != Qt::LeftButton || key == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    SetChosenKey(key);
    emit KeyClicked(key);
}

}  // namespace tonarel::pianotuning
