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
        QByteArray random(3 * 1174 + 77, Qt::Uninitialized);
        QRandomGenerator(2014).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut mid-entry") << QByteArray(1174 + 601, 'x');
        QTest::newRow("random") << random;
        QTest::newRow("NUL bytes") << QByteArray(4 * 1174, '\0');
        QTest::newRow("oversized") << QByteArray(34000 * 1174, '\x81');
    }
    // Records counted and capped, any of them readable; JP code group ends in
    // order; only valid link pairs, and a link write still works; settings in
    // range or the defaults.
    void readersSurvive()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QDir bank(dir.filePath("bad.bnk"));
        QVERIFY(QDir().mkpath(bank.path()));
        for (const char *name : {"record.tzd", "JPcode.tzd", "Link.tzd", "Pdf.tzd", "tz.cfg", "Bpath.log"})
            QVERIFY(writeFile(bank.filePath(name), bytes));
        QString error;
        const int count = RecCountSet(bank.path(), &error);
        Record rec;
        QVERIFY(count >= 0 && count <= kMaxRecords);
        QVERIFY(RecRead(bank.path(), qMax(count, 1), ReadMode::Stored, rec, QDate(2026, 12, 6), &error) &&
                rec.Style >= 1 && rec.Style <= 6);
        QVERIFY(ReadRecordFile(bank.path(), &error).size() <= qint64(kMaxRecords) * kRecordSize);
        JPcodeTable jp;
        JPcodeLoad(bank.filePath("jpcode.tzd"), jp, &error);
        QVERIFY(0 <= jp.JPendT && jp.JPendT <= jp.JPendJ && jp.JPendJ <= jp.JPendP && jp.JPendP <= jp.JPendE &&
                jp.JPname.size() == jp.JPendE + 1);
        for (const LinkPair &p : LinkReadAll(bank.path(), count, &error))
            QVERIFY(p.RecA > 0 && p.RecA < p.RecB && p.RecB <= count);
        const QString before = LinkRead(bank.path(), 1, qMax(count, 2), 200, &error);
        if (bytes.size() < 64 * 1024 * 1024)
            QVERIFY(LinkWrite(bank.path(), 1, before.isEmpty() ? "2" : QString(), before, &error));
        PdfEntry pdf;
        PdfRead(bank.path(), 1, ReadMode::Stored, pdf, &error);
        QVERIFY(PdfReadAll(bank.path(), &error).size() <= kMaxRecords);
        const Settings s = CfgLoad(bank.filePath("TZ.CFG"), dir.path());
        QVERIFY(s.MaxHits >= 1 && s.MaxHits <= 32767 && s.FontNameNo >= 0 && s.FontNameNo <= 3 && s.FontSizeNo >= 0 &&
                s.FontSizeNo <= 5);
        QCOMPARE(BankLogLoad(bank.filePath("bpath.log"), dir.path()).size(), 10);
    }
};

QTEST_GUILESS_MAIN(TestBadFiles)
#include "tst_bad_files.moc"
