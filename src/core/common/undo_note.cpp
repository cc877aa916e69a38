#include "core/common/undo_note.h"

namespace tz {
namespace {

constexpr char kUndoMagic[] = "TZUNDO1\n";

quint64 fnv1a(QByteArrayView bytes)
{
    quint64 h = 14695981039346656037ull;
    for (const char c : bytes)
        h = (h ^ quint8(c)) * 1099511628211ull;
    return h;
}

void appendNumber(QByteArray &out, qint64 value)
{
    for (int i = 0; i < 8; ++i)
        out.append(char(quint64(value) >> (8 * i)));
}

qint64 numberAt(QByteArrayView bytes, qsizetype at)
{
    quint64 v = 0;
    for (int i = 0; i < 8; ++i)
        v |= quint64(quint8(bytes[at + i])) << (8 * i);
    return qint64(v);
}

} // namespace

QByteArray EncodeUndoNote(const UndoNote &note)
{
    QByteArray bytes(kUndoMagic, 8);
    appendNumber(bytes, note.oldSize);
    appendNumber(bytes, note.start);
    appendNumber(bytes, note.old.size());
    bytes.append(note.old);
    appendNumber(bytes, qint64(fnv1a(bytes)));
    return bytes;
}

std::optional<UndoNote> DecodeUndoNote(QByteArrayView bytes)
{
    if (bytes.size() < kUndoHead + 8 || !bytes.startsWith(QByteArrayView(kUndoMagic, 8)))
        return std::nullopt;
    const qint64 oldSize = numberAt(bytes, 8), start = numberAt(bytes, 16), length = numberAt(bytes, 24);
    if (length < 0 || length > kMaxUndoBytes || bytes.size() != kUndoHead + length + 8 ||
        quint64(numberAt(bytes, kUndoHead + length)) != fnv1a(bytes.first(kUndoHead + length)))
        return std::nullopt;
    const bool created = oldSize == -1 && start == 0 && length == 0;
    if (!created && (oldSize < 0 || oldSize > kMaxUndoBytes || start < 0 || start > oldSize - length))
        return std::nullopt;
    return UndoNote{oldSize, start, bytes.sliced(kUndoHead, length).toByteArray()};
}

} // namespace tz
