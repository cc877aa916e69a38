#include "core/session/single_instance.h"

#include <QDir>

namespace tz {

bool SingleInstance::acquire(const QString &appFolder)
{
    auto lock = std::make_unique<QLockFile>(QDir(appFolder).filePath(kLockFileName.toString()));
    // No age limit: a lock is stale only when the process that wrote it is gone.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    return true;
}

} // namespace tz
