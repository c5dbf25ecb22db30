#pragma once
// A strobe band: stripes that stand still when the note is in tune and drift
// right when it is sharp, left when it is flat, as fast as the beat between
// the note and its target.

#include <QWidget>

namespace tonarel::tuner {

/// Draws what it is given: the phase of the signal against the target
/// (StrobePhase::PhaseTurns) and how strong the note is (StrobePhase::Level),
/// which sets the stripes' contrast. The band has three rows at one, two and
/// four stripes per length, drifting at the beat of the first, second and
/// fourth partial, as a strobe disc's rings do. The caller sets the phase as
/// often as it has new sound (the tuner window: with every block of input).
class StrobeBand final : public QWidget {
    Q_OBJECT

public:
    explicit StrobeBand(QWidget* parent = nullptr);

    /// `turns` in [0, 1); `level` 0 (no note: a plain band) to 1.
    void SetPhase(double turns, double level);

    double PhaseTurns() const { return turns_; }

    QSize sizeHint() const override { return {480, 54}; }
    QSize minimumSizeHint() const override { return {300, 42}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double turns_ = 0;
    double level_ = 0;
};

}  // namespace tonarel::tuner
