#include "study/StreamingPercentiles.h"

#include <boost/accumulators/accumulators.hpp>
#include <boost/accumulators/statistics/count.hpp>
#include <boost/accumulators/statistics/extended_p_square.hpp>
#include <boost/accumulators/statistics/max.hpp>
#include <boost/accumulators/statistics/mean.hpp>
#include <boost/accumulators/statistics/min.hpp>
#include <boost/accumulators/statistics/stats.hpp>
#include <boost/accumulators/statistics/variance.hpp>

#include <cmath>
#include <vector>

namespace kalvex::study {

namespace acc = boost::accumulators;

struct StreamingPercentiles::Accumulators {
    using Set = acc::accumulator_set<double, acc::stats<acc::tag::count, acc::tag::mean, acc::tag::variance,
                                                        acc::tag::min, acc::tag::max, acc::tag::extended_p_square>>;
    static std::vector<double> probabilities()
    {
        std::vector<double> p;
        for (double percent : kReportedPercentiles)
            p.push_back(percent / 100);
        return p;
    }
    Set set{acc::extended_p_square_probabilities = probabilities()};
};

StreamingPercentiles::StreamingPercentiles() : acc_(std::make_unique<Accumulators>()) {}
StreamingPercentiles::~StreamingPercentiles() = default;
StreamingPercentiles::StreamingPercentiles(StreamingPercentiles&&) noexcept = default;
StreamingPercentiles& StreamingPercentiles::operator=(StreamingPercentiles&&) noexcept = default;

void StreamingPercentiles::add(double value)
{
    acc_->set(value);
}

std::size_t StreamingPercentiles::count() const
{
    return acc::count(acc_->set);
}

double StreamingPercentiles::mean() const
{
    return acc::mean(acc_->set);
}

double StreamingPercentiles::standardDeviation() const
{
    const double n = static_cast<double>(count());
    return n > 1 ? std::sqrt(acc::variance(acc_->set) * n / (n - 1)) : 0.0;  // the accumulator's divides by n
}

double StreamingPercentiles::minimum() const
{
    return acc::min(acc_->set);
}

double StreamingPercentiles::maximum() const
{
    return acc::max(acc_->set);
}

double StreamingPercentiles::percentile(std::size_t i) const
{
    return acc::extended_p_square(acc_->set)[i];
}

}  // namespace kalvex::study
