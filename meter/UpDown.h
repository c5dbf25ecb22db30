#pragma once
// An up-down spinner: two small arrow buttons that step a position between a
// minimum and a maximum. It is not attached to any field; its owner shows the
// position wherever it likes when the spinner reports a click.

#include <QToolButton>
#include <QWidget>

namespace tonarel {

class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    /// The range the position is kept in; the position is pulled into it.
    void SetRange(int minimum, int maximum);
    /// Sets the position (pulled into the range) without reporting a click.
    void SetPosition(int position);

    int Position() const { return position_; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    /// A button press (or an auto-repeat of it) moved the position; a press at
    /// the end of the range moves nothing and reports nothing (no wrap).
    void Click();

private:
    void Step(int delta);

    QToolButton* up_;
    QToolButton* down_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
};

}  // namespace tonarel
