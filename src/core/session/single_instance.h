#pragma once
// One running copy of the program: a lock file in the program folder. A lock
// left by a copy that ended without removing it is recovered.

#include <QLockFile>
#include <QString>
#include <memory>

namespace tz {

inline constexpr QStringView kLockFileName = u"tessellane.lock";

class SingleInstance
{
public:
    // True when this is the only running copy for appFolder; the lock is held
    // until this object ends.
    bool acquire(const QString &appFolder);

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tz
