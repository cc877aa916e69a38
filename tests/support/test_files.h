#pragma once
// Small file and process helpers for the tests.

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>
#include <csignal>

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry below dir (hidden ones too) with the bytes of each file, so
// that a test can tell that nothing changed.
inline QMap<QString, QByteArray> folderSnapshot(const QString &dir)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(path.mid(dir.size()), it.fileInfo().isDir() ? QByteArray("<folder>") : readFile(path));
    }
    return entries;
}

// A bank folder as the card opens it: its record file (empty) is there.
inline bool makeBank(const QString &folder)
{
    return writeFile(folder + QStringLiteral("/record.tzd"), QByteArray());
}

// A signed 16-bit number, little-endian.
inline QByteArray le16(int v)
{
    const char bytes[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    return QByteArray(bytes, 2);
}

// How many times a kill test kills: TZ_KILL_COUNT, 20 when unset.
inline int killCount()
{
    const int n = qEnvironmentVariableIntValue("TZ_KILL_COUNT");
    return n > 0 ? n : 20;
}

inline void killNow(QProcess &p)
{
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(20000);
}
