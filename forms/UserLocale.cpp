#include "forms/UserLocale.h"

#include <QLocale>
#include <QString>

namespace tonarel {

DecimalSeparator UserDecimalSeparator()
{
    const QString separator = QLocale().decimalPoint();
    if (separator.isEmpty()) {
        return '.';
    }
    return DecimalSeparator(separator.toStdString());
}

}  // namespace tonarel
