#include "core/store/link_table.h"

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

// Entries written out by hand: RecA, RecB as signed 16-bit little-endian.
QByteArray entries(std::initializer_list<std::pair<int, int>> pairs)
{
    QByteArray b;
    for (const auto &[a, c] : pairs)
        b += le16(a) + le16(c);
    return b;
}

} // namespace

class TestLinkTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsListsFromBothSides()
    {
        QTemporaryDir bank;
        QVERIFY(makeBank(bank.path()));
        QCOMPARE(LinkRead(bank.path(), 7, 20, 100), QString()); // the first read creates the table
        QCOMPARE(QFileInfo(bank.filePath("Link.tzd")).size(), 0);
        QVERIFY(LinkWrite(bank.path(), 7, "3,12", ""));
        QCOMPARE(readFile(bank.filePath("Link.tzd")), entries({{3, 7}, {7, 12}}));
        QVERIFY(writeFile(bank.filePath("Link.tzd"), entries({{3, 7}, {7, 12}, {0, 0}, {1, 2}, {2, 1}, {4, 15}})));
        QStringList lists;
        for (int record : {7, 3, 12, 5})
            lists << LinkRead(bank.path(), record, 20, 100);
        QCOMPARE(lists, (QStringList{"3,12", "7", "7", ""}));
        QCOMPARE(LinkReadAll(bank.path(), 12), (QList<LinkPair>{{3, 7}, {7, 12}, {1, 2}}));
    }

    void changesReuseFreedSlots_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("newList");
        QTest::addColumn<QString>("oldList");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("3,12 to 3,9") << entries({{3, 7}, {7, 12}}) << "3,9"
                                     << "3,12" << entries({{3, 7}, {7, 9}});
        QTest::newRow("last used entry moves into the slot") << entries({{3, 7}, {7, 12}, {1, 2}, {0, 0}}) << "3,9"
                                                             << "3,12" << entries({{3, 7}, {1, 2}, {7, 9}, {0, 0}});
        QTest::newRow("clearing a record frees its pairs") << entries({{3, 7}, {1, 2}, {7, 12}, {4, 5}}) << ""
                                                           << "3,12" << entries({{4, 5}, {1, 2}, {0, 0}, {0, 0}});
        QTest::newRow("an unknown pair leaves the table") << entries({{3, 7}}) << "3"
                                                          << "3,12" << entries({{3, 7}});
        QTest::newRow("a stored pair is not added twice") << entries({{3, 7}, {7, 9}}) << "3,9"
                                                          << "3" << entries({{3, 7}, {7, 9}});
        QTest::newRow("every copy of a removed pair goes") << entries({{7, 12}, {3, 7}, {12, 7}, {7, 12}}) << "3"
                                                           << "3,12" << entries({{3, 7}, {0, 0}, {0, 0}, {0, 0}});
        QTest::newRow("additions go after the last used entry") << entries({{1, 2}, {0, 0}, {0, 5}, {0, 0}}) << "2,4"
                                                                << "" << entries({{1, 2}, {2, 7}, {4, 7}, {0, 0}});
        QTest::newRow("typed lists are made canonical") << entries({{3, 7}}) << " 12, 7,3,12,0"
                                                        << "3" << entries({{3, 7}, {7, 12}});
    }

    void changesReuseFreedSlots()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, newList);
        QFETCH(QString, oldList);
        QFETCH(QByteArray, after);
        QTemporaryDir bank;
        const QString path = bank.filePath("Link.tzd");
        QVERIFY(makeBank(bank.path()) && writeFile(path, before));
        QVERIFY(LinkWrite(bank.path(), 7, newList, oldList));
        QCOMPARE(readFile(path), after);
    }

    void brokenPairsAreSkipped()
    {
        const QByteArray table = entries({{0, 5}, {-3, 7}, {9, 7}, {7, 7}, {7, 40}, {3, 7}, {7, 9}}) + "\x01\x00";
        QCOMPARE(LinkListOf(table, 7, 30, 100), QString("3,9"));
        QCOMPARE(LinkListOf(table, 7, 8, 100), QString("3"));
        QCOMPARE(ValidLinks(table, 30), (QList<LinkPair>{{3, 7}, {7, 9}}));
        QCOMPARE(DecodeLinkTable(table).size(), 7);

        // A write over them neither fails nor touches them.
        QByteArray copy = table;
        QCOMPARE(LinkMerge(copy, 7, "3,9,11", "3,9"), QList<int>{8});
        QCOMPARE(copy, table.left(28) + entries({{7, 11}}));
    }

    void listsStopAtMaxHits()
    {
        const QByteArray table = entries({{7, 20}, {2, 7}, {7, 15}, {1, 7}});
        QCOMPARE(LinkListOf(table, 7, 30, 2), QString("2,20"));
        QCOMPARE(LinkListOf(table, 7, 30, 100), QString("1,2,15,20"));
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        QVERIFY(!LinkWrite(bank.path(), 0, "3", ""));
        QVERIFY(!QFile::exists(bank.filePath("Link.tzd")));
        QVERIFY(!LinkWrite(bank.filePath("gone.bnk"), 7, "3", "", &error));
        QVERIFY2(error.contains("gone.bnk"), qPrintable(error));
        QVERIFY(!LinkWrite(bank.path(), 7, "3", "", &error)); // no record file: no bank to link in
        QVERIFY(!QFile::exists(bank.filePath("Link.tzd")));
        QVERIFY(makeBank(bank.path()));
        QFile big(bank.filePath("Link.tzd"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(65) * 1024 * 1024));
        big.close();
        QCOMPARE(LinkRead(bank.path(), 7, 20, 100), QString());
        QVERIFY(!LinkWrite(bank.path(), 7, "3", ""));
        QVERIFY(QFile::remove(big.fileName()) && QFile::link("/dev/full", big.fileName()));
        QVERIFY(!LinkWrite(bank.path(), 7, "3", "", &error));
        QVERIFY2(error.contains("Link.tzd"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestLinkTable)
#include "tst_link_table.moc"
