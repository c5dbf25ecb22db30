#include "forms/KeyPressFilter.h"

#include <QKeyEvent>

namespace tonarel {

KeyPressFilter::KeyPressFilter(QObject* control, Handler handler) : QObject(control), handler_(std::move(handler))
{
    control->installEventFilter(this);
}

bool KeyPressFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->text().size() != 1 || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return QObject::eventFilter(watched, event);
    }
    QChar typed = key->text().front();
    handler_(typed);
    return typed.isNull();
}

void DiscardAllButDigitsAndBackspace(QChar& key)
{
    const bool digit = key >= QLatin1Char('0') && key <= QLatin1Char('9');
    if (!digit && key != QChar(8)) {
        key = QChar();
    }
}

}  // namespace tonarel
