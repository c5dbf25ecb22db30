#include "shell/UserLocale.h"

#include <QLocale>
#include <QString>

tonarel::DecimalSeparator UserDecimalSeparator()
{
    const QString separator = QLocale().decimalPoint();
    if (separator.isEmpty()) {
        return '.';
    }
    return tonarel::DecimalSeparator(separator.toStdString());
}
