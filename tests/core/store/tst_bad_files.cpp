// Every reader of the bank's files and of the settings, fed files that no
// program wrote: empty, cut in the middle of an entry, far too large, random.
// None may crash or hang, and each gives a defined result.
#include "core/session/bank_log.h"
#include "core/session/settings.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/test_files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

class TestBadFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readersSurvive_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QRandomGenerator gen(2014);
        QByteArray random(3 * 1174 + 77, Qt::Uninitialized);
        for (char &c : random)
            c = char(gen.bounded(256));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut mid-entry") << QByteArray(1174 + 601, 'x');
        QTest::newRow("random") << random;
        QTest::newRow("NUL bytes") << QByteArray(4 * 1174, '\0');
        QTest::newRow("oversized") << QByteArray(34000 * 1174, '\x81');
    }
    void readersSurvive()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString bank = dir.filePath("bad.bnk");
        QVERIFY(QDir().mkpath(bank));
        for (const char *name : {"record.tzd", "JPcode.tzd", "Link.tzd", "Pdf.tzd", "tz.cfg", "Bpath.log"})
            QVERIFY(writeFile(QDir(bank).filePath(name), bytes));
        const QDate today(2026, 12, 6);
        QString error;

        // Records: counted by rounding and capped, any record readable.
        const int count = RecCountSet(bank, &error);
        QVERIFY(count >= 0 && count <= kMaxRecords);
        Record rec;
        QVERIFY(RecRead(bank, qMax(count, 1), ReadMode::Stored, rec, today, &error));
        QVERIFY(rec.Style >= 1 && rec.Style <= 6);
        QVERIFY(ReadRecordFile(bank, &error).size() <= qint64(kMaxRecords) * kRecordSize);

        // JP code table: ends always in order and within 16 bits.
        JPcodeTable jp;
        JPcodeLoad(QDir(bank).filePath("jpcode.tzd"), jp, &error);
        QVERIFY(0 <= jp.JPendT && jp.JPendT <= jp.JPendJ && jp.JPendJ <= jp.JPendP && jp.JPendP <= jp.JPendE);
        QCOMPARE(jp.JPname.size(), jp.JPendE + 1);

        // Link table: only valid pairs, and a write still works on it.
        for (const LinkPair &p : LinkReadAll(bank, count, &error))
            QVERIFY(p.RecA > 0 && p.RecA < p.RecB && p.RecB <= count);
        const QString before = LinkRead(bank, 1, qMax(count, 2), 200, &error);
        if (bytes.size() < 64 * 1024 * 1024)
            QVERIFY(LinkWrite(bank, 1, before.isEmpty() ? "2" : QString(), before, &error));

        // URL/DOI table.
        PdfEntry pdf;
        PdfRead(bank, 1, ReadMode::Stored, pdf, &error);
        QVERIFY(PdfReadAll(bank, &error).size() <= kMaxRecords);

        // Settings and recent banks: in range or the defaults.
        const Settings s = CfgLoad(QDir(bank).filePath("TZ.CFG"), dir.path());
        QVERIFY(s.MaxHits >= 1 && s.MaxHits <= 32767);
        QVERIFY(s.FontNameNo >= 0 && s.FontNameNo <= 3 && s.FontSizeNo >= 0 && s.FontSizeNo <= 5);
        QVERIFY(BankLogLoad(QDir(bank).filePath("bpath.log"), dir.path()).size() == 10);
    }
};

QTEST_GUILESS_MAIN(TestBadFiles)
#include "tst_bad_files.moc"
