#include "app/config_io.h"

#include "common/file_lookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tz {

std::optional<QByteArray> ReadConfigFile(const QString &file, qint64 maxBytes)
{
    const QFileInfo named(file);
    const QString found = FindFileNoCase(named.absolutePath(), named.fileName());
    if (found.isEmpty() || !QFileInfo(found).isFile())
        return std::nullopt;
    QFile in(found);
    if (!in.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = in.read(qMax<qint64>(0, maxBytes) + 1);
    if (in.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool WriteConfigFile(const QString &file, const QByteArray &bytes, QString *error)
{
    const QFileInfo named(file);
    const QString path = FilePathNoCase(named.absolutePath(), named.fileName());
    auto fail = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    if (out.write(bytes) != bytes.size()) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return fail(reason);
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

} // namespace tz
