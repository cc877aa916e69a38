#include "app/app_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tz {

QString DefaultsFolder()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        qEnvironmentVariable("TESSELLANE_HOME"),
        exeDir,
        QDir(exeDir).filePath(QStringLiteral("../share/tessellane")),
        QStringLiteral(TZ_SOURCE_DATA_DIR),
    };
    for (const QString &dir : candidates)
        if (!dir.isEmpty() && QFileInfo::exists(QDir(dir).filePath(QStringLiteral("form.cfx"))))
            return QDir::cleanPath(dir);
    return QStringLiteral(TZ_SOURCE_DATA_DIR);
}

} // namespace tz
