// The link table and the URL/DOI table of a bank.
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
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

// An entry written out by hand: URL in bytes 0..299, DOI in 300..599.
QByteArray handEntry(const QByteArray &url, const QByteArray &doi)
{
    return QByteArray(600, ' ').replace(0, url.size(), url).replace(300, doi.size(), doi);
}

const PdfEntry kEntry{"https://example.org/a", "10.1000/xyz"};

} // namespace

class TestTables : public QObject
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

    // Missing bytes read as blanks; a double-byte character across the end of
    // the URL field is dropped.
    void entryLayout()
    {
        const QByteArray bytes = handEntry("https://example.org/a", "10.1000/xyz");
        QVERIFY(EncodePdfEntry(kEntry) == bytes && DecodePdfEntry(bytes) == kEntry);
        QCOMPARE(DecodePdfEntry(bytes.left(310)), (PdfEntry{kEntry.URL, "10.1000/xy"}));
        const PdfEntry wide{QString(299, u'u') + "日", "日本語"};
        QCOMPARE(EncodePdfEntry(wide), handEntry(QByteArray(299, 'u'), "\x93\xfa\x96\x7b\x8c\xea"));
    }

    // A new table holds blank entries; an existing one (any letter case) is
    // left alone. A partial last entry reads as padded, entries beyond the end
    // as blank.
    void initAndRead()
    {
        QTemporaryDir bank;
        QVERIFY(PdfInit(bank.path(), 3) && readFile(bank.filePath("Pdf.tzd")) == QByteArray(1800, ' '));
        QVERIFY(QFile::remove(bank.filePath("Pdf.tzd")));
        QVERIFY(writeFile(bank.filePath("PDF.TZD"), handEntry("", "") + EncodePdfEntry(kEntry) + "u"));
        QVERIFY(PdfInit(bank.path(), 5));
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"PDF.TZD"});
        QList<PdfEntry> read(4);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(PdfRead(bank.path(), n, ReadMode::Stored, read[n - 1]));
        QCOMPARE(read, (QList<PdfEntry>{{}, kEntry, {"u", ""}, {}}));
        QCOMPARE(PdfReadAll(bank.path()), read.first(3));
        QVERIFY(PdfRead(bank.path(), 2, ReadMode::Blank, read[1]) && read[1] == PdfEntry());
    }

    // Only a changed entry is written; beyond the end, blank entries fill the
    // gap, a partial last entry completed.
    void writesOnlyChangedEntries()
    {
        QTemporaryDir bank;
        QVERIFY(makeBank(bank.path()));
        const QString path = bank.filePath("Pdf.tzd");
        const QByteArray before = handEntry("a", "b") + handEntry("c", "d") + handEntry("e", "f");
        for (bool changed : {false, true}) {
            QVERIFY(writeFile(path, before) && PdfWrite(bank.path(), 2, kEntry, changed));
            QCOMPARE(readFile(path), changed ? QByteArray(before).replace(600, 600, EncodePdfEntry(kEntry)) : before);
        }
        QVERIFY(writeFile(path, handEntry("a", "b") + QByteArray(100, 'x')) && PdfWrite(bank.path(), 4, kEntry, true));
        QCOMPARE(readFile(path),
                 handEntry("a", "b") + QByteArray(100, 'x') + QByteArray(1100, ' ') + EncodePdfEntry(kEntry));
    }

    // No record 0 or beyond 32767, no bank, no record file: refused, and no
    // table is made up; nor is a link table too large to be one, or a device
    // in its place, written.
    void failuresAreReported()
    {
        QTemporaryDir bank;
        const QString gone = bank.filePath("gone.bnk"), links = bank.filePath("Link.tzd");
        QString error;
        PdfEntry buf;
        QVERIFY(!PdfRead(bank.path(), 0, ReadMode::Stored, buf) && !PdfRead(gone, 1, ReadMode::Stored, buf));
        QVERIFY(PdfReadAll(bank.path(), &error).isEmpty() && error.isEmpty()); // no table yet
        QVERIFY(!PdfWrite(bank.path(), 32768, kEntry, true) && !PdfInit(gone, 3) &&
                !LinkWrite(bank.path(), 0, "3", ""));
        QVERIFY2(!PdfWrite(gone, 1, kEntry, true, &error) && error.contains("gone.bnk"), qPrintable(error));
        QVERIFY2(!LinkWrite(gone, 7, "3", "", &error) && error.contains("gone.bnk"), qPrintable(error));
        QVERIFY(!PdfWrite(bank.path(), 3, kEntry, true, &error) && !LinkWrite(bank.path(), 7, "3", "", &error));
        QVERIFY(!QFile::exists(bank.filePath("Pdf.tzd")) && !QFile::exists(links));
        QVERIFY(makeBank(bank.path()));
        QFile big(links);
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(65) * 1024 * 1024));
        big.close();
        QVERIFY(LinkRead(bank.path(), 7, 20, 100).isEmpty() && !LinkWrite(bank.path(), 7, "3", ""));
        QVERIFY(QFile::remove(links) && QFile::link("/dev/full", links));
        QVERIFY2(!LinkWrite(bank.path(), 7, "3", "", &error) && error.contains("Link.tzd"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
