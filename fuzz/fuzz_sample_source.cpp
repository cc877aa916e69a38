// Any text as the readable source of a bank (its JP code list and its
// records): the readers never crash or loop, every fault they report names its
// file, and every record they accept fits the record file: it encodes to 1174
// bytes and reads back with its JP code inside the table.

#include "core/bank/sample_bank.h"
#include "core/common/cp932.h"
#include "fuzz_check.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The first byte chooses where the rest is cut between the two files.
    if (bytes.isEmpty())
        return 0;
    const qsizetype cut = qsizetype(data[0]) * (bytes.size() - 1) / 255 + 1;
    const QString jpText = tz::cp932::decode(bytes.sliced(1, cut - 1));
    const QString recordText = tz::cp932::decode(bytes.sliced(cut));
    QStringList errors;
    const tz::JPcodeTable jp = tz::ParseSampleJPcodes(jpText, QStringLiteral("jpcodes.txt"), errors);
    const QList<tz::SampleRecord> records =
        tz::ParseSampleRecords(recordText, QStringLiteral("records.txt"), jp, QDate(2024, 1, 2), errors);
    for (const QString &e : errors)
        check(e.contains(QStringLiteral("jpcodes.txt")) || e.contains(QStringLiteral("records.txt")));
    for (const tz::SampleRecord &r : records) {
        check(tz::EncodeRecord(r.record).size() == tz::kRecordSize);
        check(r.record.JPcode >= 0 && r.record.JPcode <= jp.JPendE);
    }
    return 0;
}
