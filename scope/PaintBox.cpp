#include "scope/PaintBox.h"

#include <QPainter>
#include <QPaintEvent>

namespace tonarel {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent)
{
    // Every pixel comes from the canvas.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::Erase(const QColor& colour)
{
    canvas_.fill(colour);
    update();
}

void PaintBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
}

void PaintBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    canvas_ = QImage(size(), QImage::Format_RGB32);
    canvas_.fill(palette().color(backgroundRole()));
    emit NeedsRepaint();
}

void PaintBox::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit NeedsRepaint();
}

}  // namespace tonarel
