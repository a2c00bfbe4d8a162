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

}  // namespace kalvex::ui
