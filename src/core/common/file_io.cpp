#include "core/common/file_io.h"

#include "core/common/file_faults.h"
#include "core/common/undo_note.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace tz {
namespace {

bool fail(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = FileError(path, reason);
    return false;
}

// What the kind of a non-regular path is called in the messages.
QString kindText(PathKind kind)
{
    switch (kind) {
    case PathKind::Missing:
        return QStringLiteral("ファイルが見つかりません");
    case PathKind::Folder:
        return QStringLiteral("ファイルではなくフォルダです");
    case PathKind::Other:
    case PathKind::File:
        break;
    }
    return QStringLiteral("通常のファイルではありません");
}

} // namespace

QString FileError(const QString &path, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

QString SystemReason(int error)
{
    if (error == 0)
        return QStringLiteral("原因不明のエラー");
    return qt_error_string(error);
}

#ifdef Q_OS_UNIX

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Some system calls return early when a signal arrives; they are repeated.
template <typename F> auto retry(F call)
{
    decltype(call()) r;
    do {
        r = call();
    } while (r < 0 && errno == EINTR);
    return r;
}

PathKind kindOf(const struct stat &st)
{
    if (S_ISREG(st.st_mode))
        return PathKind::File;
    if (S_ISDIR(st.st_mode))
        return PathKind::Folder;
    return PathKind::Other;
}

QString otherKindText(const struct stat &st)
{
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("ファイルではなく名前付きパイプです");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return QStringLiteral("ファイルではなくデバイスです");
    if (S_ISSOCK(st.st_mode))
        return QStringLiteral("ファイルではなくソケットです");
    return kindText(kindOf(st));
}

// Closes a descriptor once, when it goes out of scope unless closed before.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { close(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    void reset(int fd)
    {
        close();
        m_fd = fd;
    }
    // 0, or the error of the close.
    int close()
    {
        if (m_fd < 0)
            return 0;
        const int r = ::close(m_fd);
        m_fd = -1;
        return r == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Opens an existing regular file without waiting on anything else (a named
// pipe without a writer, a device): anything but a regular file is refused
// before it is opened. False with *error when it cannot be opened.
bool openRegular(const QString &path, int flags, Fd &fd, struct stat &st, QString *error)
{
    if (::stat(native(path).constData(), &st) != 0)
        return fail(error, path,
                    errno == ENOENT ? kindText(PathKind::Missing)
                                    : QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
    if (!S_ISREG(st.st_mode))
        return fail(error, path, otherKindText(st));
    fd.reset(retry([&] { return ::open(native(path).constData(), flags | O_NONBLOCK | O_CLOEXEC); }));
    if (fd.get() < 0)
        return fail(error, path, QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
    // The name may have changed hands between the look and the open.
    if (::fstat(fd.get(), &st) != 0)
        return fail(error, path, QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
    if (!S_ISREG(st.st_mode))
        return fail(error, path, otherKindText(st));
    return true;
}

// Reads exactly n bytes at offset unless the file ends first. The bytes read,
// or -1 with errno.
qint64 readAt(int fd, char *out, qint64 n, qint64 offset)
{
    qint64 done = 0;
    while (done < n) {
        const ssize_t r = retry([&] { return ::pread(fd, out + done, size_t(n - done), off_t(offset + done)); });
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        done += r;
    }
    return done;
}

// Writes every byte at offset (offset < 0: at the current position), each
// write first offered to the injected faults. 0, or the error.
int writeAll(int fd, const QString &path, const char *data, qint64 n, qint64 offset)
{
    qint64 done = 0;
    while (done < n) {
        qint64 allowed = 0;
        if (const int injected = FileFaultCheck(FileStep::Write, path, n - done, &allowed))
            return injected;
        const ssize_t r = retry([&] {
            return offset < 0 ? ::write(fd, data + done, size_t(allowed))
                              : ::pwrite(fd, data + done, size_t(allowed), off_t(offset + done));
        });
        if (r < 0)
            return errno;
        if (r == 0)
            return ENOSPC; // a regular file that takes no byte is full
        done += r;
    }
    return 0;
}

int syncFile(int fd, const QString &path, bool dataOnly)
{
    if (const int injected = FileFaultCheck(FileStep::Sync, path))
        return injected;
#ifdef Q_OS_LINUX
    const int r = retry([&] { return dataOnly ? ::fdatasync(fd) : ::fsync(fd); });
#else
    Q_UNUSED(dataOnly);
    const int r = retry([&] { return ::fsync(fd); });
#endif
    return r == 0 ? 0 : errno;
}

// Flushes a folder's entries, so that a new or renamed name lasts. Systems
// that cannot do this for folders are not asked twice.
void syncFolder(const QString &folder)
{
    const int fd = retry([&] { return ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The bytes an in-place write covers, as they were: written back and the file
// cut to its old size. 0, or the error that stopped it.
int restore(int fd, qint64 start, const QByteArray &old, qint64 oldSize)
{
    qint64 done = 0;
    while (done < old.size()) {
        const ssize_t r =
            retry([&] { return ::pwrite(fd, old.constData() + done, size_t(old.size() - done), off_t(start + done)); });
        if (r <= 0)
            return r < 0 ? errno : ENOSPC;
        done += r;
    }
    if (retry([&] { return ::ftruncate(fd, off_t(oldSize)); }) != 0)
        return errno;
#ifdef Q_OS_LINUX
    if (retry([&] { return ::fdatasync(fd); }) != 0)
        return errno;
#else
    if (retry([&] { return ::fsync(fd); }) != 0)
        return errno;
#endif
    return 0;
}

// ---- The undo note of an in-place write ---------------------------------------
//
// A write in place is no single step: a kill or a power cut between two pages
// of it would leave an entry half old, half new. So before the file is touched
// the bytes the write covers go to a note beside it (".record.undo" for
// record.tzd), flushed to the device with its folder entry; the note goes once
// the write has reached the device. A note that is found means a write was cut
// short: its bytes are put back and the file is cut to its old size. A note
// cut short itself was never followed by a write and is only removed.

QString undoPathFor(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".%1.undo").arg(info.completeBaseName()));
}

// Writes the note for a write at `start` over `old` of a file of `oldSize`
// bytes (-1: created by the write). 0, or the error.
int writeUndo(const QString &undo, qint64 oldSize, qint64 start, const QByteArray &old)
{
    const QByteArray note = EncodeUndoNote({oldSize, start, old});
    if (const int injected = FileFaultCheck(FileStep::Create, undo))
        return injected;
    Fd fd(retry([&] { return ::open(native(undo).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600); }));
    if (fd.get() < 0)
        return errno;
    int e = writeAll(fd.get(), undo, note.constData(), note.size(), 0);
    if (e == 0)
        e = syncFile(fd.get(), undo, true);
    if (e == 0)
        e = fd.close();
    if (e != 0) {
        ::unlink(native(undo).constData());
        return e;
    }
    syncFolder(QFileInfo(undo).absolutePath());
    return 0;
}

// Puts back what the note beside `path` holds, if there is one. 0, or the
// error that stopped it (the note then stays for the next try).
int undoCutWrite(const QString &path)
{
    const QString undo = undoPathFor(path);
    Fd note(retry([&] { return ::open(native(undo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }));
    if (note.get() < 0)
        return errno == ENOENT ? 0 : errno;
    struct stat st;
    if (::fstat(note.get(), &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode))
        return EINVAL;
    // One byte more than the longest note, so that a longer file is no note.
    QByteArray bytes(qMin<qint64>(st.st_size, kMaxUndoNoteSize + 1), Qt::Uninitialized);
    if (readAt(note.get(), bytes.data(), bytes.size(), 0) != bytes.size())
        return errno ? errno : EIO;
    note.close();
    if (const std::optional<UndoNote> n = DecodeUndoNote(bytes)) {
        if (n->oldSize < 0) {
            if (::unlink(native(path).constData()) != 0 && errno != ENOENT)
                return errno;
        } else {
            Fd fd(retry([&] { return ::open(native(path).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC); }));
            if (fd.get() < 0)
                return errno;
            if (::fstat(fd.get(), &st) != 0)
                return errno;
            if (!S_ISREG(st.st_mode))
                return EINVAL;
            if (const int e = restore(fd.get(), n->start, n->old, n->oldSize))
                return e;
        }
    }
    if (::unlink(native(undo).constData()) != 0 && errno != ENOENT)
        return errno;
    syncFolder(QFileInfo(undo).absolutePath());
    return 0;
}

} // namespace

bool UndoCutWrite(const QString &path, QString *error)
{
    const int e = undoCutWrite(path);
    return e == 0 ||
           fail(error, path, QStringLiteral("途中で止まった書き込みを元に戻せません（%1）").arg(SystemReason(e)));
}

PathKind PathKindOf(const QString &path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
    return kindOf(st);
}

bool CheckRegularFile(const QString &path, QString *error)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return fail(error, path,
                    errno == ENOENT ? kindText(PathKind::Missing)
                                    : QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
    return S_ISREG(st.st_mode) || fail(error, path, otherKindText(st));
}

bool EnsureFile(const QString &path, QString *error)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) == 0)
        return S_ISREG(st.st_mode) || fail(error, path, otherKindText(st));
    if (errno != ENOENT)
        return fail(error, path, QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
    if (const int injected = FileFaultCheck(FileStep::Create, path))
        return fail(error, path, QStringLiteral("作成できません（%1）").arg(SystemReason(injected)));
    const int fd =
        retry([&] { return ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
    if (fd < 0) {
        if (errno == EEXIST)
            return CheckRegularFile(path, error);
        return fail(error, path, QStringLiteral("作成できません（%1）").arg(SystemReason(errno)));
    }
    ::close(fd);
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

qint64 RegularFileSize(const QString &path, QString *error)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0) {
        fail(error, path,
             errno == ENOENT ? kindText(PathKind::Missing)
                             : QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        fail(error, path, otherKindText(st));
        return -1;
    }
    return st.st_size;
}

bool ReadFileAt(const QString &path, qint64 offset, qint64 length, QByteArray &out, QString *error)
{
    out.clear();
    Fd fd;
    struct stat st;
    if (!openRegular(path, O_RDONLY, fd, st, error))
        return false;
    if (offset < 0 || length <= 0 || offset >= st.st_size)
        return true;
    const qint64 n = qMin<qint64>(length, st.st_size - offset);
    out.resize(n);
    const qint64 got = readAt(fd.get(), out.data(), n, offset);
    if (got < 0) {
        const int e = errno;
        out.clear();
        return fail(error, path, QStringLiteral("読み込めません（%1）").arg(SystemReason(e)));
    }
    out.truncate(got);
    return true;
}

bool WriteFileAt(const QString &path, qint64 offset, QByteArrayView bytes, QByteArrayView fill,
                 const InPlaceRules &rules, QString *error)
{
    if (offset < 0)
        return fail(error, path, QStringLiteral("ファイルの先頭より前には書き込めません"));
    if (!UndoCutWrite(path, error))
        return false;
    struct stat st;
    bool created = false;
    Fd fd;
    if (::stat(native(path).constData(), &st) != 0) {
        if (errno != ENOENT)
            return fail(error, path, QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
        if (!rules.createMissing)
            return fail(error, path, QStringLiteral("ファイルが見つかりません。書き込みませんでした"));
        if (const int injected = FileFaultCheck(FileStep::Create, path))
            return fail(error, path, QStringLiteral("作成できません（%1）").arg(SystemReason(injected)));
        fd.reset(retry([&] {
            return ::open(native(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, 0666);
        }));
        if (fd.get() < 0)
            return fail(error, path, QStringLiteral("作成できません（%1）").arg(SystemReason(errno)));
        created = true;
        if (::fstat(fd.get(), &st) != 0)
            return fail(error, path, QStringLiteral("開けません（%1）").arg(SystemReason(errno)));
    } else if (!openRegular(path, O_RDWR, fd, st, error)) {
        return false;
    }
    const qint64 size = st.st_size;
    if (offset > size && rules.maxGap >= 0 && offset - size > rules.maxGap)
        return fail(error, path,
                    QStringLiteral("%1 バイトしかないため、%2 バイト目には書き込めません").arg(size).arg(offset));

    QByteArray data;
    qint64 start = offset;
    if (size < offset) {
        // Complete the gap with blank entries, aligned to the entry grid.
        start = size;
        data.resize(offset - size);
        const qsizetype period = fill.size();
        for (qint64 pos = size; pos < offset; ++pos)
            data[pos - size] = period > 0 ? fill[pos % period] : '\0';
    }
    data.append(bytes.data(), bytes.size());

    // What the write covers, kept so that a failure can put it back.
    QByteArray old(qMax<qint64>(0, qMin<qint64>(size - start, data.size())), Qt::Uninitialized);
    if (!old.isEmpty() && readAt(fd.get(), old.data(), old.size(), start) != old.size())
        return fail(error, path, QStringLiteral("読み込めません（%1）").arg(SystemReason(errno)));

    const QString note = undoPathFor(path);
    if (const int e = writeUndo(note, created ? -1 : size, start, old)) {
        fd.close();
        if (created)
            ::unlink(native(path).constData());
        return fail(error, path, QStringLiteral("書き込めません（%1）。ファイルは元のままです").arg(SystemReason(e)));
    }
    int e = writeAll(fd.get(), path, data.constData(), data.size(), start);
    if (e == 0)
        e = syncFile(fd.get(), path, true);
    if (e == 0) {
        ::unlink(native(note).constData());
        return true;
    }
    const int undo = restore(fd.get(), start, old, size);
    fd.close();
    if (created)
        ::unlink(native(path).constData());
    if (undo == 0 || created)
        ::unlink(native(note).constData()); // otherwise the next opening tries again
    if (undo != 0)
        return fail(error, path,
                    QStringLiteral("書き込めません（%1）。元に戻すこともできませんでした（%2）")
                        .arg(SystemReason(e), SystemReason(undo)));
    return fail(error, path, QStringLiteral("書き込めません（%1）。ファイルは元のままです").arg(SystemReason(e)));
}

bool WriteFileAtomic(const QString &path, QByteArrayView bytes, QString *error)
{
    // A symbolic link stays; the file it names is replaced.
    QString target = path;
    const QFileInfo link(path);
    if (link.isSymLink())
        target = link.exists() ? link.canonicalFilePath() : link.symLinkTarget();

    struct stat st;
    const bool existed = ::stat(native(target).constData(), &st) == 0;
    if (!existed && errno != ENOENT)
        return fail(error, path, QStringLiteral("保存できません（%1）").arg(SystemReason(errno)));
    if (existed && !S_ISREG(st.st_mode))
        return fail(error, path, otherKindText(st) + QStringLiteral("。置き換えませんでした"));
    const QString kept = existed ? QStringLiteral("。元のファイルはそのままです") : QString();
    auto failed = [&](const QString &what, int e) { return fail(error, path, what.arg(SystemReason(e)) + kept); };

    // A note of a cut in-place write would otherwise later be put back over
    // the new file.
    if (existed && !UndoCutWrite(target, error))
        return false;
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (const int injected = FileFaultCheck(FileStep::Create, path))
        return failed(QStringLiteral("保存できません（%1）"), injected);
    QString temp;
    Fd fd;
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temp =
            QDir(folder).filePath(QStringLiteral(".%1.%2")
                                      .arg(info.fileName())
                                      .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0')));
        fd.reset(retry([&] {
            return ::open(native(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          existed ? (st.st_mode & 0777) : 0666);
        }));
        if (fd.get() < 0 && errno != EEXIST)
            break;
    }
    if (fd.get() < 0)
        return failed(QStringLiteral("保存できません（一時ファイルを作れません: %1）"), errno);
    if (existed)
        ::fchmod(fd.get(), st.st_mode & 07777); // the old file's permissions, past the umask

    int e = writeAll(fd.get(), path, bytes.data(), bytes.size(), -1);
    if (e == 0)
        e = syncFile(fd.get(), path, false);
    if (e == 0)
        e = fd.close();
    if (e != 0) {
        fd.close();
        ::unlink(native(temp).constData());
        return failed(QStringLiteral("書き込めません（%1）"), e);
    }
    e = FileFaultCheck(FileStep::Rename, path);
    if (e == 0 && ::rename(native(temp).constData(), native(target).constData()) != 0)
        e = errno;
    if (e != 0) {
        ::unlink(native(temp).constData());
        return failed(QStringLiteral("置き換えられません（%1）"), e);
    }
    syncFolder(folder);
    return true;
}

bool PutFolderInPlace(const QString &building, const QString &target, QString *error)
{
    const QByteArray from = native(building);
    const QByteArray to = native(target);
    int e = FileFaultCheck(FileStep::Rename, target);
    if (e == 0) {
#ifdef Q_OS_LINUX
        // One step that never replaces what has the name meanwhile.
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) != 0)
            e = errno;
        if (e == EINVAL || e == ENOSYS)
#endif
        {
            e = 0;
            struct stat st;
            if (::lstat(to.constData(), &st) == 0)
                e = EEXIST;
            else if (::rename(from.constData(), to.constData()) != 0)
                e = errno;
        }
    }
    if (e == EEXIST || e == ENOTEMPTY)
        return fail(error, target, QStringLiteral("既にあるため、置き換えませんでした"));
    if (e != 0)
        return fail(error, target,
                    QStringLiteral("%1 から名前を変えられません（%2）")
                        .arg(QDir::toNativeSeparators(building), SystemReason(e)));
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

#else // not Q_OS_UNIX: the same rules through Qt's file classes

// Qt's file classes cannot flush to the device, so no note is kept there.
bool UndoCutWrite(const QString &, QString *)
{
    return true;
}

PathKind PathKindOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? PathKind::Other : PathKind::Missing;
    if (info.isDir())
        return PathKind::Folder;
    return info.isFile() ? PathKind::File : PathKind::Other;
}

bool CheckRegularFile(const QString &path, QString *error)
{
    const PathKind kind = PathKindOf(path);
    return kind == PathKind::File || fail(error, path, kindText(kind));
}

bool EnsureFile(const QString &path, QString *error)
{
    if (PathKindOf(path) != PathKind::Missing)
        return CheckRegularFile(path, error);
    if (const int injected = FileFaultCheck(FileStep::Create, path))
        return fail(error, path, QStringLiteral("作成できません（%1）").arg(SystemReason(injected)));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(error, path, QStringLiteral("作成できません（%1）").arg(f.errorString()));
    return true;
}

qint64 RegularFileSize(const QString &path, QString *error)
{
    return CheckRegularFile(path, error) ? QFileInfo(path).size() : -1;
}

bool ReadFileAt(const QString &path, qint64 offset, qint64 length, QByteArray &out, QString *error)
{
    out.clear();
    if (!CheckRegularFile(path, error))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, path, QStringLiteral("開けません（%1）").arg(f.errorString()));
    if (offset < 0 || length <= 0 || offset >= f.size())
        return true;
    if (!f.seek(offset))
        return fail(error, path, QStringLiteral("読み込めません（%1）").arg(f.errorString()));
    out = f.read(qMin(length, f.size() - offset));
    if (f.error() != QFileDevice::NoError) {
        out.clear();
        return fail(error, path, QStringLiteral("読み込めません（%1）").arg(f.errorString()));
    }
    return true;
}

bool WriteFileAt(const QString &path, qint64 offset, QByteArrayView bytes, QByteArrayView fill,
                 const InPlaceRules &rules, QString *error)
{
    if (offset < 0)
        return fail(error, path, QStringLiteral("ファイルの先頭より前には書き込めません"));
    const bool created = PathKindOf(path) == PathKind::Missing;
    if (created && !rules.createMissing)
        return fail(error, path, QStringLiteral("ファイルが見つかりません。書き込みませんでした"));
    if (!created && !CheckRegularFile(path, error))
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return fail(error, path, QStringLiteral("開けません（%1）").arg(f.errorString()));
    const qint64 size = f.size();
    if (offset > size && rules.maxGap >= 0 && offset - size > rules.maxGap)
        return fail(error, path,
                    QStringLiteral("%1 バイトしかないため、%2 バイト目には書き込めません").arg(size).arg(offset));
    QByteArray data;
    qint64 start = offset;
    if (size < offset) {
        start = size;
        data.resize(offset - size);
        for (qint64 pos = size; pos < offset; ++pos)
            data[pos - size] = fill.size() > 0 ? fill[pos % fill.size()] : '\0';
    }
    data.append(bytes.data(), bytes.size());
    QByteArray old;
    if (start < size && f.seek(start))
        old = f.read(qMin<qint64>(size - start, data.size()));
    qint64 allowed = 0;
    int e = FileFaultCheck(FileStep::Write, path, data.size(), &allowed);
    QString reason;
    if (e == 0 &&
        (!f.seek(start) || f.write(data.constData(), allowed) != allowed || allowed < data.size() || !f.flush()))
        reason = allowed < data.size() ? SystemReason(ENOSPC) : f.errorString();
    if (e == 0 && reason.isEmpty())
        e = FileFaultCheck(FileStep::Sync, path);
    if (e != 0)
        reason = SystemReason(e);
    if (reason.isEmpty())
        return true;
    f.seek(start);
    f.write(old);
    f.resize(size);
    f.close();
    if (created)
        QFile::remove(path);
    return fail(error, path, QStringLiteral("書き込めません（%1）。ファイルは元のままです").arg(reason));
}

bool WriteFileAtomic(const QString &path, QByteArrayView bytes, QString *error)
{
    const PathKind kind = PathKindOf(path);
    if (kind != PathKind::Missing && kind != PathKind::File)
        return fail(error, path, kindText(kind) + QStringLiteral("。置き換えませんでした"));
    const QString kept = kind == PathKind::File ? QStringLiteral("。元のファイルはそのままです") : QString();
    if (const int injected = FileFaultCheck(FileStep::Create, path))
        return fail(error, path, QStringLiteral("保存できません（%1）").arg(SystemReason(injected)) + kept);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(error, path, QStringLiteral("保存できません（%1）").arg(f.errorString()) + kept);
    qint64 allowed = 0;
    int e = FileFaultCheck(FileStep::Write, path, bytes.size(), &allowed);
    QString reason;
    // QSaveFile::commit() does not look at a failed flush: both are checked here.
    if (e == 0 && (f.write(bytes.data(), allowed) != allowed || allowed < bytes.size() || !f.flush() ||
                   f.error() != QFileDevice::NoError))
        reason = allowed < bytes.size() ? SystemReason(ENOSPC) : f.errorString();
    if (e == 0 && reason.isEmpty())
        e = FileFaultCheck(FileStep::Sync, path);
    if (e == 0 && reason.isEmpty())
        e = FileFaultCheck(FileStep::Rename, path);
    if (e != 0)
        reason = SystemReason(e);
    if (!reason.isEmpty()) {
        f.cancelWriting();
        return fail(error, path, QStringLiteral("書き込めません（%1）").arg(reason) + kept);
    }
    if (!f.commit())
        return fail(error, path, QStringLiteral("置き換えられません（%1）").arg(f.errorString()) + kept);
    return true;
}

bool PutFolderInPlace(const QString &building, const QString &target, QString *error)
{
    if (PathKindOf(target) != PathKind::Missing)
        return fail(error, target, QStringLiteral("既にあるため、置き換えませんでした"));
    if (const int injected = FileFaultCheck(FileStep::Rename, target))
        return fail(error, target,
                    QStringLiteral("%1 から名前を変えられません（%2）")
                        .arg(QDir::toNativeSeparators(building), SystemReason(injected)));
    if (!QDir().rename(building, target))
        return fail(error, target,
                    QStringLiteral("%1 から名前を変えられません").arg(QDir::toNativeSeparators(building)));
    return true;
}

#endif

bool ReadFileHead(const QString &path, qint64 maxBytes, QByteArray &out, QString *error)
{
    return ReadFileAt(path, 0, maxBytes, out, error);
}

QString BuildingFolderFor(const QString &target)
{
    const QFileInfo info(QDir::cleanPath(target));
    return QDir(info.absolutePath()).filePath(QStringLiteral(".%1.making").arg(info.fileName()));
}

} // namespace tz
