#include "core/session/app_folder.h"

#include "core/common/file_io.h"
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

// Shipped files are small; the sample bank's record file is the largest.
constexpr qint64 kMaxCopyBytes = 64 * 1024 * 1024;

bool failed(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

// Copies a regular file whole, through the program's file writer. Files
// copied from a read-only installation stay writable here.
bool copyFile(const QString &from, const QString &to, QString *error)
{
    const qint64 size = RegularFileSize(from, error);
    if (size < 0)
        return false;
    if (size > kMaxCopyBytes)
        return failed(error, from, QStringLiteral("大きすぎてコピーできません（%1 バイト）").arg(size));
    QByteArray bytes;
    if (!ReadFileHead(from, kMaxCopyBytes, bytes, error) || !WriteFileAtomic(to, bytes, error))
        return false;
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    return true;
}

bool copyInto(const QString &from, const QString &to, QString *error)
{
    if (!QDir().mkpath(to))
        return failed(error, to, QStringLiteral("フォルダを作成できません"));
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        const QString dest = QDir(to).filePath(fi.fileName());
        if (fi.isDir() ? !copyInto(fi.filePath(), dest, error) : !copyFile(fi.filePath(), dest, error))
            return false;
    }
    return true;
}

// Copies a folder whole: it is built beside its place and takes its name only
// when complete, so that a start cut short never leaves half a sample bank.
bool copyTree(const QString &from, const QString &to, QString *error)
{
    const QString building = BuildingFolderFor(to);
    if (QFileInfo(building).isDir() && !QFileInfo(building).isSymLink())
        QDir(building).removeRecursively();
    if (copyInto(from, building, error) && PutFolderInPlace(building, to, error))
        return true;
    QDir(building).removeRecursively();
    return false;
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

bool SeedAppFolder(const QString &target, const QString &bankHome, const QString &defaults, QString *error)
{
    if (QDir::cleanPath(target) == QDir::cleanPath(defaults))
        return true;
    auto copyMissing = [&](const QString &into, const QString &name, bool folder) {
        const QString src = FindFileNoCase(defaults, name);
        if (src.isEmpty() || QFileInfo(src).isDir() != folder || !FindFileNoCase(into, name).isEmpty())
            return true;
        const QString dest = QDir(into).filePath(name);
        return folder ? copyTree(src, dest, error) : copyFile(src, dest, error);
    };
    if (!QDir().mkpath(bankHome))
        return failed(error, bankHome, QStringLiteral("フォルダを作成できません"));
    // form.cfx last: a folder holding it counts as set up.
    return copyMissing(target, QStringLiteral("script.cfx"), false) &&
           copyMissing(target, QStringLiteral("help"), true) &&
           copyMissing(bankHome, QStringLiteral("sample.bnk"), true) && copyMissing(target, kFormDefault, false);
}

QString BankHomeFor(const QString &appFolder)
{
    const QString app = AddSuffix(QDir::cleanPath(appFolder), QStringLiteral("/"));
    const QString exeDir = QDir::cleanPath(QCoreApplication::applicationDirPath());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!qEnvironmentVariableIsEmpty("TESSELLANE_HOME") || QDir::cleanPath(appFolder) == exeDir ||
        documents.isEmpty() || !FindFileNoCase(app, QStringLiteral("sample.bnk")).isEmpty())
        return app;
    return AddSuffix(QDir::cleanPath(QDir(documents).filePath(QStringLiteral("Tessellane"))), QStringLiteral("/"));
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
    if (FindFileNoCase(folder, kFormDefault).isEmpty() && !SeedAppFolder(folder, BankHomeFor(folder), defaults, error))
        return QString();
    return AddSuffix(folder, QStringLiteral("/"));
}

} // namespace tz
