#pragma once

namespace kalvex {

// The decimal separator of the user's locale, for numbers typed into or shown in fields and
// plot labels. The number helpers work on single bytes: a separator outside ASCII gives '.'.
char userDecimalSeparator();

}  // namespace kalvex
