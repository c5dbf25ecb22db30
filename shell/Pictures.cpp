#include "shell/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace tonarel {

namespace {

const QColor Outline(40, 40, 40);

QIcon Draw16(const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter);
    return QIcon(pixmap);
}

void DrawDisk(QPainter& painter)
{
    painter.setPen(Outline);
    painter.setBrush(QColor(40, 80, 170));
    painter.drawRect(1, 1, 13, 13);
    painter.setBrush(Qt::white);
    painter.drawRect(3, 1, 9, 6);                   // label
    painter.fillRect(5, 10, 6, 4, QColor(190, 190, 200));  // shutter
    painter.fillRect(8, 11, 2, 2, QColor(40, 80, 170));
}

void DrawSave(QPainter& painter)
{
    DrawDisk(painter);
}

void DrawOpen(QPainter& painter)
{
    painter.setPen(Outline);
    painter.setBrush(QColor(230, 190, 80));
    painter.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {13, 5}, {13, 13}, {1, 13}}));
    painter.setBrush(QColor(250, 220, 120));
    painter.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}}));
}

void DrawExit(QPainter& painter)
{
    painter.setPen(Outline);
    painter.setBrush(QColor(150, 100, 50));
    painter.drawRect(2, 1, 8, 14);  // door
    painter.fillRect(8, 8, 1, 2, QColor(250, 220, 120));
    painter.setPen(QPen(QColor(200, 30, 30), 2));
    painter.drawLine(7, 8, 14, 8);  // arrow out of the door
    painter.drawLine(11, 5, 14, 8);
    painter.drawLine(11, 11, 14, 8);
}

void DrawTemperamentManager(QPainter& painter)
{
    painter.setPen(Outline);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 1, 13, 14);
    const QColor verdicts[] = {QColor(30, 150, 30), QColor(200, 30, 30), QColor(30, 150, 30), QColor(30, 60, 200)};
    for (int row = 0; row < 4; ++row) {
        const int y = 3 + row * 3;
        painter.fillRect(3, y, 2, 2, verdicts[row]);
        painter.fillRect(6, y, 7, 1, QColor(90, 90, 90));
    }
}

void DrawSaveAs(QPainter& painter)
{
    DrawDisk(painter);
    painter.setPen(QPen(QColor(220, 160, 40), 3));
    painter.drawLine(8, 14, 14, 8);  // pencil
    painter.setPen(QPen(Outline, 1));
    painter.drawPoint(7, 15);
}

void DrawHelpTopics(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(20, 60, 150));
    painter.setBrush(QColor(50, 110, 210));
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont font;
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

void DrawOscilloscope(QPainter& painter)
{
    painter.setPen(Outline);
    painter.setBrush(QColor(20, 50, 20));
    painter.drawRect(0, 1, 15, 13);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath wave;
    wave.moveTo(1.5, 8);
    wave.cubicTo(4, 0, 5, 0, 7.5, 8);
    wave.cubicTo(10, 16, 11, 16, 14.5, 8);
    painter.setPen(QPen(QColor(90, 255, 90), 1.3));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
}

void DrawPitchMeter(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Outline);
    painter.setBrush(Qt::white);
    painter.drawPie(QRectF(0.5, 2.5, 15, 15), 0, 180 * 16);  // dial
    painter.setPen(QPen(QColor(30, 150, 30), 1.2));
    painter.drawLine(QPointF(8, 10), QPointF(8, 4));      // in tune
    painter.setPen(QPen(QColor(200, 30, 30), 1.6));
    painter.drawLine(QPointF(8, 10), QPointF(11.5, 4.5));  // needle
}

}  // namespace

ImageList DrawImageList()
{
    return {Draw16(DrawSave),       Draw16(DrawOpen),         Draw16(DrawExit),         Draw16(DrawTemperamentManager),
            Draw16(DrawSaveAs),     Draw16(DrawHelpTopics),   Draw16(DrawOscilloscope), Draw16(DrawPitchMeter)};
}

QPixmap DrawProgramPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 80, 170));
    painter.drawRoundedRect(QRectF(0, 0, 32, 32), 5, 5);

    // A tuning fork: two tines joined by a bend, on a stem.
    QPainterPath fork;
    fork.moveTo(10, 3);
    fork.lineTo(10, 15);
    fork.cubicTo(10, 21, 22, 21, 22, 15);
    fork.lineTo(22, 3);
    painter.setPen(QPen(QColor(235, 235, 240), 3, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(fork);
    painter.drawLine(QPointF(16, 19.5), QPointF(16, 29));

    // Its sound.
    painter.setPen(QPen(QColor(250, 210, 90), 1.5));
    painter.drawArc(QRectF(2, 4, 6, 10), 120 * 16, 120 * 16);
    painter.drawArc(QRectF(24, 4, 6, 10), -60 * 16, 120 * 16);
    return pixmap;
}

QIcon DrawKeyboardPicture()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(0, 2, 15, 12);
    for (int x = 4; x < 15; x += 4) {
        painter.drawLine(x, 2, x, 14);
    }
    painter.setBrush(Qt::black);
    for (int x : {3, 7, 11}) {
        painter.drawRect(x - 1, 2, 2, 7);
    }
    return QIcon(pixmap);
}

}  // namespace tonarel
