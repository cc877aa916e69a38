#pragma once
// Small hand-made banks for the search tests: records built field by field and
// laid end to end as the record file holds them.

#include "search/search_engine.h"
#include "store/record.h"

#include <QList>
#include <QString>

// A journal record with the fields the searches look at.
inline tz::Record makeRecord(const QString &author, const QString &title, int year = 0, int jpcode = 0,
                             const QString &volume = {}, const QString &page1 = {})
{
    tz::Record r;
    r.Author = author;
    r.Title = title;
    r.Year = static_cast<qint16>(year);
    r.JPcode = static_cast<qint16>(jpcode);
    r.Volume = volume;
    r.Page1 = page1;
    r.RegDate = 45000;
    return r;
}

inline tz::RecordImage imageOf(const QList<tz::Record> &records)
{
    QByteArray bytes;
    for (const tz::Record &r : records)
        bytes += tz::EncodeRecord(r);
    return tz::RecordImage(bytes, static_cast<int>(records.size()));
}

// count records with a neutral text; the ones listed in `with` get `title`.
inline QList<tz::Record> bankWithTitleAt(int count, const QList<qint16> &with, const QString &title)
{
    QList<tz::Record> records;
    for (int n = 1; n <= count; ++n)
        records.append(makeRecord(QStringLiteral("A.Nobody"),
                                  with.contains(static_cast<qint16>(n)) ? title : QStringLiteral("Nothing.")));
    return records;
}

inline QList<qint16> numbers(std::initializer_list<int> list)
{
    QList<qint16> out;
    for (int n : list)
        out.append(static_cast<qint16>(n));
    return out;
}

inline QList<qint16> range(int from, int to)
{
    QList<qint16> out;
    for (int n = from; n <= to; ++n)
        out.append(static_cast<qint16>(n));
    return out;
}

// Puts a list in place as the result of an earlier search.
inline void setHits(tz::SearchEngine &engine, const QList<qint16> &list)
{
    for (int i = 0; i < list.size(); ++i)
        engine.HitList[i + 1] = list[i];
    engine.HitCount = static_cast<int>(list.size());
}
