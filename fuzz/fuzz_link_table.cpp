// Any bytes as a link table and a URL/DOI entry. Raw tables: every reader and
// a merge run without fault. Tables that keep the invariants (built from the
// input) keep them after a merge, the record then stores exactly the new list
// and no other record's links change.

#include "core/common/field_text.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "fuzz_check.h"

#include <QMap>
#include <QSet>
#include <cstdint>
#include <cstdlib>

namespace {

// Used entries valid, without gaps and without repeats; free entries after.
bool keepsInvariants(const QByteArray &table, int recCount)
{
    const QList<tz::LinkPair> all = tz::DecodeLinkTable(table);
    bool freePart = false;
    QSet<quint32> seen;
    for (const tz::LinkPair &p : all) {
        if (p == tz::LinkPair()) {
            freePart = true;
            continue;
        }
        if (freePart || !tz::IsValidLink(p, recCount))
            return false;
        const quint32 key = (quint32(quint16(p.RecA)) << 16) | quint16(p.RecB);
        if (seen.contains(key))
            return false;
        seen.insert(key);
    }
    return true;
}

// The pairs that do not involve record r, as a multiset.
QMap<quint32, int> othersOf(const QByteArray &table, int r, int recCount)
{
    QMap<quint32, int> out;
    for (const tz::LinkPair &p : tz::ValidLinks(table, recCount))
        if (p.RecA != r && p.RecB != r)
            ++out[(quint32(quint16(p.RecA)) << 16) | quint16(p.RecB)];
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    const int recCount = 1 + data[0] % 64;
    const int r = 1 + data[1] % recCount;
    const int rawR = static_cast<qint16>(data[2] | (data[3] << 8));
    const size_t listLen = qMin<size_t>(data[4], size - 5);
    const QString typed = QString::fromLatin1(reinterpret_cast<const char *>(data + 5), qsizetype(listLen));
    const QByteArray raw(reinterpret_cast<const char *>(data + 5 + listLen), qsizetype(size - 5 - listLen));

    // PDF entries: decode and encode whatever the bytes hold.
    const tz::PdfEntry entry = tz::DecodePdfEntry(raw);
    check(tz::EncodePdfEntry(entry).size() == tz::kPdfEntrySize);
    check(tz::DecodePdfEntry(tz::EncodePdfEntry(entry)).URL.size() <= tz::kPdfFieldWidth);

    // Raw table: no fault, writes stay within the grown table. The typed list
    // is taken up to 2000 numbers, which keeps a range like "1-30000" cheap.
    {
        QByteArray table = raw;
        const QString stored = tz::LinkListOf(table, rawR, 32767, 32767);
        const QString next = tz::LinkListNorm(rawR, typed, 32767, 2000);
        const QList<int> written = tz::LinkMerge(table, rawR, next, stored);
        for (int k : written)
            check(k >= 1 && qsizetype(k) * tz::kLinkEntrySize <= table.size());
        check(table.size() >= raw.size());
        (void)tz::ValidLinks(table, recCount);
    }

    // A table that keeps the invariants, built from the raw entries.
    QByteArray table;
    QSet<quint32> seen;
    int freeTail = 0;
    for (const tz::LinkPair &p : tz::DecodeLinkTable(raw)) {
        if (p == tz::LinkPair()) {
            ++freeTail;
            continue;
        }
        const int a = 1 + (quint16(p.RecA) % recCount);
        const int b = 1 + (quint16(p.RecB) % recCount);
        if (a == b)
            continue;
        const tz::LinkPair pair{qint16(qMin(a, b)), qint16(qMax(a, b))};
        const quint32 key = (quint32(pair.RecA) << 16) | quint32(pair.RecB);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        table += tz::EncodeLinkPair(pair);
    }
    for (int k = 0; k < freeTail; ++k)
        table += tz::EncodeLinkPair(tz::LinkPair());
    check(keepsInvariants(table, recCount));

    const QString oldList = tz::LinkListOf(table, r, recCount, 32767);
    const QString newList = tz::LinkListNorm(r, typed, recCount, 32767);
    const QMap<quint32, int> others = othersOf(table, r, recCount);
    const qsizetype sizeBefore = table.size();

    tz::LinkMerge(table, r, newList, oldList);
    check(keepsInvariants(table, recCount));
    check(tz::LinkListOf(table, r, recCount, 32767) == newList);
    check(othersOf(table, r, recCount) == others);
    check(table.size() >= sizeBefore);

    // A second save of the same list changes nothing.
    const QByteArray after = table;
    check(tz::LinkMerge(table, r, newList, newList).isEmpty());
    check(table == after);
    return 0;
}
