#pragma once
// The piano's 88 keys, A0 to C8, drawn as a keyboard seen from above: the
// key chosen for measuring is filled with the highlight colour, keys that
// have readings carry a dot, and every C is named below its key. A click
// chooses a key.
//
// Example: a click on the white key right of the two black keys around the
// middle of the strip chooses D4 (key 42) and emits KeyClicked(42).

#include <QWidget>
#include <array>

namespace tonarel::pianotuning {

class KeyboardStrip : public QWidget {
    Q_OBJECT

public:
    explicit KeyboardStrip(QWidget* parent = nullptr);

    /// The key shown as chosen, 1 to 88 (others are ignored).
    int ChosenKey() const { return chosenKey_; }
    void SetChosenKey(int key);
    /// Marks key k (index k - 1) as measured where `measured` is true.
    void SetMeasuredKeys(const std::array<bool, 88>& measured);

    /// The key under `point` (widget coordinates), black keys before the
    /// white keys below them; 0 outside the keys.
    int KeyAt(QPointF point) const;
    /// Where key `key` (1 to 88) is drawn; the part of a white key that the
    /// black keys leave free is its lower half.
    QRectF KeyRect(int key) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /// The user clicked key `key` (1 to 88); the strip already shows it chosen.
    void KeyClicked(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double WhiteKeyWidth() const;
    double KeysHeight() const;

    int chosenKey_ = 49;
    std::array<bool, 88> measured_{};
};

}  // namespace tonarel::pianotuning
