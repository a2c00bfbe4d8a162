#pragma once
// The single-byte Central European code page of the report file (Windows-1250) and UTF-8,
// the encoding of texts inside the program.

#include <string>
#include <string_view>

namespace kalvex::report {

// Characters that the code page cannot hold, and invalid UTF-8 sequences, become '?'.
std::string utf8ToCp1250(std::string_view utf8);

// The five bytes the code page leaves undefined become '?'.
std::string cp1250ToUtf8(std::string_view cp1250);

}  // namespace kalvex::report
