#include "forms/UserLocale.h"

#include <QLocale>
#include <QString>

namespace tonarel {

char UserDecimalSeparator()
{
    const QString separator = QLocale().decimalPoint();
    if (separator.size() == 1 && separator.front().unicode() < 0x80) {
        return static_cast<char>(separator.front().unicode());
    }
    return '.';
}

}  // namespace tonarel
