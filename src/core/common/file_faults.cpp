#include "core/common/file_faults.h"

#include <QMutex>
#include <atomic>
#include <cstdlib>
#include <optional>

namespace tz {
namespace {

// The one test seam of the library: the fault of the live scope, if any.
struct FaultState
{
    FileFault fault;
    int passed = 0;
    qint64 written = 0;
    bool struck = false;
    int strikes = 0;
};

std::atomic<bool> g_active{false};
QMutex g_mutex;
std::optional<FaultState> g_state;

} // namespace

FileFaultScope::FileFaultScope(const FileFault &fault)
{
    QMutexLocker lock(&g_mutex);
    g_state = FaultState{fault};
    g_active = true;
}

FileFaultScope::~FileFaultScope()
{
    QMutexLocker lock(&g_mutex);
    g_active = false;
    g_state.reset();
}

int FileFaultScope::strikes() const
{
    QMutexLocker lock(&g_mutex);
    return g_state ? g_state->strikes : 0;
}

qint64 FileFaultScope::bytesThrough() const
{
    QMutexLocker lock(&g_mutex);
    return g_state ? g_state->written : 0;
}

int FileFaultCheck(FileStep step, const QString &path, qint64 bytes, qint64 *allowed)
{
    if (allowed)
        *allowed = bytes;
    if (!g_active.load(std::memory_order_relaxed))
        return 0;
    QMutexLocker lock(&g_mutex);
    if (!g_state || g_state->fault.step != step)
        return 0;
    FaultState &s = *g_state;
    if (!s.fault.pathPart.isEmpty() && !path.contains(s.fault.pathPart))
        return 0;
    if (step == FileStep::Write) {
        if (!s.struck && s.written + bytes <= s.fault.bytesBefore) {
            s.written += bytes;
            return 0;
        }
        const qint64 through = s.struck ? 0 : s.fault.bytesBefore - s.written;
        s.written += through;
        s.struck = true;
        if (allowed)
            *allowed = through;
        // Like the system: a write that got some bytes through reports them;
        // the error comes with the next one.
        if (through > 0)
            return 0;
    } else if (s.passed < s.fault.passes) {
        ++s.passed;
        return 0;
    }
    if (s.fault.error == kFaultEndsProcess)
        std::_Exit(137);
    ++s.strikes;
    return s.fault.error;
}

} // namespace tz
