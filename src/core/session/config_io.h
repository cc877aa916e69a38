#pragma once
// Reading and writing the small text files of the program folder (settings,
// bank-path log): found without regard to letter case, read with a size cap,
// written whole and atomically. A file that was not read exactly is not
// written back unless the person agreed.

#include <QByteArray>
#include <QString>
#include <optional>

namespace tz {

// How a file of the program folder was read.
struct ConfigReadState
{
    bool found = false; // something has the file's name
    // False when writing the file back would lose what it holds: it cannot be
    // read (no regular file, no permission), holds bytes that do not decode
    // exactly from code page 932, or holds no values of its kind.
    bool exact = true;
    QString message; // when not exact: what is wrong, naming the file, in the program's language
};

// The bytes of the regular file named like `file` (its name matched without
// regard to letter case), at most maxBytes + 1 of them, so that a caller can
// tell an oversized file. Nothing when there is no such file or it cannot be
// read; *problem (when given) then names the file and says why it could not
// be read, and stays empty for a missing file. Never blocks on special files
// (only regular files are opened).
std::optional<QByteArray> ReadConfigFile(const QString &file, qint64 maxBytes, QString *problem = nullptr);

// Replaces the file named like `file` (an existing spelling is kept, a new file
// gets the spelling given) with `bytes`, atomically: afterwards the folder holds
// either the old file or the whole new one. On failure returns false and sets
// *error (when given) to a text naming the file and the reason.
bool WriteConfigFile(const QString &file, const QByteArray &bytes, QString *error);

} // namespace tz
