// The field check of the record card, box by box.
#include "card/record_check.h"

#include <QTest>

using namespace tz;

class TestRecordCheck : public QObject
{
    Q_OBJECT

    RecX m_x;

    RecCheckResult check(int box, const QString &text, const QString &linkOld = {}, const QString &page1 = {})
    {
        RecCheckContext ctx{m_x, linkOld, page1, 4, 20, 200, 200};
        return P3RecCheck(box, text, ctx);
    }

private Q_SLOTS:
    void init()
    {
        m_x = RecX{};
        m_x.title = QStringLiteral("Old title.");
        m_x.year = 1998;
        m_x.JPcode = 12;
        m_x.page2 = QStringLiteral("145");
        m_x.regDate = QDate(2014, 7, 26);
    }

    void textBoxes_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("marked");
        QTest::newRow("memo cut to 70") << 1 << QString(80, u'm') << QString(70, u'm') << true;
        QTest::newRow("memo trimmed") << 1 << QStringLiteral("  note  ") << QStringLiteral("note") << true;
        QTest::newRow("memo unchanged") << 1 << QStringLiteral("  ") << QString() << false;
        QTest::newRow("author normalised")
            << 2 << QStringLiteral("J. R. Smith and C. Brown") << QStringLiteral("J.R.Smith, C.Brown") << true;
        QTest::newRow("title period") << 3 << QStringLiteral("A study of X") << QStringLiteral("A study of X.") << true;
        QTest::newRow("title question") << 3 << QStringLiteral("Why?") << QStringLiteral("Why?") << true;
        QTest::newRow("title japanese") << 3 << QStringLiteral("研究。") << QStringLiteral("研究。") << true;
        QTest::newRow("title same as stored")
            << 3 << QStringLiteral("Old title") << QStringLiteral("Old title.") << false;
        QTest::newRow("title cut to 280") << 3 << QString(300, u't') << QString(280, u't') << true;
        QTest::newRow("book cut to 140") << 5 << QString(150, u'b') << QString(140, u'b') << true;
        QTest::newRow("volume cut to 20") << 7 << QString(25, u'7') << QString(20, u'7') << true;
        QTest::newRow("page1 cut to 10") << 8 << QStringLiteral("123456789012") << QStringLiteral("1234567890") << true;
        QTest::newRow("keyword") << 11 << QStringLiteral(" ecology ") << QStringLiteral("ecology") << true;
        QTest::newRow("url") << 14 << QStringLiteral(" https://example.org/a ")
                             << QStringLiteral("https://example.org/a") << true;
        QTest::newRow("doi empty") << 15 << QString() << QString() << false;
    }
    void textBoxes()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, marked);
        const RecCheckResult r = check(box, typed);
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, marked);
        QVERIFY(r.message.isEmpty());
    }

    void style_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("marked");
        QTest::newRow("same") << QStringLiteral("1") << QStringLiteral("1") << false;
        QTest::newRow("book") << QStringLiteral("2") << QStringLiteral("2") << true;
        QTest::newRow("seven becomes 1") << QStringLiteral("7") << QStringLiteral("1") << false;
        QTest::newRow("text becomes 1") << QStringLiteral("x") << QStringLiteral("1") << false;
        QTest::newRow("huge becomes 1") << QStringLiteral("99999999") << QStringLiteral("1") << false;
    }
    void style()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, marked);
        const RecCheckResult r = check(0, typed);
        QCOMPARE(r.marked, marked);
        QCOMPARE(r.text, expected);
    }

    void jpcode_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty passes") << QString() << QString() << false << QString();
        QTest::newRow("new code") << QStringLiteral("101") << QStringLiteral("101") << true << QString();
        QTest::newRow("same code") << QStringLiteral("12") << QStringLiteral("12") << false << QString();
        QTest::newRow("beyond table") << QStringLiteral("9999") << QStringLiteral("0") << true << QString();
        QTest::newRow("negative") << QStringLiteral("-3") << QStringLiteral("0") << true << QString();
        QTest::newRow("rounded") << QStringLiteral("101.5") << QStringLiteral("102") << true << QString();
        QTest::newRow("text") << QStringLiteral("abc") << QStringLiteral("abc") << false << kMsgJPcodeNumeric;
        QTest::newRow("beyond 16 bits") << QStringLiteral("70000") << QStringLiteral("70000") << false
                                        << kMsgJPcodeNumeric;
    }
    void jpcode()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, marked);
        QFETCH(QString, message);
        const RecCheckResult r = check(6, typed);
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, marked);
        QCOMPARE(r.showJPname, marked);
        QCOMPARE(r.message, message);
    }

    void lastPage_data()
    {
        QTest::addColumn<QString>("page1");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("marked");
        QTest::newRow("abbreviated") << QStringLiteral("1234") << QStringLiteral("56") << QStringLiteral("1256")
                                     << true;
        QTest::newRow("over a hundred") << QStringLiteral("99") << QStringLiteral("3") << QStringLiteral("103") << true;
        QTest::newRow("as stored") << QStringLiteral("123") << QStringLiteral("145") << QStringLiteral("145") << false;
        QTest::newRow("stored but typed short")
            << QStringLiteral("123") << QStringLiteral("45") << QStringLiteral("145") << true;
        QTest::newRow("ten-digit pages left as typed")
            << QStringLiteral("1234567890") << QStringLiteral("5") << QStringLiteral("5") << true;
    }
    void lastPage()
    {
        QFETCH(QString, page1);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, marked);
        const RecCheckResult r = check(9, typed, {}, page1);
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, marked);
    }

    void year_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("message");
        QTest::newRow("two digits") << QStringLiteral("98") << QStringLiteral("1998") << true << QString();
        QTest::newRow("one digit") << QStringLiteral("5") << QStringLiteral("2005") << true << QString();
        QTest::newRow("full, as stored") << QStringLiteral("1998") << QStringLiteral("1998") << false << QString();
        QTest::newRow("five digits cut") << QStringLiteral("20011") << QStringLiteral("2001") << true << QString();
        QTest::newRow("empty clears the year") << QString() << QString() << true << QString();
        QTest::newRow("text") << QStringLiteral("nineteen") << QStringLiteral("nineteen") << false << kMsgYearNumeric;
        QTest::newRow("beyond 16 bits") << QStringLiteral("9e99") << QStringLiteral("9e99") << false << kMsgYearNumeric;
    }
    void year()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, marked);
        QFETCH(QString, message);
        const RecCheckResult r = check(10, typed);
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, marked);
        QCOMPARE(r.message, message);
    }

    void emptyYearWithoutStoredYearStaysUnmarked()
    {
        m_x.year = 0;
        const RecCheckResult r = check(10, QStringLiteral("  "));
        QVERIFY(!r.marked);
        QVERIFY(r.message.isEmpty());
    }

    void linkList()
    {
        // Record 4 of 20: ranges expanded, out-of-range numbers and the record itself dropped.
        RecCheckResult r = check(12, QStringLiteral("12, 3-6; 30 /9,12"));
        QVERIFY(r.marked);
        QVERIFY(r.setLinkText);
        QCOMPARE(r.linkText, QStringLiteral("3,5,6,9,12"));
        QCOMPARE(r.text, QStringLiteral("3,5,6,9,12"));

        // The stored list typed again: no mark, the list kept as it is.
        r = check(12, QStringLiteral(" 3,5 "), QStringLiteral("3,5"));
        QVERIFY(!r.marked);
        QCOMPARE(r.linkText, QStringLiteral("3,5"));

        // All links removed.
        r = check(12, QString(), QStringLiteral("3,5"));
        QVERIFY(r.marked);
        QCOMPARE(r.linkText, QString());
    }

    void registrationDate()
    {
        RecCheckResult r = check(13, QStringLiteral("99/04/28"));
        QVERIFY(r.marked);
        QVERIFY(r.message.isEmpty());
        QCOMPARE(r.text, QStringLiteral("99/04/28"));

        r = check(13, QStringLiteral("2014/07/26"));
        QVERIFY(!r.marked);

        r = check(13, QStringLiteral("tomorrow"));
        QVERIFY(!r.marked);
        QCOMPARE(r.message, kMsgRegDate);
        QCOMPARE(r.text, QStringLiteral("tomorrow"));
    }
};

QTEST_GUILESS_MAIN(TestRecordCheck)
#include "tst_record_check.moc"
