#pragma once
#include <initializer_list>
#include <locale.h>

namespace kalvex::test {

// A numeric locale whose decimal separator is a comma, when one is installed (the caller
// frees it); a null locale otherwise.
inline locale_t commaLocale()
{
    for (const char* name : {"cs_CZ.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "cs_CZ.utf8", "de_DE.utf8"}) {
        if (locale_t loc = newlocale(LC_NUMERIC_MASK, name, locale_t{}))
            return loc;
    }
    return locale_t{};
}

}  // namespace kalvex::test
