// The comb sort behind every sort: the order of equal keys is fixed by the
// algorithm. Expected orders were traced by hand through the gaps.

#include "common/comb_sort.h"

#include <QtTest>

using namespace tz;

namespace {

// 1-based list: entry 0 is a sentinel the sorts must not touch.
QList<qint16> oneBased(const QList<qint16> &entries)
{
    return QList<qint16>{-99} + entries;
}

} // namespace

class TestCombSort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void equalKeysByNumber_data()
    {
        QTest::addColumn<QList<qint16>>("keys");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QList<qint16>>("items");
        // Gaps 3, 2, 1, 1: swaps (1,4) (3,5) (1,2) (2,3).
        QTest::newRow("3,1,3,2,1 up") << QList<qint16>{3, 1, 3, 2, 1} << true << QList<qint16>{2, 5, 4, 1, 3};
        // Gap 2 exchanges entries 1 and 3; the equal keys end up reversed.
        QTest::newRow("2,2,1 up") << QList<qint16>{2, 2, 1} << true << QList<qint16>{3, 2, 1};
        QTest::newRow("1,1,2 down") << QList<qint16>{1, 1, 2} << false << QList<qint16>{3, 2, 1};
        // Twelve entries: the first gap 9 becomes 11 and exchanges entries 1 and
        // 12 only (gap 9 would have moved item 3 to the end instead).
        QTest::newRow("gap 9 becomes 11") << QList<qint16>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0} << true
                                          << QList<qint16>{12, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 1};
    }
    void equalKeysByNumber()
    {
        QFETCH(QList<qint16>, keys);
        QFETCH(bool, up);
        QFETCH(QList<qint16>, items);
        QList<qint16> k = oneBased(keys);
        QList<qint16> it{-99};
        for (qint16 i = 1; i <= keys.size(); ++i)
            it.append(i);
        if (up)
            SortByNumUp(k, it, keys.size(), 0);
        else
            SortByNumDown(k, it, keys.size());
        QCOMPARE(it, oneBased(items));
        QCOMPARE(k.first(), qint16(-99));
        QVERIFY(std::is_sorted(k.begin() + 1, k.end(), [&](qint16 a, qint16 b) { return up ? a < b : a > b; }));
    }

    void byTextComparesCodes()
    {
        // Gap 3 exchanges entries 1 and 4; nothing moves afterwards.
        QStringList keys{QString(), "b", "a", "b", "a"};
        QList<qint16> items{0, 1, 2, 3, 4};
        SortByText(keys, items, 4, 0);
        QCOMPARE(items, (QList<qint16>{0, 4, 2, 3, 1}));

        QStringList mixed{QString(), "smith", "Smith", "jones", "Émile"};
        QList<qint16> order{0, 1, 2, 3, 4};
        SortByText(mixed, order, 4, 0);
        QCOMPARE(mixed, (QStringList{QString(), "Smith", "jones", "smith", "Émile"}));
    }

    void rangesStayWithinTheirEntries()
    {
        // An offset sorts entries offset+1..offset+count only.
        QList<qint16> keys{0, 9, 8, 3, 2, 1, 7};
        QList<qint16> items{0, 1, 2, 3, 4, 5, 6};
        SortByNumUp(keys, items, 3, 2);
        QCOMPARE(keys, (QList<qint16>{0, 9, 8, 1, 2, 3, 7}));
        QCOMPARE(items, (QList<qint16>{0, 1, 2, 5, 4, 3, 6}));

        // A count beyond the list is clamped to it.
        QList<qint16> hits{77, 5, 3, 4};
        SortHitsUp(hits, 100);
        QCOMPARE(hits, (QList<qint16>{77, 3, 4, 5}));
        SortHitsDown(hits, 2);
        QCOMPARE(hits, (QList<qint16>{77, 4, 3, 5}));
        SortHitsUp(hits, 0);
        QCOMPARE(hits, (QList<qint16>{77, 4, 3, 5}));
    }
};

QTEST_GUILESS_MAIN(TestCombSort)
#include "tst_comb_sort.moc"
