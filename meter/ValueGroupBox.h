#pragma once
// A group box whose value labels may reach past its frame. The frame keeps
// its design width; the box itself spans to the right edge of its window, so
// that a label beside the frame, sized to its text, is never cut off. Only
// the frame and the labels belong to the box: everywhere else it lets the
// widgets beneath it be seen and clicked (its mask).
//
// Example: the pitch meter's display group is 193 pixels wide, its values
// start 134 pixels in; a reading of "-0.0759740259740260" widens its label to
// the text and shows it whole over the space to the group's right.

#include <QGroupBox>
#include <QLabel>

namespace tonarel {

class ValueGroupBox : public QGroupBox {
    Q_OBJECT

public:
    /// A group box titled `title`, framed in `frame` (pixels, in the parent's
    /// coordinates); it reaches `reach` pixels right of the frame's left edge
    /// (at least the frame's width), the room its labels may grow into.
    ValueGroupBox(const QString& title, QRect frame, int reach, QWidget* parent);

    /// Sets `label` (a child of this box) to `text` and its width to the
    /// text's width: never below `designWidth`, never past the box's right
    /// edge. The label keeps its left position and height.
    void ShowValue(QLabel* label, const QString& text, int designWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateMask();

    int frameWidth_;
};

}  // namespace tonarel
