#include "store/record.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QDate kToday(2024, 5, 17);
const double kTodayOle = 45429.0; // 2024-05-17

// A record laid out by hand: offsets and widths written out, not taken from
// the layout table under test.
QByteArray handRecord(qint16 style, qint16 jpcode, qint16 year, QByteArray date)
{
    QByteArray b(1174, ' ');
    auto put16 = [&](int at, qint16 v) {
        b[at] = char(v & 0xFF);
        b[at + 1] = char((v >> 8) & 0xFF);
    };
    put16(0, style);
    put16(562, jpcode);
    put16(604, year);
    b.replace(1166, 8, date);
    return b;
}

void putText(QByteArray &b, int at, const QByteArray &text)
{
    b.replace(at, text.size(), text);
}

const QByteArray kDate41846("\x00\x00\x00\x00\xc0\x6e\xe4\x40", 8);  // 2014-07-26
const QByteArray kDate41846h("\x00\x00\x00\x00\xd0\x6e\xe4\x40", 8); // 2014-07-26 12:00
const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea");               // 日本語

QByteArray golden()
{
    QByteArray b = handRecord(1, 17, 2014, kDate41846);
    putText(b, 2, "memo");
    putText(b, 72, "Tanaka, T.; " + kNihongo);
    putText(b, 282, "  A title.");
    putText(b, 564, "12(3)");
    putText(b, 584, "45");
    putText(b, 594, "67");
    putText(b, 606, kNihongo);
    putText(b, 746, "Book");
    putText(b, 886, "key, words");
    return b;
}

Record goldenRecord()
{
    Record r;
    r.Style = 1;
    r.Memo = "memo";
    r.Author = QString::fromUtf8("Tanaka, T.; 日本語");
    r.Title = "  A title.";
    r.JPcode = 17;
    r.Volume = "12(3)";
    r.Page1 = "45";
    r.Page2 = "67";
    r.Year = 2014;
    r.Editor = QString::fromUtf8("日本語");
    r.Book = "Book";
    r.Keyword = "key, words";
    r.RegDate = 41846.0;
    return r;
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

BoxFlags changedBox(int box)
{
    BoxFlags flags{};
    flags[box] = 1;
    return flags;
}

} // namespace

class TestRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodesTheLayoutByteForByte()
    {
        bool lossy = false;
        QCOMPARE(EncodeRecord(goldenRecord(), &lossy), golden());
        QVERIFY(!lossy);
        QCOMPARE(DecodeRecord(golden()), goldenRecord());
    }

    void cutsTextAtTheFieldWidth_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("readBack");
        const QString a69(69, u'a');
        QTest::newRow("70 single-byte fill the field") << QString(70, u'x') << QByteArray(70, 'x') << QString(70, u'x');
        QTest::newRow("71 single-byte are cut") << QString(71, u'x') << QByteArray(70, 'x') << QString(70, u'x');
        QTest::newRow("double-byte on the end is dropped")
            << a69 + QString::fromUtf8("日") << QByteArray(69, 'a') + ' ' << a69;
        QTest::newRow("double-byte ending exactly at the end")
            << QString(68, u'a') + QString::fromUtf8("日本") << QByteArray(68, 'a') + "\x93\xfa"
            << QString(68, u'a') + QString::fromUtf8("日");
        QTest::newRow("wave dash typed on Linux")
            << QString::fromUtf8("\u301c") << QByteArray("\x81\x60") + QByteArray(68, ' ')
            << QString::fromUtf8("\uff5e");
    }

    void cutsTextAtTheFieldWidth()
    {
        QFETCH(QString, memo);
        QFETCH(QByteArray, stored);
        QFETCH(QString, readBack);
        Record r;
        r.Memo = memo;
        const QByteArray bytes = EncodeRecord(r);
        QCOMPARE(bytes.size(), 1174);
        QCOMPARE(bytes.mid(2, 70), stored);
        QCOMPARE(bytes.mid(72, 210), QByteArray(210, ' ')); // the next field is untouched
        QCOMPARE(DecodeRecord(bytes).Memo, readBack);
    }

    void normalisesAfterReading_data()
    {
        QTest::addColumn<qint16>("style");
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<qint16>("wantStyle");
        QTest::addColumn<double>("wantDate");
        QTest::newRow("style 0") << qint16(0) << kDate41846 << qint16(1) << 41846.0;
        QTest::newRow("style 9") << qint16(9) << kDate41846 << qint16(1) << 41846.0;
        QTest::newRow("style -3") << qint16(-3) << kDate41846 << qint16(1) << 41846.0;
        QTest::newRow("style 6 kept") << qint16(6) << kDate41846 << qint16(6) << 41846.0;
        QTest::newRow("time of day kept") << qint16(2) << kDate41846h << qint16(2) << 41846.5;
        QTest::newRow("unset date is today") << qint16(3) << QByteArray(8, '\0') << qint16(3) << kTodayOle;
        QTest::newRow("negative zero is unset")
            << qint16(3) << QByteArray("\0\0\0\0\0\0\0\x80", 8) << qint16(3) << kTodayOle;
    }

    void normalisesAfterReading()
    {
        QFETCH(qint16, style);
        QFETCH(QByteArray, date);
        QFETCH(qint16, wantStyle);
        QFETCH(double, wantDate);
        QTemporaryDir bank;
        QVERIFY(writeFile(bank.filePath("record.tzd"), golden() + handRecord(style, 5, 1999, date)));
        Record r;
        QVERIFY(RecRead(bank.path(), 2, 1, r, kToday));
        QCOMPARE(r.Style, wantStyle);
        QCOMPARE(r.RegDate, wantDate);
        QCOMPARE(r.JPcode, qint16(5));
        QCOMPARE(r.Year, qint16(1999));
    }

    void shortAndLongInputDecodeAsPadded()
    {
        Record empty = DecodeRecord(QByteArrayView());
        Record zeroStyle;
        zeroStyle.Style = 0;
        QCOMPARE(empty, zeroStyle);
        NormalizeRecord(empty, kToday);
        QCOMPARE(empty, BlankRecord(kToday));

        const QByteArray g = golden();
        const Record cut = DecodeRecord(g.left(290)); // ends inside the title
        QCOMPARE(cut.Author, goldenRecord().Author);
        QCOMPARE(cut.Title, QString("  A titl"));
        QCOMPARE(cut.JPcode, qint16(0));
        QCOMPARE(DecodeRecord(g + QByteArray(500, '\xff')), goldenRecord());
        // The low four bytes of 41846.0 are zeros: a record cut there has no date.
        QCOMPARE(DecodeRecord(g.left(1170)).RegDate, 0.0);
    }

    void fieldsDecodeStraightFromAWholeFile()
    {
        const QByteArray file = golden() + handRecord(4, 9, 1980, kDate41846) + golden().left(300);
        QCOMPARE(RecordAt(file, 1).size(), 1174);
        QCOMPARE(RecordAt(file, 3).size(), 300);
        QVERIFY(RecordAt(file, 4).isEmpty());
        QVERIFY(RecordAt(file, 0).isEmpty());
        QCOMPARE(DecodeInt16(RecordAt(file, 2), RecordLayout::Style), qint16(4));
        QCOMPARE(DecodeText(RecordAt(file, 3), RecordLayout::Author), goldenRecord().Author);
        QCOMPARE(DecodeText(RecordAt(file, 3), RecordLayout::Keyword), QString());
        QCOMPARE(DecodeInt16(RecordAt(file, 3), RecordLayout::Year), qint16(0));
    }

    void garbageNeverBreaksTheLayout()
    {
        QRandomGenerator gen(932);
        for (int i = 0; i < 300; ++i) {
            QByteArray bytes(gen.bounded(2500), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(gen.bounded(256));
            Record r = DecodeRecord(bytes);
            NormalizeRecord(r, kToday);
            QVERIFY(r.Style >= 1 && r.Style <= 6);
            const QByteArray once = EncodeRecord(r);
            QCOMPARE(once.size(), 1174);
            QCOMPARE(EncodeRecord(DecodeRecord(once)), once);
        }
    }

    void countsRecordsByRounding_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << qint64(0) << 0;
        QTest::newRow("three records") << qint64(3 * 1174) << 3;
        QTest::newRow("2.5 rounds to even") << qint64(2 * 1174 + 587) << 2;
        QTest::newRow("3.5 rounds to even") << qint64(3 * 1174 + 587) << 4;
        QTest::newRow("just under half") << qint64(1174 + 586) << 1;
        QTest::newRow("beyond 32767 records") << qint64(40000) * 1174 << 32767;
    }

    void countsRecordsByRounding()
    {
        QFETCH(qint64, size);
        QFETCH(int, count);
        QTemporaryDir bank;
        QFile f(bank.filePath("Record.TZD"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
        f.close();
        QCOMPARE(RecCountSet(bank.path()), count);
        QVERIFY(!QFile::exists(bank.filePath("record.tzd"))); // the existing file was used
        if (size > qint64(32767) * 1174)
            QCOMPARE(ReadRecordFile(bank.path()).size(), qsizetype(32767) * 1174);
    }

    void countCreatesAMissingFile()
    {
        QTemporaryDir bank;
        QString error;
        QCOMPARE(RecCountSet(bank.path(), &error), 0);
        QVERIFY(QFile::exists(bank.filePath("record.tzd")));
        QCOMPARE(RecCountSet(QString(), &error), -1);
        QCOMPARE(RecCountSet(bank.filePath("gone.bnk"), &error), -1);
        QVERIFY2(error.contains("gone.bnk") && error.contains("record.tzd"), qPrintable(error));
    }

    void readsRecordsAndBlanks()
    {
        QTemporaryDir bank;
        QVERIFY(writeFile(bank.filePath("record.tzd"), golden() + golden()));
        Record r;
        QVERIFY(RecRead(bank.path(), 2, 1, r, kToday));
        QCOMPARE(r, goldenRecord());
        QVERIFY(RecRead(bank.path(), 3, 1, r, kToday)); // beyond the end
        QCOMPARE(r, BlankRecord(kToday));

        r.JPcode = 17;
        r.Year = 2001;
        r.Style = 3;
        QVERIFY(RecRead(bank.path(), 1, 0, r, kToday));
        Record want = BlankRecord(kToday);
        want.JPcode = 17;
        QCOMPARE(r, want);

        QString error;
        QVERIFY(!RecRead(bank.path(), 0, 1, r, kToday, &error));
        QCOMPARE(r, BlankRecord(kToday));
        QVERIFY(!RecRead(bank.filePath("gone.bnk"), 1, 1, r, kToday, &error));
        QVERIFY2(error.contains("record.tzd"), qPrintable(error));
    }

    void clearMovesTheLinkList()
    {
        Record r = goldenRecord();
        QString linkText = "3,12";
        QString linkTextOld = "3";
        RecClear(r, kToday, linkText, linkTextOld);
        QCOMPARE(r, BlankRecord(kToday));
        QCOMPARE(linkTextOld, QString("3,12"));
        QVERIFY(linkText.isEmpty());
    }

    void writesOnlyChangedRecordsInPlace()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("record.tzd");
        const QByteArray three = golden() + handRecord(2, 1, 1990, kDate41846) + golden();
        QVERIFY(writeFile(path, three));

        Record r = goldenRecord();
        r.Memo = "changed";
        QVERIFY(RecWrite(bank.path(), 2, r, BoxFlags{}));
        QCOMPARE(readFile(path), three);
        QVERIFY(RecWrite(bank.path(), 2, r, BoxFlags{0, -1, 0}));
        QCOMPARE(readFile(path), three);

        QVERIFY(RecWrite(bank.path(), 2, r, changedBox(1)));
        QByteArray want = three;
        want.replace(1174, 1174, golden().replace(2, 7, "changed"));
        QCOMPARE(readFile(path), want);
    }

    void writingBeyondTheEndFillsBlankRecords()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("record.tzd");
        QVERIFY(writeFile(path, golden() + golden().left(100)));
        QVERIFY(RecWrite(bank.path(), 4, goldenRecord(), changedBox(13)));
        const QByteArray blank = handRecord(0, 0, 0, QByteArray(8, '\0'));
        QCOMPARE(readFile(path), golden() + golden().left(100) + blank.mid(100) + blank + golden());
        QCOMPARE(RecCountSet(bank.path()), 4);
    }

    void writeFailuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        QVERIFY(!RecWrite(bank.path(), 0, goldenRecord(), changedBox(2), &error));
        QVERIFY(!RecWrite(bank.path(), 32768, goldenRecord(), changedBox(2), &error));
        QVERIFY(!QFile::exists(bank.filePath("record.tzd")));

        error.clear();
        QVERIFY(!RecWrite(bank.filePath("gone.bnk"), 1, goldenRecord(), changedBox(2), &error));
        QVERIFY2(error.contains("gone.bnk") && error.contains("record.tzd"), qPrintable(error));

        // A full disk.
        QVERIFY(QFile::link("/dev/full", bank.filePath("record.tzd")));
        error.clear();
        QVERIFY(!RecWrite(bank.path(), 1, goldenRecord(), changedBox(2), &error));
        QVERIFY2(error.contains("record.tzd"), qPrintable(error));
    }

    void wholeFileReadReportsAMissingFile()
    {
        QTemporaryDir bank;
        QVERIFY(writeFile(bank.filePath("RECORD.tzd"), golden()));
        QString error = "stale";
        QCOMPARE(ReadRecordFile(bank.path(), &error), golden());
        QVERIFY(error.isEmpty());
        QVERIFY(ReadRecordFile(bank.filePath("gone.bnk"), &error).isEmpty());
        QVERIFY(error.contains("record.tzd"));
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
