#include "ui/FieldNumbers.h"

#include "core/format/NumberFormat.h"
#include "plot/UserLocale.h"

#include <QLineEdit>

#include <array>
#include <charconv>

namespace kalvex::ui {

double fieldNumber(const QLineEdit& field)
{
    return parseFloatField(field.text().toStdString(), userDecimalSeparator());
}

QString numberText(double value)
{
    return QString::fromStdString(formatGeneral(value, userDecimalSeparator()));
}

QString exactNumberText(double value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    QString text = QString::fromLatin1(buffer.data(), static_cast<int>(end - buffer.data()));
    text.replace(QLatin1Char('.'), QLatin1Char(userDecimalSeparator()));
    return text;
}

void showText(QLineEdit& field, const QString& text)
{
    field.setText(text);
    field.setCursorPosition(0);
}

void showNumber(QLineEdit& field, double value)
{
    showText(field, numberText(value));
}

}  // namespace kalvex::ui
