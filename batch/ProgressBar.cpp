#include "batch/ProgressBar.h"

#include "core/format/CFormat.h"

#include <string>

namespace kalvex::batch {

namespace {

constexpr int kBarWidth = 30;  // characters of the bar itself
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string clock(double seconds)
{
    const long s = static_cast<long>(seconds + 0.5);
    return std::to_string(s / 60) + ":" + (s % 60 < 10 ? "0" : "") + std::to_string(s % 60);
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& err, std::size_t total, bool enabled)
    : err_(err), total_(total), enabled_(enabled && total > 0), start_(std::chrono::steady_clock::now())
{
}

void ProgressBar::update(std::size_t done)
{
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && done < total_ && now - lastDrawn_ < kRedrawInterval)
        return;
    lastDrawn_ = now;
    drawn_ = true;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
    const int filled = static_cast<int>(kBarWidth * done / total_);
    std::string line = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                       std::to_string(done) + "/" + std::to_string(total_) + " runs  " +
                       printfFixed(rate, 0, 1) + " runs/s";
    if (rate > 0)
        line += "  " + clock(static_cast<double>(total_ - done) / rate) + " left";
    err_ << line << "   " << std::flush;
}

void ProgressBar::finish()
{
    if (enabled_ && drawn_)
        err_ << '\r' << std::string(kBarWidth + 60, ' ') << '\r' << std::flush;
}

}  // namespace kalvex::batch
