#pragma once
// File access shared by every file the program reads and writes: each routine
// opens its file for one read or write and closes it again; nothing stays open
// between calls. Only regular files are opened: a folder, a named pipe or a
// device in place of a file is refused without ever waiting on it. Failures
// come back as texts that name the file and the system's reason.
//
// Two ways of writing:
// - WriteFileAtomic replaces a whole file: the new bytes go to a temporary
//   file in the same folder, every write and the flush to the device are
//   checked, and only then does it take the file's place. On any failure the
//   old file stays as it was.
// - WriteFileAt changes bytes in place (a record, a table entry): all of them
//   reach the file, or the file is put back as it was (the bytes it overwrote
//   restored, a lengthened file cut back to its old size). A write that a
//   kill or a power cut stops halfway is put back by UndoCutWrite, which every
//   later WriteFileAt of the file and every opening of a bank runs first.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tz {

// "<file>: <reason>", the file in the platform's spelling.
QString FileError(const QString &path, const QString &reason);

// The system's text for an error number ("No space left on device").
QString SystemReason(int error);

// What a path names, symbolic links followed.
enum class PathKind {
    Missing,
    File,   // a regular file
    Folder, // a folder
    Other,  // a named pipe, a device, a socket, a link that leads nowhere
};
PathKind PathKindOf(const QString &path);

// True when path is a regular file; otherwise false with *error naming it and
// saying what it is instead (a folder, a named pipe, missing, ...).
bool CheckRegularFile(const QString &path, QString *error);

// Creates an empty file at path unless one exists. False (with *error) when it
// can neither be found nor created, or when something other than a regular
// file has the name.
bool EnsureFile(const QString &path, QString *error);

// The size of the regular file at path; -1 with *error when it is missing,
// cannot be examined or is no regular file.
qint64 RegularFileSize(const QString &path, QString *error);

// Reads the first min(file size, maxBytes) bytes of an existing regular file.
// The size is taken before anything is allocated.
bool ReadFileHead(const QString &path, qint64 maxBytes, QByteArray &out, QString *error);

// Reads up to `length` bytes at `offset`; fewer (or none) when the file ends
// earlier. The file must exist and be a regular file.
bool ReadFileAt(const QString &path, qint64 offset, qint64 length, QByteArray &out, QString *error);

// How WriteFileAt treats a missing file and a file that ends before `offset`.
struct InPlaceRules
{
    bool createMissing = false; // a missing file is created (otherwise refused)
    qint64 maxGap = -1;         // the most bytes it may add before `offset`; -1: any
};

// Writes `bytes` at `offset` in place and flushes them to the device. When the
// file ends before `offset`, the gap is filled from `fill` repeated over
// entries of fill.size() bytes counted from the start of the file, so the
// entries it completes or adds read back as blank entries. Either every byte
// is written or the file is put back as it was (a file it created is removed
// again); false with *error then.
bool WriteFileAt(const QString &path, qint64 offset, QByteArrayView bytes, QByteArrayView fill,
                 const InPlaceRules &rules, QString *error);

// Puts a file back as it was before an in-place write that was stopped
// halfway (by a kill or a power cut); nothing happens when there was none.
// False with *error when what the write overwrote cannot be put back.
bool UndoCutWrite(const QString &path, QString *error);

// Replaces the whole file at path (or creates it) through a temporary file in
// the same folder: a crash or a failure leaves the old file or the new one,
// never part of one. A symbolic link keeps pointing to the file it names,
// which is the one replaced. False with *error naming the file and the reason.
bool WriteFileAtomic(const QString &path, QByteArrayView bytes, QString *error);

// ---- Folders made whole ----------------------------------------------------------

// Where a folder is built before it takes the name `target`: a hidden folder
// beside it (".NAME.making"), which nothing takes for the folder itself.
QString BuildingFolderFor(const QString &target);

// Gives the finished folder `building` the name `target`, which must not
// exist; the parent folder is flushed so that the name lasts. False with
// *error when target exists or the rename fails (`building` then stays).
bool PutFolderInPlace(const QString &building, const QString &target, QString *error);

} // namespace tz
