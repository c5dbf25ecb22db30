#include "meter/ValueGroupBox.h"

#include <QFontMetrics>
#include <QRegion>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

namespace tonarel {

ValueGroupBox::ValueGroupBox(const QString& title, QRect frame, int reach, QWidget* parent)
    : QGroupBox(title, parent), frameWidth_(frame.width())
{
    setGeometry(frame.x(), frame.y(), std::max(reach, frame.width()), frame.height());
    UpdateMask();
}

void ValueGroupBox::ShowValue(QLabel* label, const QString& text, int designWidth)
{
    label->setText(text);
    // A label pads its text by its margins and, with a frame, by the frame.
    const int padding = 2 * (label->margin() + label->frameWidth()) + label->indent();
    const int needed = QFontMetrics(label->font()).horizontalAdvance(text) + std::max(padding, 0);
    const int room = width() - label->x();
    label->resize(std::clamp(needed, std::min(designWidth, room), std::max(room, 0)), label->height());
    UpdateMask();
}

void ValueGroupBox::paintEvent(QPaintEvent* /*event*/)
{
    // The frame and the title keep the design width; the rest of the box is
    // only room for the labels.
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.rect.setWidth(frameWidth_);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void ValueGroupBox::UpdateMask()
{
    QRegion shown(0, 0, frameWidth_, height());
    for (const QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        shown += label->geometry();
    }
    setMask(shown);
}

}  // namespace tonarel
