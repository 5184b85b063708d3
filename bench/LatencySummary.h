#pragma once

// The summary both latency probes print: median, 95th percentile and maximum of the rounds' times.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

inline std::string latencySummary(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n == 0)
        return "n=0";
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    const double p95 = values[std::min(size_t(std::ceil(0.95 * double(n))) - 1, n - 1)];
    char text[128];
    std::snprintf(text, sizeof text, "median=%.2f p95=%.2f max=%.2f", median, p95, values.back());
    return text;
}
