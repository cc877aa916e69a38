#include "store/pdf_table.h"

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

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

    void initCreatesBlankEntriesOnce()
    {
        QTemporaryDir bank;
        QVERIFY(PdfInit(bank.path(), 3));
        QCOMPARE(readFile(bank.filePath("Pdf.tzd")), QByteArray(1800, ' '));
        QVERIFY(writeFile(bank.filePath("Pdf.tzd"), handEntry("u", "d")));
        QVERIFY(PdfInit(bank.path(), 5));
        QCOMPARE(readFile(bank.filePath("Pdf.tzd")), handEntry("u", "d"));

        QTemporaryDir other;
        QVERIFY(writeFile(other.filePath("pdf.tzd"), QByteArray()));
        QVERIFY(PdfInit(other.path(), 2));
        QCOMPARE(QDir(other.path()).entryList(QDir::Files), QStringList{"pdf.tzd"});
    }

    void readsEntriesAndBlanks()
    {
        QTemporaryDir bank;
        QVERIFY(writeFile(bank.filePath("PDF.TZD"), handEntry("", "") + EncodePdfEntry(kEntry)));
        PdfEntry buf;
        QVERIFY(PdfRead(bank.path(), 2, 1, buf));
        QCOMPARE(buf, kEntry);
        QVERIFY(PdfRead(bank.path(), 3, 1, buf));
        QCOMPARE(buf, PdfEntry());
        buf = kEntry;
        QVERIFY(PdfRead(bank.path(), 2, 0, buf));
        QCOMPARE(buf, PdfEntry());
        QString error;
        QVERIFY(!PdfRead(bank.path(), 0, 1, buf, &error));
        QVERIFY(!PdfRead(bank.filePath("gone.bnk"), 1, 1, buf, &error));
        QVERIFY2(error.contains("Pdf.tzd"), qPrintable(error));
    }

    void writesOnlyMarkedEntries_data()
    {
        QTest::addColumn<int>("url");
        QTest::addColumn<int>("doi");
        QTest::addColumn<bool>("written");
        QTest::newRow("nothing marked") << 0 << 0 << false;
        QTest::newRow("URL marked") << 1 << 0 << true;
        QTest::newRow("DOI marked") << 0 << 1 << true;
        QTest::newRow("only 1 counts") << 2 << -1 << false;
    }

    void writesOnlyMarkedEntries()
    {
        QFETCH(int, url);
        QFETCH(int, doi);
        QFETCH(bool, written);
        QTemporaryDir bank;
        const QString path = bank.filePath("Pdf.tzd");
        const QByteArray before = handEntry("a", "b") + handEntry("c", "d") + handEntry("e", "f");
        QVERIFY(writeFile(path, before));
        BoxFlags flags = marks(url, doi);
        QVERIFY(PdfWrite(bank.path(), 2, kEntry, flags));
        QCOMPARE(readFile(path), written ? QByteArray(before).replace(600, 600, EncodePdfEntry(kEntry)) : before);
        QCOMPARE(flags[14], qint16(0));
        QCOMPARE(flags[15], qint16(0));
        QCOMPARE(flags[13], qint16(1));
    }

    void writingBeyondTheEndAddsBlankEntries()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("Pdf.tzd");
        QVERIFY(writeFile(path, handEntry("a", "b") + QByteArray(100, 'x')));
        BoxFlags flags = marks(1, 0);
        QVERIFY(PdfWrite(bank.path(), 4, kEntry, flags));
        QCOMPARE(readFile(path),
                 handEntry("a", "b") + QByteArray(100, 'x') + QByteArray(500 + 600, ' ') + EncodePdfEntry(kEntry));
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        BoxFlags flags = marks(1, 1);
        QVERIFY(!PdfWrite(bank.filePath("gone.bnk"), 1, kEntry, flags, &error));
        QVERIFY2(error.contains("gone.bnk") && error.contains("Pdf.tzd"), qPrintable(error));
        QCOMPARE(flags[14], qint16(0));
        flags = marks(1, 1);
        QVERIFY(!PdfWrite(bank.path(), 32768, kEntry, flags, &error));
        error.clear();
        QVERIFY(!PdfInit(bank.filePath("gone.bnk"), 3, &error));
        QVERIFY2(error.contains("Pdf.tzd"), qPrintable(error));
    }

    void bankWideRead()
    {
        QTemporaryDir bank;
        QString error;
        QVERIFY(PdfReadAll(bank.path(), &error).isEmpty());
        QVERIFY(error.isEmpty());
        QVERIFY(writeFile(bank.filePath("Pdf.tzd"), handEntry("", "") + EncodePdfEntry(kEntry) + handEntry("u", "")));
        QCOMPARE(PdfReadAll(bank.path()), (QList<PdfEntry>{{}, kEntry, {"u", ""}}));
    }
};

QTEST_GUILESS_MAIN(TestPdfTable)
#include "tst_pdf_table.moc"
