// Any bytes as the undo note of an in-place write: never crashes; a note it
// takes could have come from a write (the kept bytes lie within the old size,
// sizes within the limit) and is written back to the same bytes.

#include "core/common/undo_note.h"
#include "fuzz_check.h"

#include <QByteArray>
#include <cstdint>

using namespace tz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<UndoNote> note = DecodeUndoNote(bytes);
    if (!note)
        return 0;
    if (note->oldSize < 0) {
        check(note->oldSize == -1 && note->start == 0 && note->old.isEmpty());
    } else {
        check(note->oldSize <= kMaxUndoBytes && note->start >= 0);
        check(note->start + note->old.size() <= note->oldSize);
    }
    check(EncodeUndoNote(*note) == bytes);
    return 0;
}
