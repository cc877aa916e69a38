// The field check of the record card, box by box: record 4 of 20, 200 JP
// codes, a stored record with title "Old title.", year 1998, JP code 12, last
// page 145 and registration date 2014/07/26.
#include "core/card/record_check.h"

#include <QTest>

using namespace tz;

class TestRecordCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxes_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("context"); // box 9: the first page; box 12: the stored link list
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QString>("message");
        auto row = [](const char *name, int box, const QString &typed, const QString &expected, bool marked,
                      const QString &message = {}, const QString &context = {}) {
            QTest::newRow(name) << box << typed << context << expected << marked << message;
        };
        row("memo cut to 70", 1, QString(80, u'm'), QString(70, u'm'), true);
        row("memo trimmed", 1, "  note  ", "note", true);
        row("memo blank", 1, "  ", "", false);
        row("author normalised", 2, "J. R. Smith and C. Brown", "J.R.Smith, C.Brown", true);
        row("title period", 3, "A study of X", "A study of X.", true);
        row("title question", 3, "Why?", "Why?", true);
        row("title japanese", 3, "研究。", "研究。", true);
        row("title same as stored", 3, "Old title", "Old title.", false);
        row("title cut to 280", 3, QString(300, u't'), QString(280, u't'), true);
        row("book cut to 140", 5, QString(150, u'b'), QString(140, u'b'), true);
        row("volume cut to 20", 7, QString(25, u'7'), QString(20, u'7'), true);
        row("page1 cut to 10", 8, "123456789012", "1234567890", true);
        row("keyword", 11, " ecology ", "ecology", true);
        row("url", 14, " https://example.org/a ", "https://example.org/a", true);
        row("doi empty", 15, "", "", false);
        row("style same", 0, "1", "1", false);
        row("style book", 0, "2", "2", true);
        row("style seven becomes 1", 0, "7", "1", false);
        row("style text becomes 1", 0, "x", "1", false);
        row("style huge becomes 1", 0, "99999999", "1", false);
        row("JP code empty", 6, "", "", false);
        row("JP code new", 6, "101", "101", true);
        row("JP code same", 6, "12", "12", false);
        row("JP code beyond table", 6, "9999", "0", true);
        row("JP code negative", 6, "-3", "0", true);
        row("JP code rounded", 6, "101.5", "102", true);
        row("JP code text", 6, "abc", "abc", false, kMsgJPcodeNumeric);
        row("JP code beyond 16 bits", 6, "70000", "70000", false, kMsgJPcodeNumeric);
        row("last page abbreviated", 9, "56", "1256", true, {}, "1234");
        row("last page over a hundred", 9, "3", "103", true, {}, "99");
        row("last page as stored", 9, "145", "145", false, {}, "123");
        row("last page stored but typed short", 9, "45", "145", true, {}, "123");
        row("ten-digit pages left as typed", 9, "5", "5", true, {}, "1234567890");
        row("year two digits", 10, "98", "1998", true);
        row("year one digit", 10, "5", "2005", true);
        row("year as stored", 10, "1998", "1998", false);
        row("year five digits cut", 10, "20011", "2001", true);
        row("year emptied", 10, "", "", true);
        row("year text", 10, "nineteen", "nineteen", false, kMsgYearNumeric);
        row("year beyond 16 bits", 10, "9e99", "9e99", false, kMsgYearNumeric);
        row("links expanded, out of range and self dropped", 12, "12, 3-6; 30 /9,12", "3,5,6,9,12", true);
        row("links as stored: kept as typed", 12, " 3,5 ", " 3,5 ", false, {}, "3,5");
        row("links all removed", 12, "", "", true, {}, "3,5");
        row("date short year", 13, "99/04/28", "99/04/28", true);
        row("date as stored", 13, "2014/07/26", "2014/07/26", false);
        row("date text", 13, "tomorrow", "tomorrow", false, kMsgRegDate);
    }
    void boxes()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, context);
        QFETCH(QString, expected);
        QFETCH(bool, marked);
        QFETCH(QString, message);
        RecX x;
        x.title = QStringLiteral("Old title.");
        x.year = 1998;
        x.JPcode = 12;
        x.page2 = QStringLiteral("145");
        x.regDate = QDate(2014, 7, 26);
        const RecCheckResult r = P3RecCheck(
            BoxAt(box), typed, RecCheckContext{x, box == 12 ? context : QString(), context, 4, 20, 200, 200});
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, marked);
        QCOMPARE(r.message, message);
        if (box == 6)
            QCOMPARE(r.showJPname, marked);
        if (box == 12) // the link list follows the box
            QCOMPARE(r.linkText, expected.trimmed());
    }

    void emptyYearWithoutStoredYearStaysUnmarked()
    {
        RecX x;
        const RecCheckResult r =
            P3RecCheck(CardBox::Year, QStringLiteral("  "), RecCheckContext{x, {}, {}, 4, 20, 200, 200});
        QVERIFY(!r.marked);
        QVERIFY(r.message.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordCheck)
#include "tst_record_check.moc"
