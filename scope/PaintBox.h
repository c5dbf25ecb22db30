#pragma once
// A drawing surface that keeps what is drawn on it.
//
// Handlers draw into Canvas() whenever they like; the widget shows that
// picture, unchanged, until it is drawn over or erased. The canvas always has
// the widget's size: when the widget is resized or shown, the canvas is
// erased and NeedsRepaint() asks the owner to draw it again.

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tonarel {

class PaintBox : public QWidget {
    Q_OBJECT

public:
    explicit PaintBox(QWidget* parent);

    /// The picture, width() × height() pixels. Call update() after drawing.
    QImage& Canvas() { return canvas_; }
    const QImage& Canvas() const { return canvas_; }

    /// Fills the whole canvas with `colour`.
    void Erase(const QColor& colour);

signals:
    /// The canvas was emptied (resize, show) and wants drawing again.
    void NeedsRepaint();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QImage canvas_;
};

}  // namespace tonarel
