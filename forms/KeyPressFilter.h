#pragma once
// Lets a handler see, and discard, each character typed into a control, the
// way a KeyPress handler does: the handler gets the character and sets it to
// QChar() to discard the key.

#include <QChar>
#include <QObject>
#include <functional>

namespace tonarel {

class KeyPressFilter : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(QChar& key)>;

    /// Watches `control` (and is owned by it). Only keys that type one
    /// character reach `handler` (backspace arrives as QChar(8)); navigation
    /// keys, Tab and Backtab, and keys held with Ctrl or Alt pass untouched,
    /// so that focus and shortcuts keep working.
    KeyPressFilter(QObject* control, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};

/// The rule of the read-only number fields: a typed character other than the
/// digits 0 to 9 and backspace is discarded (set to QChar()).
void DiscardAllButDigitsAndBackspace(QChar& key);

}  // namespace tonarel
