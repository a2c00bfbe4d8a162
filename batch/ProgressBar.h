#pragma once
// A progress bar on standard error while a long study runs on a terminal: runs done, rate
// and time left, redrawn at most ten times a second on one line.
#include <chrono>
#include <cstddef>
#include <ostream>

namespace kalvex::batch {

class ProgressBar {
public:
    ProgressBar(std::ostream& err, std::size_t total, bool enabled);
    void update(std::size_t done);
    void finish();  // clears the line

private:
    std::ostream& err_;
    std::size_t total_;
    bool enabled_;
    std::chrono::steady_clock::time_point start_, lastDrawn_;
    bool drawn_ = false;
};

}  // namespace kalvex::batch
