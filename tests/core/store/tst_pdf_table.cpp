#include "core/store/pdf_table.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

// An entry written out by hand: URL in bytes 0..299, DOI in 300..599.
QByteArray handEntry(const QByteArray &url, const QByteArray &doi)
{
    return QByteArray(600, ' ').replace(0, url.size(), url).replace(300, doi.size(), doi);
}

const PdfEntry kEntry{"https://example.org/a", "10.1000/xyz"};

} // namespace

class TestPdfTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

    // No entry 0 or beyond 32767, no bank, no record file: refused, and no
    // table is made up.
    void failuresAreReported()
    {
        QTemporaryDir bank;
        const QString gone = bank.filePath("gone.bnk");
        QString error;
        PdfEntry buf;
        QVERIFY(!PdfRead(bank.path(), 0, ReadMode::Stored, buf) && !PdfRead(gone, 1, ReadMode::Stored, buf));
        QVERIFY(PdfReadAll(bank.path(), &error).isEmpty() && error.isEmpty()); // no table yet
        QVERIFY(!PdfWrite(bank.path(), 32768, kEntry, true) && !PdfInit(gone, 3));
        QVERIFY2(!PdfWrite(gone, 1, kEntry, true, &error) && error.contains("gone.bnk"), qPrintable(error));
        QVERIFY(!PdfWrite(bank.path(), 3, kEntry, true, &error) && !QFile::exists(bank.filePath("Pdf.tzd")));
    }
};

QTEST_GUILESS_MAIN(TestPdfTable)
#include "tst_pdf_table.moc"
