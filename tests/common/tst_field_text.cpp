// The field normalisers: title end marks, completed last pages, link lists.

#include "common/field_text.h"

#include <QtTest>

using namespace tz;

class TestFieldText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titlePeriod_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << "A study of X"
                               << "A study of X.";
        QTest::newRow("question") << "Why?"
                                  << "Why?";
        QTest::newRow("exclamation") << "Stop!"
                                     << "Stop!";
        QTest::newRow("period") << "Done."
                                << "Done.";
        QTest::newRow("ideographic full stop") << "研究。"
                                               << "研究。";
        QTest::newRow("full-width question") << "なぜ？"
                                             << "なぜ？";
        QTest::newRow("full-width exclamation") << "止まれ！"
                                                << "止まれ！";
        QTest::newRow("full-width period") << "研究．"
                                           << "研究．";
        QTest::newRow("japanese without mark") << "研究"
                                               << "研究.";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blanks") << "   "
                                << "";
        QTest::newRow("colon is no end mark") << "Part 2:"
                                              << "Part 2:.";
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
        QTest::newRow("123 45") << "123"
                                << "45"
                                << "145";
        QTest::newRow("123 5") << "123"
                               << "5"
                               << "125";
        QTest::newRow("198 2") << "198"
                               << "2"
                               << "202";
        QTest::newRow("45 12") << "45"
                               << "12"
                               << "112";
        QTest::newRow("S123 S130") << "S123"
                                   << "S130"
                                   << "S130";
        QTest::newRow("e12 15") << "e12"
                                << "15"
                                << "e15";
        QTest::newRow("12 130") << "12"
                                << "130"
                                << "130";
        QTest::newRow("1234 56") << "1234"
                                 << "56"
                                 << "1256";
        QTest::newRow("99 3") << "99"
                              << "3"
                              << "103";
        QTest::newRow("1998 05") << "1998"
                                 << "05"
                                 << "2005";
        QTest::newRow("blanks trimmed") << " 123 "
                                        << " 45 "
                                        << "145";
        QTest::newRow("no first page") << ""
                                       << "45"
                                       << "45";
        QTest::newRow("no last page") << "123"
                                      << ""
                                      << "";
        QTest::newRow("first ends in a letter") << "12a"
                                                << "5"
                                                << "5";
        QTest::newRow("prefix and abbreviated end") << "S123"
                                                    << "5"
                                                    << "S125";
        QTest::newRow("longer but smaller end") << "5"
                                                << "03"
                                                << "03";
        QTest::newRow("nine digits") << "999999999"
                                     << "5"
                                     << "1000000005";
        QTest::newRow("ten digits as typed") << "1234567890"
                                             << "5"
                                             << "5";
        QTest::newRow("twenty digits as typed") << "12345678901234567890"
                                                << " 99 "
                                                << "99";
        QTest::newRow("long end as typed") << "123456789"
                                           << "12345678901234567890"
                                           << "12345678901234567890";
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
        QTest::newRow("example") << 4 << "12, 3-6; 30 /9,12" << 20 << 200 << "3,5,6,9,12";
        QTest::newRow("reversed range") << 1 << "5-3" << 20 << 200 << "";
        QTest::newRow("reversed range among others") << 1 << "2,5-3,8" << 20 << 200 << "2,8";
        QTest::newRow("repeats") << 1 << "7,2,7,7" << 20 << 200 << "2,7";
        QTest::newRow("abbreviated end") << 1 << "120-5" << 200 << 200 << "120,121,122,123,124,125";
        QTest::newRow("range clipped to the bank") << 1 << "18-25" << 20 << 200 << "18,19,20";
        QTest::newRow("range from nothing") << 9 << ",-3" << 20 << 200 << "1,2,3";
        QTest::newRow("only own number") << 5 << "5" << 20 << 200 << "";
        QTest::newRow("zero and beyond") << 1 << "0,21,20" << 20 << 200 << "20";
        QTest::newRow("blanks and letters dropped, not separators") << 1 << "No. 3 and #4" << 40 << 200 << "34";
        QTest::newRow("separators only") << 1 << ",;:/ " << 20 << 200 << "";
        QTest::newRow("empty") << 1 << "" << 20 << 200 << "";
        QTest::newRow("limited by maxHits in typed order") << 1 << "9,8,7,6" << 20 << 3 << "7,8,9";
        QTest::newRow("huge range bounded") << 1 << "1-99999999" << 20 << 200
                                            << "2,3,4,5,6,7,8,9,10,11,12,13,14,15,"
                                               "16,17,18,19,20";
        QTest::newRow("huge number dropped") << 1 << "99999999999999999999,3" << 20 << 200 << "3";
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

    void charKind()
    {
        QCOMPARE(CharKind(u'A'), 1);
        QCOMPARE(CharKind(u'z'), 2);
        QCOMPARE(CharKind(u'0'), 3);
        QCOMPARE(CharKind(u'９'), 0);
        QCOMPARE(CharKind(u'-'), 0);
    }
};

QTEST_GUILESS_MAIN(TestFieldText)
#include "tst_field_text.moc"
