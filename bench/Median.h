#pragma once

// The middle of several timings: one slow run (a cold cache, a busy
// machine) does not move it.

#include <algorithm>
#include <vector>

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
