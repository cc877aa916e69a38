#include "core/session/single_instance.h"

#include "core/common/file_faults.h"
#include "core/common/file_io.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tz {
namespace {

constexpr QLatin1StringView kProgramName("tessellane");

LockResult failed(const QString &path, const QString &reason)
{
    return {LockOutcome::Failed, QStringLiteral("ロックファイル %1 %2").arg(QDir::toNativeSeparators(path), reason)};
}

// What a lock file says: its process, program and computer.
struct LockInfo
{
    qint64 pid = 0;
    QString host;
};

// Nothing for an empty or garbled lock.
std::optional<LockInfo> parseLock(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3)
        return std::nullopt;
    bool ok = false;
    const qint64 pid = lines[0].trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return LockInfo{pid, QString::fromUtf8(lines[2].trimmed())};
}

QByteArray lockText()
{
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' + QByteArray(kProgramName.data()) + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n';
}

} // namespace

#ifdef Q_OS_UNIX

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool sameFile(int fd, const QString &path)
{
    struct stat a, b;
    return ::fstat(fd, &a) == 0 && ::stat(native(path).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// The system's file lock: 0 taken, EWOULDBLOCK held by a running process, or
// another error (the file system has no such locks).
int fileLock(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return 0;
    return errno == EAGAIN ? EWOULDBLOCK : errno;
}

bool processExists(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

SingleInstance::~SingleInstance()
{
    if (m_fd < 0)
        return;
    // Removed only while it is still this copy's lock.
    if (sameFile(m_fd, m_path))
        ::unlink(native(m_path).constData());
    ::close(m_fd);
}

LockResult SingleInstance::lock(const QString &appFolder)
{
    const QString path = QDir(appFolder).filePath(kLockFileName.toString());
    if (m_fd >= 0)
        return {LockOutcome::Acquired, {}};
    const QByteArray text = lockText();

    // A new lock is written whole under a temporary name, locked, and then
    // given the lock's name in one step, so that nobody sees it half written:
    // in place of a stale lock (replace), or only where there is none. 0 when
    // placed (fd holds it), EEXIST when another copy was first, or the error.
    auto place = [&](bool replace, int &fd) -> int {
        if (const int injected = FileFaultCheck(FileStep::Create, path))
            return injected;
        const QString temp =
            QDir(appFolder).filePath(QStringLiteral(".%1.%2")
                                         .arg(kLockFileName.toString())
                                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(native(temp).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return errno;
        int e = 0;
        fileLock(fd); // where the file system has no such locks, the process number tells
        errno = 0;
        if (::write(fd, text.constData(), size_t(text.size())) != ssize_t(text.size()) || ::fsync(fd) != 0)
            e = errno ? errno : ENOSPC;
        if (e == 0 && replace && ::rename(native(temp).constData(), native(path).constData()) != 0)
            e = errno;
        if (e == 0 && !replace && ::link(native(temp).constData(), native(path).constData()) != 0) {
            e = errno;
            if (e != EEXIST) {
                // A file system without hard links: the lock's own name, made
                // exclusively, written at once.
                const int direct = ::open(native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                if (direct >= 0) {
                    fileLock(direct);
                    e = ::write(direct, text.constData(), size_t(text.size())) == ssize_t(text.size()) ? 0 : ENOSPC;
                    ::close(fd);
                    fd = direct;
                } else {
                    e = errno;
                }
            }
        }
        ::unlink(native(temp).constData());
        if (e != 0) {
            ::close(fd);
            fd = -1;
        }
        return e;
    };

    for (int attempt = 0; attempt < 20; ++attempt) {
        struct stat st;
        if (::stat(native(path).constData(), &st) != 0) {
            if (errno != ENOENT)
                return failed(path, QStringLiteral("を調べられません（%1）").arg(SystemReason(errno)));
            int fd = -1;
            const int e = place(false, fd);
            if (e == EEXIST)
                continue;
            if (e != 0)
                return failed(
                    path, QStringLiteral("を作れません（%1）。プログラムのフォルダ %2 に書き込めるか確かめてください")
                              .arg(SystemReason(e), QDir::toNativeSeparators(appFolder)));
            m_fd = fd;
            m_path = path;
            return {LockOutcome::Acquired, {}};
        }
        if (!S_ISREG(st.st_mode))
            return failed(path, QStringLiteral("がファイルではありません（%1）。これを取り除いてから起動してください")
                                    .arg(S_ISDIR(st.st_mode) ? QStringLiteral("フォルダです")
                                                             : QStringLiteral("特殊なファイルです")));
        const int old = ::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (old < 0) {
            if (errno == ENOENT)
                continue;
            return failed(path, QStringLiteral("を開けません（%1）").arg(SystemReason(errno)));
        }
        const int locked = fileLock(old);
        if (locked == EWOULDBLOCK) {
            ::close(old);
            return {LockOutcome::OtherCopyRuns, {}};
        }
        if (!sameFile(old, path)) { // replaced meanwhile: look again
            ::close(old);
            continue;
        }
        QByteArray bytes(4096, '\0');
        const ssize_t n = ::read(old, bytes.data(), size_t(bytes.size()));
        bytes.truncate(qMax<ssize_t>(n, 0));
        const std::optional<LockInfo> info = parseLock(bytes);
        if (info && info->host != QSysInfo::machineHostName()) {
            ::close(old);
            return failed(path, QStringLiteral("はコンピュータ %1 で動いている Tessellane のものです。"
                                               "そこで動いていなければ、このファイルを消してから起動してください")
                                    .arg(info->host));
        }
        // On this computer a running copy holds the system's lock; where the
        // file system has none, its process number tells.
        if (info && locked != 0 && processExists(info->pid) && info->pid != QCoreApplication::applicationPid()) {
            ::close(old);
            return {LockOutcome::OtherCopyRuns, {}};
        }
        int fd = -1;
        const int e = place(true, fd);
        ::close(old);
        if (e != 0)
            return failed(path, QStringLiteral("は使われていませんが、置き換えられません（%1）。"
                                               "プログラムのフォルダ %2 に書き込めるか確かめてください")
                                    .arg(SystemReason(e), QDir::toNativeSeparators(appFolder)));
        m_fd = fd;
        m_path = path;
        return {LockOutcome::Acquired, {}};
    }
    return failed(path, QStringLiteral("を取れません（ほかのプログラムが書き換え続けています）"));
}

#else // no Unix file locks: Qt's lock file

SingleInstance::~SingleInstance() = default;

LockResult SingleInstance::lock(const QString &appFolder)
{
    const QString path = QDir(appFolder).filePath(kLockFileName.toString());
    if (m_lock)
        return {LockOutcome::Acquired, {}};
    if (PathKindOf(path) == PathKind::Folder)
        return failed(path,
                      QStringLiteral("がファイルではありません（フォルダです）。これを取り除いてから起動してください"));
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            return {LockOutcome::Acquired, {}};
        }
        if (lock->error() != QLockFile::LockFailedError)
            return failed(path, QStringLiteral("を作れません。プログラムのフォルダ %1 に書き込めるか確かめてください")
                                    .arg(QDir::toNativeSeparators(appFolder)));
        qint64 pid = 0;
        QString host, app;
        if (lock->getLockInfo(&pid, &host, &app)) {
            if (host != QSysInfo::machineHostName())
                return failed(path, QStringLiteral("はコンピュータ %1 で動いている Tessellane のものです。"
                                                   "そこで動いていなければ、このファイルを消してから起動してください")
                                        .arg(host));
            return {LockOutcome::OtherCopyRuns, {}};
        }
        lock->removeStaleLockFile(); // empty or garbled: no copy wrote it
    }
    return failed(path, QStringLiteral("を取れません"));
}

#endif

} // namespace tz
