#pragma once
#include "plot/UserLocale.h"

#include <QString>

class QLineEdit;

namespace kalvex::ui {

// The number in a field; a text that is no number throws InputError with
// "'<text>' is not a valid floating point value".
double fieldNumber(const QLineEdit& field);

// A number as a field or label text: general number format with the user's separator.
QString numberText(double value);

// Writes a text or a number into a field so that it reads from its first character: a value longer
// than its field shows its leading digits, not its tail.
void showText(QLineEdit& field, const QString& text);
void showNumber(QLineEdit& field, double value);

// A number with the fewest digits that read back to the very same double (up to 17), with the
// user's separator: for values the program computes and runs as they are, such as the factors
// a charge temperature sets.
QString exactNumberText(double value);

}  // namespace kalvex::ui
