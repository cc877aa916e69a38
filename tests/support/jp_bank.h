#pragma once
// Hand-made banks for the JP code tests: a table of names and records that
// say in their memo which journal or publisher they belong to, so that after
// any renumbering a test can tell whether every record still points at its
// own name (and has the style of its name's category).

#include "core/common/file_lookup.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"
#include "support/test_files.h"

#include <QDir>

namespace tz::testing {

inline const QString kJournalTag = QStringLiteral("journal:");

// Record n of the journal `name` (empty: no journal) at `code`.
inline Record jpRecord(int n, int code, int style, const QString &name)
{
    // clang-format off
    return {qint16(style), kJournalTag + name, QStringLiteral("A.Author"), QStringLiteral("Title %1.").arg(n),
            qint16(code), {}, {}, {}, 2000, {}, {}, {}, 45000};
    // clang-format on
}

// A table with the given ends and names; every other code free.
inline JPcodeTable jpTable(int T, int J, int P, int E, const QMap<int, QString> &names)
{
    JPcodeTable t{{}, qint16(T), qint16(J), qint16(P), qint16(E), {}, false};
    JPcodeRepairEnds(t);
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        t.JPname[it.key()] = it.value();
    return t;
}

// The style a record of a code's group has in these banks.
inline int jpStyleOf(const JPcodeTable &t, int code)
{
    const int group = JPcodeGroup(t, code);
    return group <= 2 ? 1 : group == 3 ? 2 : 4;
}

// Writes the bank folder: the record file and the table built byte by byte
// from `records` and `table`, empty link and URL/DOI tables. One record per
// (code, count) entry, its style from the code's group.
inline void writeJPbank(const QString &bank, const JPcodeTable &table, const QList<std::pair<int, int>> &codes)
{
    QDir().mkpath(bank);
    QByteArray bytes;
    int n = 0;
    for (const auto &[code, count] : codes)
        for (int i = 0; i < count; ++i)
            bytes += EncodeRecord(jpRecord(++n, code, jpStyleOf(table, code), JPcodeName(table, code)));
    writeFile(bank + QStringLiteral("/record.tzd"), bytes);
    writeFile(bank + QStringLiteral("/JPcode.tzd"), SerializeJPcode(table));
    writeFile(bank + QStringLiteral("/Link.tzd"), {});
    writeFile(bank + QStringLiteral("/Pdf.tzd"), {});
}

inline JPcodeTable storedTable(const QString &bank)
{
    return ParseJPcode(readFile(FilePathNoCase(bank, QString(kJPcodeFileName))));
}

inline QList<Record> storedRecords(const QString &bank)
{
    const QByteArray bytes = readFile(FilePathNoCase(bank, QString(kRecordFileName)));
    QList<Record> out;
    for (int n = 1; n * kRecordSize <= bytes.size(); ++n)
        out.append(DecodeRecord(RecordAt(bytes, n)));
    return out;
}

// An empty text when every record of the bank as stored points at the name
// its memo gives and has the style of that code's group; else the first fault.
inline QString journalFault(const QString &bank)
{
    const JPcodeTable t = storedTable(bank);
    const QList<Record> records = storedRecords(bank);
    for (int i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        const QString wanted = r.Memo.mid(kJournalTag.size());
        if (JPcodeName(t, r.JPcode) != wanted)
            return QStringLiteral("record %1: code %2 names \"%3\", its journal is \"%4\"")
                .arg(i + 1)
                .arg(r.JPcode)
                .arg(JPcodeName(t, r.JPcode), wanted);
        if (r.JPcode > 0 && r.Style != jpStyleOf(t, r.JPcode))
            return QStringLiteral("record %1: style %2 in the group of code %3").arg(i + 1).arg(r.Style).arg(r.JPcode);
    }
    return {};
}

} // namespace tz::testing
