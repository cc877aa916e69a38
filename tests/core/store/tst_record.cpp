#include "core/store/record.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QDate kToday(2024, 5, 17);                                     // OLE 45429
const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea");               // 日本語 in code page 932
const QByteArray kDate41846("\x00\x00\x00\x00\xc0\x6e\xe4\x40", 8);  // 2014-07-26
const QByteArray kDate41846h("\x00\x00\x00\x00\xd0\x6e\xe4\x40", 8); // 2014-07-26 12:00

// A record laid out by hand from the offsets, not from the table under test.
QByteArray handRecord(int style, int jpcode, int year, const QByteArray &date,
                      const QList<std::pair<int, QByteArray>> &texts = {})
{
    QByteArray b(1174, ' ');
    b.replace(0, 2, le16(style)).replace(562, 2, le16(jpcode)).replace(604, 2, le16(year)).replace(1166, 8, date);
    for (const auto &[at, text] : texts)
        b.replace(at, text.size(), text);
    return b;
}

QByteArray golden()
{
    const QList<std::pair<int, QByteArray>> texts{{2, "memo"},         {72, "Tanaka, T.; " + kNihongo},
                                                  {282, "  A title."}, {564, "12(3)"},
                                                  {584, "45"},         {594, "67"},
                                                  {606, kNihongo},     {746, "Book"},
                                                  {886, "key, words"}};
    return handRecord(1, 17, 2014, kDate41846, texts);
}

Record goldenRecord()
{
    const QString nihongo = QString::fromUtf8("日本語");
    const Record r{1,
                   "memo",
                   "Tanaka, T.; " + nihongo,
                   "  A title.",
                   17,
                   "12(3)",
                   "45",
                   "67",
                   2014,
                   nihongo,
                   "Book",
                   "key, words",
                   41846.0};
    return r;
}

} // namespace

class TestRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutByteForByte()
    {
        bool lossy = false;
        QCOMPARE(EncodeRecord(goldenRecord(), &lossy), golden());
        QVERIFY(!lossy);
        QCOMPARE(DecodeRecord(golden()), goldenRecord());
    }

    void textIsCutAtTheFieldWidth_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("readBack");
        const QString a68(68, u'a');
        QTest::newRow("70 single-byte fill it") << QString(70, u'x') << QByteArray(70, 'x') << QString(70, u'x');
        QTest::newRow("71 are cut") << QString(71, u'x') << QByteArray(70, 'x') << QString(70, u'x');
        QTest::newRow("straddling char dropped")
            << a68 + "a" + QString::fromUtf8("日") << QByteArray(69, 'a') + ' ' << a68 + "a";
        QTest::newRow("char ending at the edge")
            << a68 + QString::fromUtf8("日本") << QByteArray(68, 'a') + "\x93\xfa" << a68 + QString::fromUtf8("日");
        QTest::newRow("Linux wave dash") << QString::fromUtf8("\u301c") << "\x81\x60" + QByteArray(68, ' ')
                                         << QString::fromUtf8("\uff5e");
    }

    void textIsCutAtTheFieldWidth()
    {
        QFETCH(QString, memo);
        QFETCH(QByteArray, stored);
        QFETCH(QString, readBack);
        Record r;
        r.Memo = memo;
        const QByteArray bytes = EncodeRecord(r);
        QCOMPARE(bytes.size(), 1174);
        QCOMPARE(bytes.mid(2, 70), stored);
        QCOMPARE(bytes.mid(72, 210), QByteArray(210, ' '));
        QCOMPARE(DecodeRecord(bytes).Memo, readBack);
    }

    void repairsAfterReading_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<int>("wantStyle");
        QTest::addColumn<double>("wantDate");
        QTest::newRow("style 0") << 0 << kDate41846 << 1 << 41846.0;
        QTest::newRow("style 9") << 9 << kDate41846 << 1 << 41846.0;
        QTest::newRow("style 6 kept, time kept") << 6 << kDate41846h << 6 << 41846.5;
        QTest::newRow("unset date") << 3 << QByteArray(8, '\0') << 3 << 45429.0;
        QTest::newRow("negative zero date") << 3 << QByteArray("\0\0\0\0\0\0\0\x80", 8) << 3 << 45429.0;
    }

    void repairsAfterReading()
    {
        QFETCH(int, style);
        QFETCH(QByteArray, date);
        QFETCH(int, wantStyle);
        QFETCH(double, wantDate);
        Record r = DecodeRecord(handRecord(style, 5, 1999, date));
        NormalizeRecord(r, kToday);
        QCOMPARE(r.Style, qint16(wantStyle));
        QCOMPARE(r.RegDate, wantDate);
    }

    void shortAndLongBytesDecode()
    {
        Record r = DecodeRecord(QByteArrayView());
        NormalizeRecord(r, kToday);
        QCOMPARE(r, BlankRecord(kToday));
        const QByteArray g = golden();
        QCOMPARE(DecodeRecord(g.left(290)).Title, QString("  A titl"));
        QCOMPARE(DecodeRecord(g.left(290)).JPcode, qint16(0));
        QCOMPARE(DecodeRecord(g.left(1170)).RegDate, 0.0); // the date's low bytes are zeros
        QCOMPARE(DecodeRecord(g + QByteArray(500, '\xff')), goldenRecord());
        const QByteArray file = g + handRecord(4, 9, 1980, kDate41846) + g.left(300);
        QCOMPARE(DecodeInt16(RecordAt(file, 2), RecordLayout::Style), qint16(4));
        QVERIFY(RecordAt(file, 4).isEmpty() && RecordAt(file, 0).isEmpty());
    }

    void countsByRounding_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << qint64(0) << 0;
        QTest::newRow("three") << qint64(3 * 1174) << 3;
        QTest::newRow("2.5 to even") << qint64(2 * 1174 + 587) << 2;
        QTest::newRow("3.5 to even") << qint64(3 * 1174 + 587) << 4;
        QTest::newRow("beyond 32767") << qint64(40000) * 1174 << 32767;
    }

    void countsByRounding()
    {
        QFETCH(qint64, size);
        QFETCH(int, count);
        QTemporaryDir bank;
        QFile f(bank.filePath("Record.TZD"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
        f.close();
        QCOMPARE(RecCountSet(bank.path()), count);
        QVERIFY(!QFile::exists(bank.filePath("record.tzd")));
        QCOMPARE(ReadRecordFile(bank.path()).size(), qMin(size, qint64(32767) * 1174));
    }

    void readsRecordsAndBlanks()
    {
        QTemporaryDir bank;
        QCOMPARE(RecCountSet(bank.path()), 0); // creates the file
        QVERIFY(writeFile(bank.filePath("record.tzd"), golden() + golden()));
        Record r;
        QVERIFY(RecRead(bank.path(), 2, ReadMode::Stored, r, kToday));
        QCOMPARE(r, goldenRecord());
        QVERIFY(RecRead(bank.path(), 3, ReadMode::Stored, r, kToday));
        QCOMPARE(r, BlankRecord(kToday));

        r = goldenRecord();
        QVERIFY(RecRead(bank.path(), 1, ReadMode::Blank, r, kToday));
        Record want = BlankRecord(kToday);
        want.JPcode = 17;
        QCOMPARE(r, want);

        QString linkText = "3,12";
        QString linkTextOld = "3";
        RecClear(r, kToday, linkText, linkTextOld);
        QCOMPARE(r, BlankRecord(kToday));
        QVERIFY(linkTextOld == "3,12" && linkText.isEmpty());
    }

    void writesChangedRecordsInPlace()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("record.tzd");
        const QByteArray three = golden() + handRecord(2, 1, 1990, kDate41846) + golden().left(100);
        QVERIFY(writeFile(path, three));
        Record r = goldenRecord();
        r.Memo = "changed";
        QVERIFY(RecWrite(bank.path(), 2, r, false));
        QCOMPARE(readFile(path), three);

        QVERIFY(RecWrite(bank.path(), 2, r, true));
        const QByteArray changed = golden().replace(2, 7, "changed");
        QCOMPARE(readFile(path), golden() + changed + golden().left(100));

        // After the last record: a partial last record is completed with the
        // blank layout. A record further on would need blank records made up
        // in between: refused, the file stays.
        const QByteArray blank = handRecord(0, 0, 0, QByteArray(8, '\0'));
        const QByteArray four = golden() + changed + golden().left(100) + blank.mid(100) + changed;
        QString error;
        QVERIFY(!RecWrite(bank.path(), 5, r, true, &error));
        QVERIFY2(error.contains("record.tzd") && error.contains("レコード 5"), qPrintable(error));
        QCOMPARE(readFile(path), golden() + changed + golden().left(100));
        QVERIFY(RecWrite(bank.path(), 4, r, true));
        QCOMPARE(readFile(path), four);
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        const QString gone = bank.filePath("gone.bnk");
        QString error;
        QCOMPARE(RecCountSet(QString(), &error), -1);
        QCOMPARE(RecCountSet(gone, &error), -1);
        QVERIFY2(error.contains("gone.bnk") && error.contains("record.tzd"), qPrintable(error));
        Record r;
        QVERIFY(!RecRead(bank.path(), 0, ReadMode::Stored, r, kToday) &&
                !RecRead(gone, 1, ReadMode::Stored, r, kToday));
        QCOMPARE(r, BlankRecord(kToday));
        QVERIFY(!RecWrite(bank.path(), 0, r, true) && !RecWrite(bank.path(), 32768, r, true));
        QVERIFY(!QFile::exists(bank.filePath("record.tzd")));
        // A vanished record file is not made again for any record but the first.
        QVERIFY(!RecWrite(bank.path(), 2, r, true, &error));
        QVERIFY2(error.contains("record.tzd") && error.contains("見つかりません"), qPrintable(error));
        QVERIFY(!QFile::exists(bank.filePath("record.tzd")));
        QVERIFY(QFile::link("/dev/full", bank.filePath("record.tzd"))); // a device is no record file
        QVERIFY(!RecWrite(bank.path(), 1, r, true, &error));
        QVERIFY2(error.contains("record.tzd") && error.contains("デバイス"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
