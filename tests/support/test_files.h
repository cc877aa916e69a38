#pragma once
// Small file helpers for the tests.

#include <QByteArray>
#include <QFile>
#include <QString>

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

// A signed 16-bit number, little-endian.
inline QByteArray le16(int v)
{
    const char bytes[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    return QByteArray(bytes, 2);
}
