#pragma once
// Hand-made banks for the search tests: records laid end to end as the record
// file holds them, hit lists written as "3,8,9" or "1-200", and the search
// options written as words.

#include "search/search_engine.h"
#include "store/record.h"

#include <QRegularExpression>

// Records written with designated initializers name only the fields a test needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Hits = QList<qint16>;
using Bank = QList<tz::Record>;

inline Hits list(const QString &text)
{
    Hits out;
    for (const QString &piece : text.split(u',', Qt::SkipEmptyParts))
        for (int n = piece.section(u'-', 0, 0).toInt(); n <= piece.section(u'-', -1).toInt(); ++n)
            out.append(static_cast<qint16>(n));
    return out;
}

inline tz::Record rec(const QString &author, const QString &title, int year = 0, int code = 0,
                      const QString &volume = {}, const QString &page1 = {})
{
    return {.Author = author,
            .Title = title,
            .JPcode = qint16(code),
            .Volume = volume,
            .Page1 = page1,
            .Year = qint16(year)};
}

inline tz::RecordImage imageOf(const Bank &records)
{
    QByteArray bytes;
    for (const tz::Record &r : records)
        bytes += tz::EncodeRecord(r);
    return tz::RecordImage(bytes, static_cast<int>(records.size()));
}

// The options: "repeats" (uniQue off), "case" (capitals count), "and", "top",
// "add" (Additional), "list=3,8,9" (the list of an earlier search), "max=N";
// returns N of "card=N", the record on the card.
inline int configure(tz::SearchEngine &engine, int kind, const QString &options)
{
    const QStringList words = options.split(u' ');
    const auto value = [&](const QString &name) {
        const QStringList found = words.filter(QRegularExpression(u'^' + name + u'='));
        return found.isEmpty() ? QString() : found.first().section(u'=', 1);
    };
    engine.setMaxHits(value(QStringLiteral("max")).isEmpty() ? 200 : value(QStringLiteral("max")).toInt());
    engine.SearchItem = kind;
    engine.AndMode = words.contains(u"and") ? 1 : 0;
    engine.CheckMode[tz::CheckUnique] = words.contains(u"repeats") ? 0 : 1;
    engine.CheckMode[tz::CheckIgnoreCase] = words.contains(u"case") ? 0 : 1;
    engine.CheckMode[tz::CheckTopWord] = words.contains(u"top") ? 1 : 0;
    engine.CheckMode[tz::CheckAdditional] = words.contains(u"add") ? 1 : 0;
    const Hits earlier = list(value(QStringLiteral("list")));
    for (int i = 0; i < earlier.size(); ++i)
        engine.HitList[i + 1] = earlier[i];
    engine.HitCount = static_cast<int>(earlier.size());
    return value(QStringLiteral("card")).toInt();
}
