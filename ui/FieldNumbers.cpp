#include "ui/FieldNumbers.h"

#include "core/NumberFormat.h"

#include <QLineEdit>
#include <QLocale>

namespace kalvex::ui {

char userDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    // The number helpers work on single bytes; a separator outside ASCII falls back to the point.
    if (point.size() == 1 && point.at(0).unicode() < 128)
        return point.at(0).toLatin1();
    return '.';
}

double fieldNumber(const QLineEdit& field)
{
    return parseFloatField(field.text().toStdString(), userDecimalSeparator());
}

QString numberText(double value)
{
    return QString::fromStdString(formatGeneral(value, userDecimalSeparator()));
}

}  // namespace kalvex::ui
