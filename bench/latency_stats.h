// Summary of a series of latencies: mean, nearest-rank percentiles and maximum.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <vector>

namespace tovi::bench {

struct LatencySummary {
    std::size_t count = 0;
    double mean = 0, p50 = 0, p90 = 0, p99 = 0, max = 0;
};

// The value at quantile `q` of sorted `values` by nearest rank.
inline double nearestRank(const std::vector<double>& sorted, double q) {
    if (sorted.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline LatencySummary summarize(std::vector<double> values) {
    LatencySummary s;
    s.count = values.size();
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(s.count);
    s.p50 = nearestRank(values, 0.50);
    s.p90 = nearestRank(values, 0.90);
    s.p99 = nearestRank(values, 0.99);
    s.max = values.back();
    return s;
}

} // namespace tovi::bench
