// Registration dates as OLE Automation dates, and typed dates.

#include "common/ole_date.h"

#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

class TestDates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oleDates_data()
    {
        QTest::addColumn<double>("ole");
        QTest::addColumn<QDateTime>("dateTime");
        QTest::newRow("2014-07-26") << 41846.0 << QDateTime(QDate(2014, 7, 26), QTime(0, 0));
        QTest::newRow("evening") << 41846.75 << QDateTime(QDate(2014, 7, 26), QTime(18, 0));
        QTest::newRow("epoch noon") << 0.5 << QDateTime(QDate(1899, 12, 30), QTime(12, 0));
        QTest::newRow("day before epoch") << -1.0 << QDateTime(QDate(1899, 12, 29), QTime(0, 0));
        // Before the epoch the fraction still counts forward from midnight.
        QTest::newRow("before epoch with time") << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
        QTest::newRow("year 2000") << 36526.0 << QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    }
    void oleDates()
    {
        QFETCH(double, ole);
        QFETCH(QDateTime, dateTime);
        QCOMPARE(OleToDateTime(ole), dateTime);
        QCOMPARE(OleToDate(ole), dateTime.date());
        QCOMPARE(DateTimeToOle(dateTime), ole);
    }

    void zeroIsUnset()
    {
        QVERIFY(!OleToDate(0).isValid());
        QVERIFY(!OleToDateTime(0).isValid());
        QCOMPARE(DateToOle(QDate()), 0.0);
        QCOMPARE(DateTimeToOle(QDateTime()), 0.0);
        QCOMPARE(DateToOle(QDate(2014, 7, 26)), 41846.0);
    }

    void outOfRangeIsNull()
    {
        QVERIFY(!OleToDate(1e12).isValid());
        QVERIFY(!OleToDate(-1e12).isValid());
        QVERIFY(!OleToDate(std::numeric_limits<double>::quiet_NaN()).isValid());
    }

    void typedDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("yy/MM/dd") << u"99/04/28"_s << QDate(1999, 4, 28);
        QTest::newRow("two-digit year below 50") << u"05/1/2"_s << QDate(2005, 1, 2);
        QTest::newRow("year 49") << u"49/12/31"_s << QDate(2049, 12, 31);
        QTest::newRow("year 50") << u"50/01/01"_s << QDate(1950, 1, 1);
        QTest::newRow("yyyy/MM/dd") << u"2014/07/26"_s << QDate(2014, 7, 26);
        QTest::newRow("yyyy-MM-dd") << u"2014-07-26"_s << QDate(2014, 7, 26);
        QTest::newRow("blanks around") << u" 2014/07/26 "_s << QDate(2014, 7, 26);
        QTest::newRow("no such day") << u"2014/02/30"_s << QDate();
        QTest::newRow("no such month") << u"2014/13/01"_s << QDate();
        QTest::newRow("word") << u"tomorrow"_s << QDate();
        QTest::newRow("empty") << u""_s << QDate();
    }
    void typedDates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(ParseTypedDate(text), date);
    }
};

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
