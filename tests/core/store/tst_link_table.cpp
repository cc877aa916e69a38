#include "core/store/link_table.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QTemporaryDir>

using namespace tz;

namespace {

// Entries written out by hand from "RecA:RecB ...", each number a signed
// 16-bit little-endian.
QByteArray entries(const QString &pairs)
{
    QByteArray b;
    for (const QString &p : pairs.split(u' ', Qt::SkipEmptyParts))
        b += le16(p.section(u':', 0, 0).toInt()) + le16(p.section(u':', 1).toInt());
    return b;
}

} // namespace

class TestLinkTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first read creates the table. Lists come from both sides of each
    // pair; every reader skips broken pairs, pairs beyond the bank and a
    // partial entry; a write over them neither fails nor touches them. Lists
    // stop at the most hits.
    void readsListsAndSkipsBrokenPairs()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("Link.tzd");
        QVERIFY(makeBank(bank.path()));
        QVERIFY(LinkRead(bank.path(), 7, 20, 100).isEmpty() && QFile::exists(path));
        QVERIFY(LinkWrite(bank.path(), 7, "3,12", ""));
        QCOMPARE(readFile(path), entries("3:7 7:12"));
        const QByteArray table = entries("0:5 -3:7 9:7 7:7 7:40 3:7 7:9") + "\x01\x00";
        QVERIFY(writeFile(path, table));
        QStringList lists;
        for (int record : {7, 3, 9, 5})
            lists << LinkRead(bank.path(), record, 30, 100);
        QCOMPARE(lists, (QStringList{"3,9", "7", "7", ""}));
        QCOMPARE(LinkRead(bank.path(), 7, 8, 100), QString("3"));
        QCOMPARE(LinkReadAll(bank.path(), 9), (QList<LinkPair>{{3, 7}, {7, 9}}));
        QCOMPARE(LinkReadAll(bank.path(), 8), (QList<LinkPair>{{3, 7}}));
        QCOMPARE(DecodeLinkTable(table).size(), 7);
        QVERIFY(LinkWrite(bank.path(), 7, "3,9,11", "3,9"));
        QCOMPARE(readFile(path), table.left(28) + entries("7:11"));
        QCOMPARE(LinkListOf(entries("7:20 2:7 7:15 1:7"), 7, 30, 2), QString("2,20"));
    }

    // Record 7's list changed from the old list to the new one: the last used
    // entry moves into a freed slot; clearing frees every pair; an unknown pair
    // leaves the table; a stored pair is not added twice; every copy of a
    // removed pair goes; additions go after the last used entry; typed lists
    // are made canonical.
    void changesReuseFreedSlots_data()
    {
        // clang-format off
        rows::table({"before", "new", "old", "after"}, {
            {"3:7 7:12 1:2 0:0", "3,9", "3,12", "3:7 1:2 7:9 0:0"}, {"3:7 1:2 7:12 4:5", "", "3,12", "4:5 1:2 0:0 0:0"},
            {"3:7", "3", "3,12", "3:7"}, {"3:7 7:9", "3,9", "3", "3:7 7:9"},
            {"7:12 3:7 12:7 7:12", "3", "3,12", "3:7 0:0 0:0 0:0"}, {"1:2 0:0 0:5 0:0", "2,4", "", "1:2 2:7 4:7 0:0"},
            {"3:7", " 12, 7,3,12,0", "3", "3:7 7:12"},
        });
        // clang-format on
    }
    void changesReuseFreedSlots()
    {
        QTemporaryDir bank;
        QVERIFY(makeBank(bank.path()) && writeFile(bank.filePath("Link.tzd"), entries(rows::text("before"))));
        QVERIFY(LinkWrite(bank.path(), 7, rows::text("new"), rows::text("old")));
        QCOMPARE(readFile(bank.filePath("Link.tzd")), entries(rows::text("after")));
    }

    // No record 0, no bank, no record file, a table too large to be one, a
    // device in its place: refused, and no table is made.
    void failuresAreReported()
    {
        QTemporaryDir bank;
        const QString table = bank.filePath("Link.tzd");
        QString error;
        QVERIFY(!LinkWrite(bank.path(), 0, "3", ""));
        QVERIFY2(!LinkWrite(bank.filePath("gone.bnk"), 7, "3", "", &error) && error.contains("gone.bnk"),
                 qPrintable(error));
        QVERIFY(!LinkWrite(bank.path(), 7, "3", "", &error) && !QFile::exists(table));
        QVERIFY(makeBank(bank.path()));
        QFile big(table);
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(65) * 1024 * 1024));
        big.close();
        QVERIFY(LinkRead(bank.path(), 7, 20, 100).isEmpty() && !LinkWrite(bank.path(), 7, "3", ""));
        QVERIFY(QFile::remove(table) && QFile::link("/dev/full", table));
        QVERIFY2(!LinkWrite(bank.path(), 7, "3", "", &error) && error.contains("Link.tzd"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestLinkTable)
#include "tst_link_table.moc"
