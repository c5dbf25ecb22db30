#pragma once
// A needle over a scale of ±50 cents with the in-tune zone marked.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <optional>

namespace tonarel::tuner {

/// The needle follows each new reading with a short glide (time constant
/// 40 ms, about 60 frames a second), so it moves smoothly between readings,
/// yet a real change of pitch shows: a step of 30 cents is within 1 cent of
/// its end after 0.15 s. Beyond ±50 cents it rests at the end of the scale. Without a
/// reading it disappears; a held reading is drawn grey.
class CentsNeedle final : public QWidget {
    Q_OBJECT

public:
    explicit CentsNeedle(QWidget* parent = nullptr);

    /// The reading to move to; nothing hides the needle.
    void SetCents(std::optional<double> cents, bool held);
    /// The half-width of the in-tune zone, in cents.
    void SetToleranceCents(double cents);

    /// Where the needle stands now, in cents (for tests); nothing while hidden.
    std::optional<double> ShownCents() const { return shown_; }
    std::optional<double> TargetCents() const { return target_; }

    /// Moves the needle on by `seconds` of its glide, as the frame timer
    /// does with the time since its last frame; tests call it directly.
    void Advance(double seconds);

    QSize sizeHint() const override { return {480, 90}; }
    QSize minimumSizeHint() const override { return {300, 70}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:

    std::optional<double> target_;
    std::optional<double> shown_;
    bool held_ = false;
    double tolerance_ = 1.0;
    QTimer frames_;
    QElapsedTimer sinceLastFrame_;
};

}  // namespace tonarel::tuner
