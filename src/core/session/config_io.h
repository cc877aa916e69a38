#pragma once
// Reading and writing the small text files of the program folder (settings,
// bank-path log): found without regard to letter case, read with a size cap,
// written whole and atomically.

#include <QByteArray>
#include <QString>
#include <optional>

namespace tz {

// The bytes of the regular file named like `file` (its name matched without
// regard to letter case), at most maxBytes + 1 of them, so that a caller can
// tell an oversized file. Nothing when there is no such file or it cannot be
// read. Never blocks on special files (only regular files are opened).
std::optional<QByteArray> ReadConfigFile(const QString &file, qint64 maxBytes);

// Replaces the file named like `file` (an existing spelling is kept, a new file
// gets the spelling given) with `bytes`, atomically: afterwards the folder holds
// either the old file or the whole new one. On failure returns false and sets
// *error (when given) to a text naming the file and the reason.
bool WriteConfigFile(const QString &file, const QByteArray &bytes, QString *error);

} // namespace tz
