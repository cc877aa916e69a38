#include "core/store/pdf_table.h"

#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

// An entry written out by hand: URL in bytes 0..299, DOI in 300..599.
QByteArray handEntry(const QByteArray &url, const QByteArray &doi)
{
    QByteArray b(600, ' ');
    b.replace(0, url.size(), url);
    b.replace(300, doi.size(), doi);
    return b;
}

const PdfEntry kEntry{"https://example.org/a", "10.1000/xyz"};

} // namespace

class TestPdfTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entryLayout()
    {
        const QByteArray bytes = handEntry("https://example.org/a", "10.1000/xyz");
        QCOMPARE(EncodePdfEntry(kEntry), bytes);
        QCOMPARE(DecodePdfEntry(bytes), kEntry);
        QCOMPARE(DecodePdfEntry(bytes.left(310)), (PdfEntry{kEntry.URL, "10.1000/xy"}));
        QCOMPARE(DecodePdfEntry(QByteArray()), PdfEntry());

        // A double-byte character across the end of the URL field is dropped.
        const PdfEntry wide{QString(299, u'u') + QString::fromUtf8("日"), QString::fromUtf8("日本語")};
        QCOMPARE(EncodePdfEntry(wide), handEntry(QByteArray(299, 'u'), "\x93\xfa\x96\x7b\x8c\xea"));
    }

    void initAndRead()
    {
        QTemporaryDir bank;
        QVERIFY(PdfInit(bank.path(), 3));
        QCOMPARE(readFile(bank.filePath("Pdf.tzd")), QByteArray(1800, ' '));
        QVERIFY(QFile::remove(bank.filePath("Pdf.tzd")));
        QVERIFY(writeFile(bank.filePath("PDF.TZD"), handEntry("", "") + EncodePdfEntry(kEntry) + "u"));
        QVERIFY(PdfInit(bank.path(), 5)); // only once
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"PDF.TZD"});
        QList<PdfEntry> read(4);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(PdfRead(bank.path(), n, ReadMode::Stored, read[n - 1]));
        QCOMPARE(read, (QList<PdfEntry>{{}, kEntry, {"u", ""}, {}})); // one byte of entry 3; none of 4
        QVERIFY(PdfRead(bank.path(), 2, ReadMode::Blank, read[1]));
        QCOMPARE(read[1], PdfEntry());
        QCOMPARE(PdfReadAll(bank.path()), (QList<PdfEntry>{{}, kEntry, {"u", ""}}));
    }

    void writesOnlyMarkedEntries()
    {
        QTemporaryDir bank;
        QVERIFY(makeBank(bank.path()));
        const QString path = bank.filePath("Pdf.tzd");
        const QByteArray before = handEntry("a", "b") + handEntry("c", "d") + handEntry("e", "f");
        for (bool changed : {false, true}) {
            QVERIFY(writeFile(path, before));
            QVERIFY(PdfWrite(bank.path(), 2, kEntry, changed));
            QCOMPARE(readFile(path), changed ? QByteArray(before).replace(600, 600, EncodePdfEntry(kEntry)) : before);
        }

        QVERIFY(writeFile(path, handEntry("a", "b") + QByteArray(100, 'x')));
        QVERIFY(PdfWrite(bank.path(), 4, kEntry, true)); // beyond the end: blank entries between
        QCOMPARE(readFile(path),
                 handEntry("a", "b") + QByteArray(100, 'x') + QByteArray(500 + 600, ' ') + EncodePdfEntry(kEntry));
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        PdfEntry buf;
        QVERIFY(!PdfRead(bank.path(), 0, ReadMode::Stored, buf) &&
                !PdfRead(bank.filePath("gone.bnk"), 1, ReadMode::Stored, buf));
        QVERIFY(PdfReadAll(bank.path(), &error).isEmpty() && error.isEmpty()); // no table yet
        QVERIFY(!PdfWrite(bank.path(), 32768, kEntry, true));
        QVERIFY(!PdfWrite(bank.filePath("gone.bnk"), 1, kEntry, true, &error));
        QVERIFY2(error.contains("gone.bnk"), qPrintable(error));
        QVERIFY(!PdfWrite(bank.path(), 3, kEntry, true, &error)); // no record file: no blank entries made up
        QVERIFY(!QFile::exists(bank.filePath("Pdf.tzd")));
        QVERIFY(!PdfInit(bank.filePath("gone.bnk"), 3));
    }
};

QTEST_GUILESS_MAIN(TestPdfTable)
#include "tst_pdf_table.moc"
