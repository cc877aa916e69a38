// Any bytes as a bank-path log: never crashes, always ten entries without
// control characters, and what it gives is written and read back unchanged.

#include "core/common/basic.h"
#include "core/session/bank_log.h"
#include "fuzz_check.h"

#include <QByteArray>
#include <cstdlib>

using namespace tz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList paths = BankLogParse(bytes);
    check(paths.size() == kBankPathCount);
    for (const QString &p : paths)
        for (QChar c : p)
            check(c.unicode() >= 0x20 || c == u'\t');

    QByteArray written;
    QString why;
    if (!BankLogFormat(paths, &written, &why))
        return 0;
    QStringList kept;
    for (const QString &p : paths)
        if (!Trim(p).isEmpty())
            kept.append(Trim(p));
    while (kept.size() < kBankPathCount)
        kept.append(QString());
    check(BankLogParse(written) == kept);
    return 0;
}
