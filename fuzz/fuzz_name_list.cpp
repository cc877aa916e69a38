// Name lists and the typed-field normalisers on arbitrary text: any text, any
// rule values, any record count must give a result without crashing, hanging
// or reading out of bounds.
//
// Input: 16 header bytes (text encoding, mode, two rules, record count, size
// limit, record number), then the text as UTF-16 or UTF-8.

#include "core/common/field_text.h"
#include "core/format/name_list.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A rule value: mostly within its range, sometimes any 16-bit value.
qint16 ruleValue(uint8_t b, uint8_t extra, int max)
{
    if (b & 0x80)
        return static_cast<qint16>((b << 8) | extra);
    return static_cast<qint16>(b % (max + 2)); // 0 and max + 1 lie just outside
}

tz::NameRule rule(const uint8_t *h)
{
    tz::NameRule r;
    r.firstPerson = ruleValue(h[0], h[1], 14);
    r.secondPerson = ruleValue(h[1], h[0], 14);
    r.punctures = ruleValue(h[2], h[0], 6);
    r.et_al = ruleValue(h[3], h[1], 14);
    r.capitalize = ruleValue(h[4], h[2], 2);
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t kHeader = 16;
    if (size < kHeader)
        return 0;
    const uint8_t *h = data;
    const uint8_t *body = data + kHeader;
    const size_t bodySize = size - kHeader;

    QString text;
    if (h[0] & 1) {
        std::u16string units(bodySize / 2, u'\0');
        std::memcpy(units.data(), body, units.size() * 2);
        text = QString::fromStdU16String(units);
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char *>(body), static_cast<qsizetype>(bodySize));
    }

    const int mode = h[1] % 5; // 0 and 4 are no modes
    const tz::NameRule author = rule(h + 2);
    const tz::NameRule editor = rule(h + 7);
    const int recCount = static_cast<qint16>((h[12] << 8) | h[13]);
    const int maxHits = h[14] * 4 + h[15] % 4; // 0..1023, beyond the usual 200
    const int recNo = static_cast<qint16>((h[15] << 8) | h[12]);

    const QString stored = tz::NameListNormalize(text);
    for (const QString &list : {text, stored}) {
        const tz::ParsedNameList parsed = tz::NameListParse(list);
        if (parsed.persons.size() > tz::kMaxNamePersons)
            std::abort();
        (void)tz::NameListFormat(parsed, author);
        (void)tz::NameListFormat(parsed, tz::SortKeyRule());
        (void)tz::NameListFormat(list, mode, author, editor);
    }

    const qsizetype half = text.size() / 2;
    (void)tz::PageEndFill(text.left(half), text.mid(half));
    (void)tz::LinkListNorm(recNo, text, recCount, maxHits);
    return 0;
}
