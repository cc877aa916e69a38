// Any bytes as a record file: every record decodes, normalises and encodes to
// exactly 1174 bytes; encoded records are stable under decode and encode; the
// single-field decoders agree with the whole-record decoder.

#include "core/store/record.h"
#include "fuzz_check.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QDate today(2024, 2, 29);

    for (int n = 0; n <= 4; ++n) {
        const QByteArrayView bytes = n == 0 ? file : tz::RecordAt(file, n);
        check(bytes.size() <= file.size());
        if (n > 0)
            check(bytes.size() <= tz::kRecordSize);

        tz::Record rec = tz::DecodeRecord(bytes);
        check(rec.Memo == tz::DecodeText(bytes, tz::RecordLayout::Memo));
        check(rec.Keyword == tz::DecodeText(bytes, tz::RecordLayout::Keyword));
        check(rec.JPcode == tz::DecodeInt16(bytes, tz::RecordLayout::JPcode));

        tz::NormalizeRecord(rec, today);
        check(rec.Style >= 1 && rec.Style <= 6);
        check(rec.RegDate != 0.0);

        const QByteArray encoded = tz::EncodeRecord(rec);
        check(encoded.size() == tz::kRecordSize);

        const tz::Record again = tz::DecodeRecord(encoded);
        check(again.Style == rec.Style && again.JPcode == rec.JPcode && again.Year == rec.Year);
        check(sameBits(again.RegDate, rec.RegDate));
        check(tz::EncodeRecord(again) == encoded);

        if (n > 0 && bytes.isEmpty())
            break;
    }
    return 0;
}
