#include "support/timing.h"

#include <QElapsedTimer>
#include <algorithm>
#include <ctime>
#include <vector>

namespace tz::bench {
namespace {

double threadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace

Times median(const std::function<void()> &round, bool warmUp, int rounds)
{
    if (warmUp)
        round();
    std::vector<double> wall, cpu;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        const double c = threadMs();
        round();
        cpu.push_back(threadMs() - c);
        wall.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[rounds / 2], cpu[rounds / 2]};
}

} // namespace tz::bench
