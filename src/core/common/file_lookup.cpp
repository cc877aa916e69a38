#include "core/common/file_lookup.h"

#include <QDir>
#include <QFileInfo>

namespace tz {

QString FindFileNoCase(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(e);
    return {};
}

QString FilePathNoCase(const QString &folder, const QString &name)
{
    const QString found = FindFileNoCase(folder, name);
    return found.isEmpty() ? QDir(folder).filePath(name) : found;
}

} // namespace tz
