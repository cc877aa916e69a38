#include "core/common/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tz {
namespace {

bool fail(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = FileError(path, reason);
    return false;
}

} // namespace

QString FileError(const QString &path, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
}

bool EnsureFile(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (info.exists()) {
        if (info.isDir())
            return fail(error, path, QStringLiteral("ファイルではなくフォルダです"));
        return true;
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(error, path, QStringLiteral("作成できません（%1）").arg(f.errorString()));
    f.close();
    return true;
}

bool ReadFileAt(const QString &path, qint64 offset, qint64 length, QByteArray &out, QString *error)
{
    out.clear();
    QFile f(path);
    if (!f.exists())
        return fail(error, path, QStringLiteral("ファイルが見つかりません"));
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, path, QStringLiteral("開けません（%1）").arg(f.errorString()));
    if (f.isSequential() || offset < 0 || length <= 0 || offset >= f.size())
        return true;
    const qint64 n = qMin(length, f.size() - offset);
    if (!f.seek(offset))
        return fail(error, path, QStringLiteral("%1 バイト目に移動できません（%2）").arg(offset).arg(f.errorString()));
    out.resize(n);
    const qint64 got = f.read(out.data(), n);
    if (got < 0) {
        out.clear();
        return fail(error, path, QStringLiteral("読み込めません（%1）").arg(f.errorString()));
    }
    out.truncate(got);
    return true;
}

bool ReadFileHead(const QString &path, qint64 maxBytes, QByteArray &out, QString *error)
{
    return ReadFileAt(path, 0, maxBytes, out, error);
}

bool WriteFileAt(const QString &path, qint64 offset, QByteArrayView bytes, QByteArrayView fill, QString *error)
{
    if (offset < 0)
        return fail(error, path, QStringLiteral("ファイルの先頭より前には書き込めません"));
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return fail(error, path, QStringLiteral("書き込み用に開けません（%1）").arg(f.errorString()));
    if (f.isSequential())
        return fail(error, path, QStringLiteral("通常のファイルではありません"));
    const qint64 size = f.size();
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
    if (!f.seek(start))
        return fail(error, path, QStringLiteral("%1 バイト目に移動できません（%2）").arg(start).arg(f.errorString()));
    if (f.write(data) != data.size() || !f.flush())
        return fail(error, path, QStringLiteral("書き込めません（%1）").arg(f.errorString()));
    f.close();
    if (f.error() != QFileDevice::NoError)
        return fail(error, path, QStringLiteral("書き込めません（%1）").arg(f.errorString()));
    return true;
}

bool WriteFileAtomic(const QString &path, QByteArrayView bytes, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return fail(error, path, QStringLiteral("書き込み用に開けません（%1）").arg(f.errorString()));
    if (f.write(bytes.data(), bytes.size()) != bytes.size()) {
        const QString reason = f.errorString();
        f.cancelWriting();
        return fail(error, path, QStringLiteral("書き込めません（%1）").arg(reason));
    }
    if (!f.commit())
        return fail(error, path, QStringLiteral("書き込めません（%1）").arg(f.errorString()));
    return true;
}

} // namespace tz
