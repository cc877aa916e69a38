#include "core/session/config_io.h"

#include "core/common/file_io.h"
#include "core/common/file_lookup.h"

#include <QFileInfo>

namespace tz {

std::optional<QByteArray> ReadConfigFile(const QString &file, qint64 maxBytes, QString *problem)
{
    if (problem)
        problem->clear();
    const QFileInfo named(file);
    const QString found = FindFileNoCase(named.absolutePath(), named.fileName());
    if (found.isEmpty())
        return std::nullopt;
    QByteArray bytes;
    if (!ReadFileHead(found, qMax<qint64>(0, maxBytes) + 1, bytes, problem))
        return std::nullopt;
    return bytes;
}

bool WriteConfigFile(const QString &file, const QByteArray &bytes, QString *error)
{
    const QFileInfo named(file);
    return WriteFileAtomic(FilePathNoCase(named.absolutePath(), named.fileName()), bytes, error);
}

} // namespace tz
