#include "meter/LabeledEdit.h"

#include <QEvent>

namespace tonarel {

LabeledEdit::LabeledEdit(const QString& caption, QWidget* parent)
    : QLineEdit(parent), EditLabel(new QLabel(caption, parent))
{
    EditLabel->setBuddy(this);
}

void LabeledEdit::Place(const QRect& field)
{
    setGeometry(field);
    EditLabel->adjustSize();
    EditLabel->move(field.left(), field.top() - EditLabel->height() - 3);
}

void LabeledEdit::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        EditLabel->setEnabled(isEnabled());
    }
    QLineEdit::changeEvent(event);
}

}  // namespace tonarel
