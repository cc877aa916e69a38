// The field normalisers: title end marks, completed last pages, link lists.

#include "common/field_text.h"

#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

class TestFieldText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titlePeriod_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << u"A study of X"_s << u"A study of X."_s;
        QTest::newRow("question") << u"Why?"_s << u"Why?"_s;
        QTest::newRow("period") << u"Done."_s << u"Done."_s;
        QTest::newRow("ideographic full stop") << u"研究。"_s << u"研究。"_s;
        QTest::newRow("full-width question") << u"なぜ？"_s << u"なぜ？"_s;
        QTest::newRow("japanese without mark") << u"研究"_s << u"研究."_s;
        QTest::newRow("blanks") << u"   "_s << u""_s;
        QTest::newRow("colon is no end mark") << u"Part 2:"_s << u"Part 2:."_s;
    }
    void titlePeriod()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(TitlePeriod(text), result);
    }

    void pageEndFill_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("result");
        QTest::newRow("123 45") << u"123"_s << u"45"_s << u"145"_s;
        QTest::newRow("123 5") << u"123"_s << u"5"_s << u"125"_s;
        QTest::newRow("198 2") << u"198"_s << u"2"_s << u"202"_s;
        QTest::newRow("45 12") << u"45"_s << u"12"_s << u"112"_s;
        QTest::newRow("S123 S130") << u"S123"_s << u"S130"_s << u"S130"_s;
        QTest::newRow("e12 15") << u"e12"_s << u"15"_s << u"e15"_s;
        QTest::newRow("12 130") << u"12"_s << u"130"_s << u"130"_s;
        QTest::newRow("1234 56") << u"1234"_s << u"56"_s << u"1256"_s;
        QTest::newRow("99 3") << u"99"_s << u"3"_s << u"103"_s;
        QTest::newRow("1998 05") << u"1998"_s << u"05"_s << u"2005"_s;
        QTest::newRow("no first page") << u""_s << u"45"_s << u"45"_s;
        QTest::newRow("no last page") << u"123"_s << u""_s << u""_s;
        QTest::newRow("first ends in a letter") << u"12a"_s << u"5"_s << u"5"_s;
        QTest::newRow("prefix and abbreviated end") << u"S123"_s << u"5"_s << u"S125"_s;
        QTest::newRow("longer but smaller end") << u"5"_s << u"03"_s << u"03"_s;
        QTest::newRow("nine digits") << u"999999999"_s << u"5"_s << u"1000000005"_s;
        QTest::newRow("ten digits as typed") << u"1234567890"_s << u"5"_s << u"5"_s;
        QTest::newRow("twenty digits as typed") << u"12345678901234567890"_s << u" 99 "_s << u"99"_s;
        QTest::newRow("long end as typed") << u"123456789"_s << u"12345678901234567890"_s << u"12345678901234567890"_s;
    }
    void pageEndFill()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, result);
        QCOMPARE(PageEndFill(first, last), result);
    }

    void linkListNorm_data()
    {
        QTest::addColumn<int>("rec");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("recCount");
        QTest::addColumn<int>("maxHits");
        QTest::addColumn<QString>("result");
        QTest::newRow("example") << 4 << u"12, 3-6; 30 /9,12"_s << 20 << 200 << u"3,5,6,9,12"_s;
        QTest::newRow("reversed range") << 1 << u"5-3"_s << 20 << 200 << u""_s;
        QTest::newRow("reversed range among others") << 1 << u"2,5-3,8"_s << 20 << 200 << u"2,8"_s;
        QTest::newRow("repeats") << 1 << u"7,2,7,7"_s << 20 << 200 << u"2,7"_s;
        QTest::newRow("abbreviated end") << 1 << u"120-5"_s << 200 << 200 << u"120,121,122,123,124,125"_s;
        QTest::newRow("range clipped to the bank") << 1 << u"18-25"_s << 20 << 200 << u"18,19,20"_s;
        QTest::newRow("range from nothing") << 9 << u",-3"_s << 20 << 200 << u"1,2,3"_s;
        QTest::newRow("only own number") << 5 << u"5"_s << 20 << 200 << u""_s;
        QTest::newRow("zero and beyond") << 1 << u"0,21,20"_s << 20 << 200 << u"20"_s;
        QTest::newRow("blanks and letters dropped, not separators") << 1 << u"No. 3 and #4"_s << 40 << 200 << u"34"_s;
        QTest::newRow("empty") << 1 << u""_s << 20 << 200 << u""_s;
        QTest::newRow("limited by maxHits in typed order") << 1 << u"9,8,7,6"_s << 20 << 3 << u"7,8,9"_s;
        QTest::newRow("huge range bounded") << 1 << u"1-99999999"_s << 20 << 200
                                            << u"2,3,4,5,6,7,8,9,10,11,12,13,14,15,"_s
                                               "16,17,18,19,20";
        QTest::newRow("huge number dropped") << 1 << u"99999999999999999999,3"_s << 20 << 200 << u"3"_s;
    }
    void linkListNorm()
    {
        QFETCH(int, rec);
        QFETCH(QString, text);
        QFETCH(int, recCount);
        QFETCH(int, maxHits);
        QFETCH(QString, result);
        QCOMPARE(LinkListNorm(rec, text, recCount, maxHits), result);
    }

    void hugeRangeStaysWithinMaxHits()
    {
        const QString list = LinkListNorm(0, QStringLiteral("1-99999999"), 32767, 200);
        const QStringList numbers = list.split(u',');
        QCOMPARE(numbers.size(), 200);
        QCOMPARE(numbers.first(), QStringLiteral("1"));
        QCOMPARE(numbers.last(), QStringLiteral("200"));
    }
};

QTEST_GUILESS_MAIN(TestFieldText)
#include "tst_field_text.moc"
