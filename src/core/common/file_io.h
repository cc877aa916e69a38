#pragma once
// File access shared by the bank's data files: each routine opens its file for
// one read or write and closes it again; nothing stays open between calls.
// Failures come back as texts that name the file and the reason.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tz {

// "<file>: <reason>", the file in the platform's spelling.
QString FileError(const QString &path, const QString &reason);

// Creates an empty file at path unless one exists. False (with *error) when it
// can neither be found nor created.
bool EnsureFile(const QString &path, QString *error);

// Reads the first min(file size, maxBytes) bytes of an existing file in one
// read. The size is taken before anything is allocated; a device without a
// size (a character device, a pipe) reads as empty.
bool ReadFileHead(const QString &path, qint64 maxBytes, QByteArray &out, QString *error);

// Reads up to `length` bytes at `offset`; fewer (or none) when the file ends
// earlier. The file must exist.
bool ReadFileAt(const QString &path, qint64 offset, qint64 length, QByteArray &out, QString *error);

// Writes `bytes` at `offset` in place, creating the file when missing. When the
// file ends before `offset`, the gap is filled from `fill` repeated over entries
// of fill.size() bytes counted from the start of the file, so the entries it
// completes or adds read back as blank entries.
bool WriteFileAt(const QString &path, qint64 offset, QByteArrayView bytes, QByteArrayView fill, QString *error);

// Writes the whole file anew through a temporary file: a crash leaves the old
// file or the new one, never part of one.
bool WriteFileAtomic(const QString &path, QByteArrayView bytes, QString *error);

} // namespace tz
