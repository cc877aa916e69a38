#pragma once
// One running copy of the program per program folder: a lock file there,
// held (and locked with the system's file lock) while the program runs.
//
// The lock holds the process number, the program's name and the computer's
// name, one a line. A lock that provably belongs to no running copy is taken
// over: an empty or unreadable one (what a power loss leaves), or one left by
// a process of this computer that no longer holds it. Another computer's lock
// cannot be proved dead from here and is reported.

#include <QLockFile>
#include <QString>
#include <memory>

namespace tz {

inline constexpr QStringView kLockFileName = u"tessellane.lock";

enum class LockOutcome {
    Acquired,      // this is the only running copy; the lock is held
    OtherCopyRuns, // another copy runs on this program folder: end silently
    Failed,        // the lock cannot be taken for another reason (see message)
};

struct LockResult
{
    LockOutcome outcome = LockOutcome::Failed;
    // For Failed: what is wrong, naming the lock file, in the program's language.
    QString message;
};

class SingleInstance
{
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // Takes the lock of appFolder; it is held until this object ends.
    LockResult lock(const QString &appFolder);

private:
    QString m_path;
    int m_fd = -1;
    std::unique_ptr<QLockFile> m_lock; // where the system has no file locks of its own
};

} // namespace tz
