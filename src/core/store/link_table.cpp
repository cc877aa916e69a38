#include "core/store/link_table.h"

#include "core/common/field_text.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/store/record.h"

#include <QHash>
#include <QStringList>
#include <QtEndian>
#include <algorithm>

namespace tz {
namespace {

// 16 million pairs: far more than any bank links; a larger file is no link table.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

QString linkPath(const QString &bankPath)
{
    return FilePathNoCase(bankPath, kLinkFileName);
}

LinkPair pairAt(const QByteArray &table, int k)
{
    const char *p = table.constData() + static_cast<qsizetype>(k - 1) * kLinkEntrySize;
    return {qFromLittleEndian<qint16>(p), qFromLittleEndian<qint16>(p + 2)};
}

// Entry k (1-based) of the table; the table grows to hold it.
void setPair(QByteArray &table, int k, LinkPair pair)
{
    const qsizetype end = static_cast<qsizetype>(k) * kLinkEntrySize;
    if (table.size() < end)
        table.resize(end, '\0');
    char *p = table.data() + end - kLinkEntrySize;
    qToLittleEndian(pair.RecA, p);
    qToLittleEndian(pair.RecB, p + 2);
}

// A link list as numbers, made canonical for record r first.
QList<int> listNumbers(int r, const QString &list)
{
    QList<int> out;
    const QString canonical = LinkListNorm(r, list, kMaxRecords, kMaxRecords);
    if (canonical.isEmpty())
        return out;
    const QStringList items = canonical.split(u',');
    out.reserve(items.size());
    for (const QString &item : items)
        out.append(item.toInt());
    return out;
}

quint32 keyOf(LinkPair p)
{
    return (quint32(quint16(p.RecA)) << 16) | quint16(p.RecB);
}

// The working state of one merge: the table, its last used entry L, how often
// each pair occurs in entries 1..L (so that adding and deleting absent pairs
// needs no scan) and the entries written.
class Merge
{
public:
    explicit Merge(QByteArray &table) : m_table(table)
    {
        for (int k = static_cast<int>(table.size() / kLinkEntrySize); k >= 1; --k) {
            if (pairAt(table, k).RecA > 0) {
                m_last = k;
                break;
            }
        }
        for (int k = 1; k <= m_last; ++k)
            ++m_count[keyOf(pairAt(table, k))];
    }

    void add(int r, int x)
    {
        const LinkPair pair{static_cast<qint16>(qMin(r, x)), static_cast<qint16>(qMax(r, x))};
        if (m_count.value(keyOf(pair)) > 0)
            return;
        ++m_last;
        put(m_last, pair);
        ++m_count[keyOf(pair)];
    }

    void remove(int r, int x)
    {
        const LinkPair one{static_cast<qint16>(r), static_cast<qint16>(x)};
        const LinkPair other{static_cast<qint16>(x), static_cast<qint16>(r)};
        int copies = m_count.value(keyOf(one)) + m_count.value(keyOf(other));
        for (int k = 1; k <= m_last && copies > 0;) {
            const LinkPair p = pairAt(m_table, k);
            if (p != one && p != other) {
                ++k;
                continue;
            }
            --m_count[keyOf(p)];
            --copies;
            put(k, pairAt(m_table, m_last));
            put(m_last, LinkPair());
            --m_last;
        }
    }

    QList<int> written()
    {
        std::sort(m_written.begin(), m_written.end());
        m_written.erase(std::unique(m_written.begin(), m_written.end()), m_written.end());
        return m_written;
    }

private:
    void put(int k, LinkPair pair)
    {
        setPair(m_table, k, pair);
        m_written.append(k);
    }

