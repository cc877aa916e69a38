#pragma once
// The undo note of an in-place write (see file_io.h): what a write in place
// is about to overwrite, kept beside the file until the write has reached the
// device, so that a write cut short by a kill or a power cut can be put back.
//
// Layout: "TZUNDO1\n", the file's old size (-1: the write creates the file),
// the offset of the write and the number of bytes kept, each 8 bytes
// little-endian, the bytes, and an FNV-1a check sum over everything before it
// (8 bytes).

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace tz {

// The most bytes a note keeps and the largest file it puts back: above the
// largest record file.
inline constexpr qint64 kMaxUndoBytes = qint64(1) << 26;
// A note's head: its mark and three numbers of 8 bytes.
inline constexpr qsizetype kUndoHead = 8 + 3 * 8;
// The longest note: its head, the most bytes it keeps and its check sum.
inline constexpr qint64 kMaxUndoNoteSize = kUndoHead + kMaxUndoBytes + 8;

struct UndoNote
{
    qint64 oldSize = -1; // -1: the file did not exist before the write
    qint64 start = 0;    // where the write began
    QByteArray old;      // the bytes it covered, as they were
};

QByteArray EncodeUndoNote(const UndoNote &note);

// The note the bytes hold; nothing for a note cut short (its check sum does
// not match) and for one that could not come from a write (bytes beyond the
// old size, sizes past the limit): such a note was never followed by a write
// the program made, and the file is left as it is.
std::optional<UndoNote> DecodeUndoNote(QByteArrayView bytes);

} // namespace tz
