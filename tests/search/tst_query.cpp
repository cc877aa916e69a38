// Cutting the key text into search words and numbers.
#include "search/hit_banks.h"
#include "search/search_engine.h"

#include <QElapsedTimer>
#include <QTest>

using namespace tz;

namespace {

JPcodeTable groups(int t, int j, int p, int e)
{
    JPcodeTable table;
    table.JPendT = static_cast<qint16>(t);
    table.JPendJ = static_cast<qint16>(j);
    table.JPendP = static_cast<qint16>(p);
    table.JPendE = static_cast<qint16>(e);
    JPcodeRepairEnds(table);
    return table;
}

QList<qint16> keyNumbers(const SearchEngine &engine)
{
    return engine.KeyNums.mid(1, engine.KeyCount);
}

} // namespace

class TestQuery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void words_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<int>("andMode"); // AndMode 1 before the parse

        const QStringList two{"alpha", "beta"};
        QTest::newRow("two blanks") << "alpha  beta" << true << two << 1;
        QTest::newRow("comma and blank") << "alpha, beta" << true << two << 1;
        QTest::newRow("comma") << "alpha,beta" << true << two << 1;
        QTest::newRow("separators around") << " ,alpha beta, " << true << two << 1;
        QTest::newRow("one word: OR") << " alpha , " << true << QStringList{"alpha"} << 0;
        QTest::newRow("capitals ignored") << "Alpha BETA" << true << two << 1;
        QTest::newRow("capitals kept") << "Alpha BETA" << false << QStringList{"Alpha", "BETA"} << 1;
        QTest::newRow("full-width blank inside") << QString::fromUtf8("山田\u3000太郎 x") << true
                                                 << QStringList{QString::fromUtf8("山田\u3000太郎"), "x"} << 1;
        QTest::newRow("tab and hyphen inside") << "a\tb-c" << true << QStringList{"a\tb-c"} << 0;
        QTest::newRow("only separators") << ", ,, " << true << QStringList{} << 1;
        QTest::newRow("full-width capitals")
            << QString::fromUtf8("ＡＢＣ") << true << QStringList{QString::fromUtf8("ａｂｃ")} << 0;
    }
    void words()
    {
        QFETCH(QString, keys);
        QFETCH(bool, ignoreCase);
        QFETCH(QStringList, words);
        QFETCH(int, andMode);
        SearchEngine engine;
        engine.CheckMode[CheckIgnoreCase] = ignoreCase ? 1 : 0;
        engine.AndMode = 1;
        engine.Step1GetWord(keys);
        QCOMPARE(engine.KeyWords.mid(1, engine.KeyCount), words);
        QCOMPARE(engine.AndMode, andMode);
    }

    void wordsStopAtTheLimit()
    {
        SearchEngine engine(3);
        engine.Step1GetWord(QStringLiteral("a b c d e"));
        QCOMPARE(engine.KeyCount, 3);
        QCOMPARE(engine.KeyWords.mid(1, 3), (QStringList{"a", "b", "c"}));
    }

    void parsedNumbers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<qint16>>("expected");

        QTest::newRow("years and a range")
            << int(KindYear) << "1990-1993,2001" << numbers({1990, 1991, 1992, 1993, 2001});
        QTest::newRow("abbreviated range end") << int(KindYear) << "1998-05" << range(1998, 2005);
        QTest::newRow("future year dropped") << int(KindYear) << "2024 2026" << numbers({2024});
        QTest::newRow("year twice") << int(KindYear) << "1995 1995" << numbers({1995, 1995});
        QTest::newRow("range end beyond the records") << int(KindRecord) << "100-130" << range(100, 120);
        QTest::newRow("range from 0") << int(KindRecord) << "0-5" << numbers({5});
        QTest::newRow("range of one") << int(KindRecord) << "7-7" << numbers({7});
        QTest::newRow("range end below its start") << int(KindRecord) << "50-009" << numbers({});
        QTest::newRow("no number") << int(KindRecord) << "3,abc,4" << numbers({3, 4});
        QTest::newRow("leading number of a piece") << int(KindRecord) << "12abc" << numbers({12});
        QTest::newRow("fraction rounded") << int(KindRecord) << "12.6" << numbers({13});
        QTest::newRow("record 0 dropped") << int(KindRecord) << "0,121" << numbers({});
        QTest::newRow("current record kind") << int(KindCurrent) << "4,2" << numbers({4, 2});
        QTest::newRow("linked record kind") << int(KindLinked) << "120,121" << numbers({120});
        QTest::newRow("JP code beyond the last group") << int(KindJPcode) << "1,200,201" << numbers({1, 200});
        QTest::newRow("JP codes across groups") << int(KindJPcode) << "19-22" << range(19, 22);
        // Numbers that round to 0 name no record, year or code.
        QTest::newRow("record near 0") << int(KindRecord) << "0.4,3" << numbers({3});
        QTest::newRow("year near 0") << int(KindYear) << "0.3 1995" << numbers({1995});
        QTest::newRow("JP code near 0") << int(KindJPcode) << "0.5,7" << numbers({7});
        QTest::newRow("JP code just past the end") << int(KindJPcode) << "200.3" << numbers({});
        QTest::newRow("JP code far too large") << int(KindJPcode) << "1e12,4294967297" << numbers({});
    }
    void parsedNumbers()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        QFETCH(QList<qint16>, expected);
        const JPcodeTable jp = groups(20, 100, 150, 200);
        SearchEngine engine;
        engine.SearchItem = kind;
        engine.Step1GetNum(keys, NumberContext{120, &jp, 2025});
        QCOMPARE(keyNumbers(engine), expected);
    }

    void numbersStopAtTheLimit()
    {
        SearchEngine engine; // the default limit, 200
        engine.SearchItem = KindRecord;
        engine.Step1GetNum(QStringLiteral("1-500"), NumberContext{600, nullptr, 2025});
        QCOMPARE(keyNumbers(engine), range(1, 200));

        engine.Step1GetNum(QStringLiteral("7 1-500"), NumberContext{600, nullptr, 2025});
        QCOMPARE(engine.KeyCount, 200);
        QCOMPARE(engine.KeyNums[200], 199);
    }

    void hugeRangesStayBounded()
    {
        SearchEngine engine(kMaxRecords);
        engine.SearchItem = KindRecord;
        QElapsedTimer timer;
        timer.start();
        engine.Step1GetNum(QStringLiteral("1-99999999"), NumberContext{kMaxRecords, nullptr, 2025});
        QCOMPARE(engine.KeyCount, kMaxRecords);
        QCOMPARE(engine.KeyNums[kMaxRecords], kMaxRecords);

        engine.setMaxHits(200);
        engine.SearchItem = KindYear;
        engine.Step1GetNum(QStringLiteral("1900-99999999,1e300-1e301"), NumberContext{10, nullptr, 2025});
        QCOMPARE(keyNumbers(engine), range(1900, 2025));
        QVERIFY2(timer.elapsed() < 2000, "a range past the valid numbers is walked only within them");
    }

    void withoutJPcodeTableNothingIsValid()
    {
        SearchEngine engine;
        engine.SearchItem = KindJPcode;
        engine.Step1GetNum(QStringLiteral("1,2"), NumberContext{10, nullptr, 2025});
        QCOMPARE(engine.KeyCount, 0);
    }
};

QTEST_APPLESS_MAIN(TestQuery)
#include "tst_query.moc"
