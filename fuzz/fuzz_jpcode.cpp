// Any bytes as a JP code file: the parse holds the group-end invariant and a
// name per code, and what it gives survives a save and a second load.

#include "core/store/jpcode.h"
#include "fuzz_check.h"

#include <cstdint>
#include <cstdlib>

namespace {

void checkTable(const tz::JPcodeTable &t)
{
    check(0 <= t.JPendT && t.JPendT <= t.JPendJ && t.JPendJ <= t.JPendP && t.JPendP <= t.JPendE &&
          t.JPendE <= tz::kJPcodeMax);
    check(t.JPname.size() == t.JPendE + 1);
    for (const QString &name : t.JPname) {
        check(name.size() <= tz::kJPnameMax);
        check(!name.startsWith(u' ') && !name.endsWith(u' '));
        check(!name.contains(u'\r') && !name.contains(u'\n'));
    }
    for (int code : {-1, 0, 1, int(t.JPendT), int(t.JPendE), t.JPendE + 1})
        check(tz::JPcodeGroup(t, code) >= 0 && tz::JPcodeGroup(t, code) <= 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const tz::JPcodeTable first = tz::ParseJPcode(bytes);
    checkTable(first);
    // The lines named as not read exactly are lines of the file, in order.
    for (qsizetype i = 0; i < first.inexactLines.size(); ++i)
        check(first.inexactLines[i] >= 1 && first.inexactLines[i] <= first.JPendE + 2 &&
              (i == 0 || first.inexactLines[i - 1] < first.inexactLines[i]));

    const QByteArray saved = tz::SerializeJPcode(first);
    check(saved.startsWith("3d\r\n"));
    check(saved.count('\n') == first.JPendE + 2);
    const tz::JPcodeTable second = tz::ParseJPcode(saved);
    checkTable(second);
    check(second.JPendT == first.JPendT && second.JPendJ == first.JPendJ && second.JPendP == first.JPendP &&
          second.JPendE == first.JPendE);
    check(tz::SerializeJPcode(second) == saved);
    check(second.inexactLines.isEmpty()); // what the program writes reads back exactly
    return 0;
}
