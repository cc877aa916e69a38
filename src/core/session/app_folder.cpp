#include "core/session/app_folder.h"

#include "core/common/file_lookup.h"
#include "core/common/text.h"
#include "core/session/build_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tz {

namespace {

const QString kFormDefault = QStringLiteral("form.cfx");

bool failed(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

bool copyFile(const QString &from, const QString &to, QString *error)
{
    QFile src(from);
    if (!src.copy(to))
        return failed(error, to, src.errorString());
    // Files copied from a read-only installation stay writable here.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    return true;
}

bool copyTree(const QString &from, const QString &to, QString *error)
{
    if (!QDir().mkpath(to))
        return failed(error, to, QStringLiteral("フォルダを作成できません"));
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        const QString dest = QDir(to).filePath(fi.fileName());
        if (fi.isDir() ? !copyTree(fi.filePath(), dest, error) : !copyFile(fi.filePath(), dest, error))
            return false;
    }
    return true;
}

bool writableFolder(const QString &dir)
{
    const QFileInfo fi(dir);
    return fi.isDir() && fi.isWritable();
}

} // namespace

QString DefaultsFolder()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        qEnvironmentVariable("TESSELLANE_HOME"),
        exeDir,
        QDir(exeDir).filePath(QStringLiteral("../share/tessellane")),
        kInstalledDataFolder.toString(),
    };
    for (const QString &dir : candidates)
        if (!dir.isEmpty() && QFileInfo::exists(QDir(dir).filePath(kFormDefault)))
            return QDir::cleanPath(dir);
    return kInstalledDataFolder.toString();
}

bool SeedAppFolder(const QString &target, const QString &defaults, QString *error)
{
    if (QDir::cleanPath(target) == QDir::cleanPath(defaults))
        return true;
    for (const QString &name : {kFormDefault, QStringLiteral("script.cfx")}) {
        const QString src = FindFileNoCase(defaults, name);
        if (!src.isEmpty() && FindFileNoCase(target, name).isEmpty() &&
            !copyFile(src, QDir(target).filePath(name), error))
            return false;
    }
    for (const QString &name : {QStringLiteral("help"), QStringLiteral("sample.bnk")}) {
        const QString src = FindFileNoCase(defaults, name);
        if (!src.isEmpty() && QFileInfo(src).isDir() && FindFileNoCase(target, name).isEmpty() &&
            !copyTree(src, QDir(target).filePath(name), error))
            return false;
    }
    return true;
}

QString ResolveAppFolder(const QString &defaults, QString *error)
{
    QString folder = qEnvironmentVariable("TESSELLANE_HOME");
    if (folder.isEmpty()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        if (!FindFileNoCase(exeDir, kFormDefault).isEmpty() && writableFolder(exeDir))
            folder = exeDir;
        else
            folder = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                         .filePath(QStringLiteral("tessellane"));
    }
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        failed(error, folder, QStringLiteral("フォルダを作成できません"));
        return QString();
    }
    if (FindFileNoCase(folder, kFormDefault).isEmpty() && !SeedAppFolder(folder, defaults, error))
        return QString();
    return AddSuffix(folder, QStringLiteral("/"));
}

} // namespace tz
