#include "core/session/config_io.h"

#include "core/common/file_io.h"
#include "core/common/file_lookup.h"

#include <QFile>
#include <QFileInfo>

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
    return WriteFileAtomic(FilePathNoCase(named.absolutePath(), named.fileName()), bytes, error);
}

} // namespace tz
