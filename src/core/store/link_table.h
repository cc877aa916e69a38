#pragma once
// The link table "Link.tzd": an unordered set of linked record pairs, 4 bytes
// per entry (RecA, RecB: signed 16-bit little-endian), no header. A used entry
// holds 0 < RecA < RecB; used entries fill entries 1..L without gaps and the
// entries after L are free (0, 0). The table never shrinks: deleted pairs
// leave free entries at its end, which later additions reuse.
//
// A link list is the canonical text LinkListNorm gives: ascending distinct
// record numbers joined by ",", empty for no links.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace tz {

inline constexpr int kLinkEntrySize = 4;
inline constexpr QLatin1StringView kLinkFileName("Link.tzd");

struct LinkPair
{
    qint16 RecA = 0;
    qint16 RecB = 0;

    bool operator==(const LinkPair &) const = default;
};

// ---- Pure routines on the bytes of a table ------------------------------------

// Every whole entry (a partial entry at the end is ignored).
QList<LinkPair> DecodeLinkTable(QByteArrayView table);
QByteArray EncodeLinkPair(LinkPair pair);

// 0 < RecA < RecB <= recCount. Entries that break it are skipped by every
// reader.
bool IsValidLink(LinkPair pair, int recCount);

// The valid pairs in table order.
QList<LinkPair> ValidLinks(QByteArrayView table, int recCount);

// The link list of record r: its partners in table order joined by ", ", made
// canonical by LinkListNorm(r, text, recCount, maxHits).
QString LinkListOf(QByteArrayView table, int r, int recCount, int maxHits);

// Brings the table in line with newList for record r by applying the
// difference to oldList (both made canonical first). The removed links are
// deleted first: each deletion moves the last used entry into the slot of the
// pair and frees the last slot. Then each added link is written into the
// entry after the last used one, so freed slots are reused before the table
// grows. A pair that is already stored is not added again; a removed link
// deletes every copy of its pair. Returns the 1-based numbers of the entries
// that were written, ascending; none when the lists are equal or r is outside
// 1..32767.
QList<int> LinkMerge(QByteArray &table, int r, const QString &newList, const QString &oldList);

// ---- File routines (bankPath: the bank folder) --------------------------------
// "Link.tzd" is found without regard to letter case; LinkRead and LinkWrite
// create it empty when the bank has none. Error texts name the file and the
// reason.

// The whole table in one read (created empty when missing). Empty with *error
// when it cannot be read or is too large to be a link table (over 64 MiB).
bool ReadLinkFile(const QString &bankPath, QByteArray &table, QString *error = nullptr);

// The stored link list of record r (see LinkListOf). Empty with *error when
// the table cannot be read. The caller decides where the list goes (the card
// sets both LinkText and LinkTextOld; the renderer keeps its own copy).
QString LinkRead(const QString &bankPath, int r, int recCount, int maxHits, QString *error = nullptr);

// LinkMerge applied to the file: nothing happens when the lists are equal;
// otherwise the entries that change are written back in place in one write,
// which reaches the file whole or leaves it as it was. On success the table
// stores newList, so the caller's LinkTextOld becomes newList. Refuses r
// outside 1..32767 and a bank without its record file.
bool LinkWrite(const QString &bankPath, int r, const QString &newList, const QString &oldList,
               QString *error = nullptr);

// The valid pairs of the bank's table (see IsValidLink). A bank without a
// table has none (no error, and no file is created).
QList<LinkPair> LinkReadAll(const QString &bankPath, int recCount, QString *error = nullptr);

} // namespace tz
