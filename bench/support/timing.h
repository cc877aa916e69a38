#pragma once
// Timing of benchmark rounds: the median elapsed and processor time of the
// calling thread over a number of rounds, after one warm-up round.

#include <functional>

namespace tz::bench {

struct Times
{
    double wall = 0; // ms
    double cpu = 0;  // ms of this thread
};

Times median(const std::function<void()> &round, bool warmUp = true, int rounds = 7);

} // namespace tz::bench
