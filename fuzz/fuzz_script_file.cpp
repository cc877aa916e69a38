// Any bytes as a script file, and any text as one code line: reading never
// fails, keeps at most the table's scripts and gives the same result twice.
#include "core/common/cp932.h"
#include "core/format/script_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QStringList report;
    const tz::ScriptTable first = tz::ParseScriptFile(bytes, QStringLiteral("script.cfg"), report);
    if (first.ScriptCount < 0 || first.ScriptCount > tz::MaxScripts)
        std::abort();
    QStringList again;
    if (!(tz::ParseScriptFile(bytes, QStringLiteral("script.cfg"), again) == first) || again != report)
        std::abort();

    bool ok = false;
    const QString code = tz::DecodeCodeLine(tz::cp932::decode(bytes), &ok);
    if (!ok && !code.isEmpty())
        std::abort();
    return 0;
}
