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

BoxFlags marks(int url, int doi)
{
    BoxFlags f{};
    f.fill(1);
    f[14] = qint16(url);
    f[15] = qint16(doi);
    return f;
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
            QVERIFY(PdfRead(bank.path(), n, 1, read[n - 1]));
        QCOMPARE(read, (QList<PdfEntry>{{}, kEntry, {"u", ""}, {}})); // one byte of entry 3; none of 4
        QVERIFY(PdfRead(bank.path(), 2, 0, read[1]));
        QCOMPARE(read[1], PdfEntry());
        QCOMPARE(PdfReadAll(bank.path()), (QList<PdfEntry>{{}, kEntry, {"u", ""}}));
    }

    void writesOnlyMarkedEntries()
    {
        QTemporaryDir bank;
        QVERIFY(makeBank(bank.path()));
        const QString path = bank.filePath("Pdf.tzd");
        const QByteArray before = handEntry("a", "b") + handEntry("c", "d") + handEntry("e", "f");
        // URL mark, DOI mark, written
        const QList<std::tuple<int, int, bool>> cases{{0, 0, false}, {2, -1, false}, {1, 0, true}, {0, 1, true}};
        for (const auto &[url, doi, written] : cases) {
            QVERIFY(writeFile(path, before));
            BoxFlags flags = marks(url, doi);
            QVERIFY(PdfWrite(bank.path(), 2, kEntry, flags));
            QCOMPARE(readFile(path), written ? QByteArray(before).replace(600, 600, EncodePdfEntry(kEntry)) : before);
            QVERIFY(flags[14] == 0 && flags[15] == 0 && flags[13] == 1);
        }

        QVERIFY(writeFile(path, handEntry("a", "b") + QByteArray(100, 'x')));
        BoxFlags flags = marks(1, 0);
        QVERIFY(PdfWrite(bank.path(), 4, kEntry, flags)); // beyond the end: blank entries between
        QCOMPARE(readFile(path),
                 handEntry("a", "b") + QByteArray(100, 'x') + QByteArray(500 + 600, ' ') + EncodePdfEntry(kEntry));
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        PdfEntry buf;
        QVERIFY(!PdfRead(bank.path(), 0, 1, buf) && !PdfRead(bank.filePath("gone.bnk"), 1, 1, buf));
        QVERIFY(PdfReadAll(bank.path(), &error).isEmpty() && error.isEmpty()); // no table yet
        BoxFlags flags = marks(1, 1);
        QVERIFY(!PdfWrite(bank.path(), 32768, kEntry, flags));
        flags = marks(1, 1);
        QVERIFY(!PdfWrite(bank.filePath("gone.bnk"), 1, kEntry, flags, &error));
        QVERIFY2(error.contains("gone.bnk"), qPrintable(error));
        QCOMPARE(flags[14], qint16(1));                            // kept for the next try
        QVERIFY(!PdfWrite(bank.path(), 3, kEntry, flags, &error)); // no record file: no blank entries made up
        QVERIFY(!QFile::exists(bank.filePath("Pdf.tzd")));
        QVERIFY(!PdfInit(bank.filePath("gone.bnk"), 3));
    }
};

QTEST_GUILESS_MAIN(TestPdfTable)
#include "tst_pdf_table.moc"
