// Registration dates as OLE Automation dates, and typed dates.

#include "common/ole_date.h"

#include <QtTest>

using namespace tz;

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
        QTest::newRow("yy/MM/dd") << "99/04/28" << QDate(1999, 4, 28);
        QTest::newRow("two-digit year below 50") << "05/1/2" << QDate(2005, 1, 2);
        QTest::newRow("year 49") << "49/12/31" << QDate(2049, 12, 31);
        QTest::newRow("year 50") << "50/01/01" << QDate(1950, 1, 1);
        QTest::newRow("yyyy/MM/dd") << "2014/07/26" << QDate(2014, 7, 26);
        QTest::newRow("yyyy-MM-dd") << "2014-07-26" << QDate(2014, 7, 26);
        QTest::newRow("blanks around") << " 2014/07/26 " << QDate(2014, 7, 26);
        QTest::newRow("no such day") << "2014/02/30" << QDate();
        QTest::newRow("no such month") << "2014/13/01" << QDate();
        QTest::newRow("word") << "tomorrow" << QDate();
        QTest::newRow("empty") << "" << QDate();
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
