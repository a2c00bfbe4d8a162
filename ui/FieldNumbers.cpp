#include "ui/FieldNumbers.h"

#include "core/format/NumberFormat.h"
#include "plot/UserLocale.h"

#include <QLineEdit>

namespace kalvex::ui {

double fieldNumber(const QLineEdit& field)
{
    return parseFloatField(field.text().toStdString(), userDecimalSeparator());
}

QString numberText(double value)
{
    return QString::fromStdString(formatGeneral(value, userDecimalSeparator()));
}

}  // namespace kalvex::ui
