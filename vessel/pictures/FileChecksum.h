#pragma once
// The SHA-256 of a file's bytes (Qt's QCryptographicHash), so that a library row names exactly
// the trace files it was reduced from.
#include <string>

namespace kalvex::vessel {

// 64 lower-case hex digits; std::runtime_error naming the file when it cannot be read.
std::string fileSha256(const std::string& path);

}  // namespace kalvex::vessel