    QByteArray &m_table;
    int m_last = 0;
    QHash<quint32, int> m_count;
    QList<int> m_written;
};

} // namespace

QList<LinkPair> DecodeLinkTable(QByteArrayView table)
{
    QList<LinkPair> out;
    const qsizetype n = table.size() / kLinkEntrySize;
    out.reserve(n);
    for (qsizetype k = 0; k < n; ++k) {
        const char *p = table.data() + k * kLinkEntrySize;
        out.append({qFromLittleEndian<qint16>(p), qFromLittleEndian<qint16>(p + 2)});
    }
    return out;
}

QByteArray EncodeLinkPair(LinkPair pair)
{
    QByteArray out(kLinkEntrySize, '\0');
    qToLittleEndian(pair.RecA, out.data());
    qToLittleEndian(pair.RecB, out.data() + 2);
    return out;
}

bool IsValidLink(LinkPair pair, int recCount)
{
    return pair.RecA > 0 && pair.RecA < pair.RecB && pair.RecB <= recCount;
}

QList<LinkPair> ValidLinks(QByteArrayView table, int recCount)
{
    QList<LinkPair> out;
    const QList<LinkPair> all = DecodeLinkTable(table);
    for (const LinkPair &p : all)
        if (IsValidLink(p, recCount))
            out.append(p);
    return out;
}

QString LinkListOf(QByteArrayView table, int r, int recCount, int maxHits)
{
    QStringList partners;
    const qsizetype n = table.size() / kLinkEntrySize;
    for (qsizetype k = 0; k < n; ++k) {
        const char *p = table.data() + k * kLinkEntrySize;
        const LinkPair pair{qFromLittleEndian<qint16>(p), qFromLittleEndian<qint16>(p + 2)};
        if (!IsValidLink(pair, recCount))
            continue;
        if (pair.RecB == r)
            partners.append(QString::number(pair.RecA));
        else if (pair.RecA == r)
            partners.append(QString::number(pair.RecB));
    }
    return LinkListNorm(r, partners.join(QStringLiteral(", ")), recCount, maxHits);
}

QList<int> LinkMerge(QByteArray &table, int r, const QString &newList, const QString &oldList)
{
    if (r < 1 || r > kMaxRecords)
        return {};
    const QList<int> next = listNumbers(r, newList);
    const QList<int> prev = listNumbers(r, oldList);
    if (next == prev)
        return {};

    // Walk both lists as one merge to find the links removed and the links
    // added; delete first, so that additions reuse the slots freed.
    QList<int> removed;
    QList<int> added;
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < next.size() || j < prev.size()) {
        const int n = i < next.size() ? next[i] : 0;
        const int o = j < prev.size() ? prev[j] : 0;
        if (n == o) {
            ++i;
            ++j;
        } else if (o != 0 && (n == 0 || o < n)) {
            removed.append(o);
            ++j;
        } else {
            added.append(n);
            ++i;
        }
    }
    table.reserve(table.size() + added.size() * kLinkEntrySize);
    Merge m(table);
    for (int x : removed)
        m.remove(r, x);
    for (int x : added)
        m.add(r, x);

    return m.written();
}

bool ReadLinkFile(const QString &bankPath, QByteArray &table, QString *error)
{
    table.clear();
    const QString path = linkPath(bankPath);
    if (!EnsureFile(path, error))
        return false;
    const qint64 size = RegularFileSize(path, error);
    if (size < 0)
        return false;
    if (size > kMaxFileBytes) {
        if (error)
            *error = FileError(
                path, QStringLiteral("%1 バイトあり、リンク表の上限（%2）を超えています").arg(size).arg(kMaxFileBytes));
        return false;
    }
    return ReadFileHead(path, kMaxFileBytes, table, error);
}

QString LinkRead(const QString &bankPath, int r, int recCount, int maxHits, QString *error)
{
    QByteArray table;
    if (!ReadLinkFile(bankPath, table, error))
        return {};
    return LinkListOf(table, r, recCount, maxHits);
}

bool LinkWrite(const QString &bankPath, int r, const QString &newList, const QString &oldList, QString *error)
{
    if (r < 1 || r > kMaxRecords) {
        if (error)
            *error = FileError(linkPath(bankPath),
                               QStringLiteral("レコード番号 %1 は 1～%2 の範囲外です").arg(r).arg(kMaxRecords));
        return false;
    }
    if (listNumbers(r, newList) == listNumbers(r, oldList))
        return true;
    QByteArray table;
    if (!RecFilePresent(bankPath, error) || !ReadLinkFile(bankPath, table, error))
        return false;
    const QList<int> written = LinkMerge(table, r, newList, oldList);
    if (written.isEmpty())
        return true;
    const qsizetype from = static_cast<qsizetype>(written.first() - 1) * kLinkEntrySize;
    const qsizetype to = static_cast<qsizetype>(written.last()) * kLinkEntrySize;
    return WriteFileAt(linkPath(bankPath), from, QByteArrayView(table).sliced(from, to - from),
                       EncodeLinkPair(LinkPair()), InPlaceRules{}, error);
}

QList<LinkPair> LinkReadAll(const QString &bankPath, int recCount, QString *error)
{
    if (error)
        error->clear();
    if (FindFileNoCase(bankPath, kLinkFileName).isEmpty())
        return {};
    QByteArray table;
    if (!ReadLinkFile(bankPath, table, error))
        return {};
    return ValidLinks(table, recCount);
}

} // namespace tz
