#include "core/store/record.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QTemporaryDir>

using namespace tz;

namespace {

const QDate kToday(2024, 5, 17);                                    // OLE 45429
const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea");              // 日本語 in code page 932
const QByteArray kDate41846("\x00\x00\x00\x00\xc0\x6e\xe4\x40", 8); // 2014-07-26

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

// clang-format off
const QByteArray kGolden = handRecord(1, 17, 2014, kDate41846, {{2, "memo"}, {72, "Tanaka, T.; " + kNihongo},
    {282, "  A title."}, {564, "12(3)"}, {584, "45"}, {594, "67"}, {606, kNihongo}, {746, "Book"}, {886, "key, words"}});
const Record kGoldenRecord{1, "memo", "Tanaka, T.; 日本語", "  A title.", 17, "12(3)", "45", "67", 2014, "日本語", "Book",
    "key, words", 41846.0};
// clang-format on

} // namespace

class TestRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Byte for byte; a text is cut at its field's width, and a double-byte
    // character across the end is dropped, its byte a blank.
    void layout()
    {
        bool lossy = false;
        QCOMPARE(EncodeRecord(kGoldenRecord, &lossy), kGolden);
        QVERIFY(!lossy);
        QCOMPARE(DecodeRecord(kGolden), kGoldenRecord);
        const QString a68(68, u'a');
        for (const auto &[memo, stored] : {std::pair{a68 + "a日", QByteArray(69, 'a') + ' '},
                                           std::pair{a68 + "日本", QByteArray(68, 'a') + "\x93\xfa"}}) {
            Record r;
            r.Memo = memo;
            const QByteArray bytes = EncodeRecord(r);
            QCOMPARE(bytes.size(), 1174);
            QCOMPARE(bytes.mid(2, 280), stored + QByteArray(210, ' ')); // the author field stays blank
            QCOMPARE(DecodeRecord(bytes).Memo, memo.chopped(1));
        }
    }

    // Style outside 1..6 becomes 1; an unset date (also -0) is today; the
    // time of a date is kept.
    void repairsAfterReading_data()
    {
        // clang-format off
        rows::table({"style", "date", "repaired"}, {
            {"0", "00000000c06ee440", "1 41846"}, {"7", "00000000c06ee440", "1 41846"},
            {"6", "00000000d06ee440", "6 41846.5"}, {"3", "0000000000000000", "3 45429"},
            {"3", "0000000000000080", "3 45429"},
        });
        // clang-format on
    }
    void repairsAfterReading()
    {
        Record r = DecodeRecord(
            handRecord(rows::number("style"), 5, 1999, QByteArray::fromHex(rows::text("date").toLatin1())));
        NormalizeRecord(r, kToday);
        QCOMPARE(QStringLiteral("%1 %2").arg(r.Style).arg(r.RegDate), rows::text("repaired"));
    }

    // Short bytes read as padded with the blank layout, long ones are cut.
    void shortAndLongBytesDecode()
    {
        Record r = DecodeRecord(QByteArrayView());
        NormalizeRecord(r, kToday);
        QCOMPARE(r, BlankRecord(kToday));
        QVERIFY(DecodeRecord(kGolden.left(290)).Title == "  A titl" && DecodeRecord(kGolden.left(290)).JPcode == 0);
        QCOMPARE(DecodeRecord(kGolden.left(1170)).RegDate, 0.0); // the date's low bytes are zeros
        QCOMPARE(DecodeRecord(kGolden + QByteArray(500, '\xff')), kGoldenRecord);
        const QByteArray file = kGolden + handRecord(4, 9, 1980, kDate41846) + kGolden.left(300);
        QCOMPARE(DecodeInt16(RecordAt(file, 2), RecordLayout::Style), qint16(4));
        QVERIFY(RecordAt(file, 3).size() == 300 && RecordAt(file, 4).isEmpty() && RecordAt(file, 0).isEmpty());
    }

    // The file's size in records, halves to even, at most 32767; the name in
    // any letter case.
    void countsByRounding()
    {
        for (const auto &[size, count] :
             QList<std::pair<qint64, int>>{{0, 0}, {2935, 2}, {4109, 4}, {46960000, 32767}}) {
            QTemporaryDir bank;
            QFile f(bank.filePath("Record.TZD"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
            f.close();
            QCOMPARE(RecCountSet(bank.path()), count);
            QVERIFY(!QFile::exists(bank.filePath("record.tzd")));
            QCOMPARE(ReadRecordFile(bank.path()).size(), qMin(size, qint64(32767) * 1174));
        }
    }

    // Records read as stored, beyond the end as blank; a new record keeps the
    // JP code; clearing prepares the link lists. Only a changed record is
    // written. After the last record: a partial last record is completed with
    // the blank layout; a record further on would need blank records made up
    // in between: refused, the file stays.
    void readsAndWritesInPlace()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("record.tzd");
        QCOMPARE(RecCountSet(bank.path()), 0); // creates the file
        const QByteArray three = kGolden + handRecord(2, 1, 1990, kDate41846) + kGolden.left(100);
        QVERIFY(QFile::exists(path) && writeFile(path, three));
        Record r, want = BlankRecord(kToday);
        QVERIFY(RecRead(bank.path(), 1, ReadMode::Stored, r, kToday) && r == kGoldenRecord);
        QVERIFY(RecRead(bank.path(), 4, ReadMode::Stored, r, kToday) && r == want);
        r = kGoldenRecord;
        want.JPcode = 17;
        QVERIFY(RecRead(bank.path(), 1, ReadMode::Blank, r, kToday) && r == want);
        QString linkText = "3,12", linkTextOld = "3";
        RecClear(r, kToday, linkText, linkTextOld);
        QVERIFY(r == BlankRecord(kToday) && linkTextOld == "3,12" && linkText.isEmpty());

        r = kGoldenRecord;
        r.Memo = "changed";
        QVERIFY(RecWrite(bank.path(), 2, r, false) && readFile(path) == three);
        QVERIFY(RecWrite(bank.path(), 2, r, true));
        const QByteArray changed = QByteArray(kGolden).replace(2, 7, "changed");
        QCOMPARE(readFile(path), kGolden + changed + kGolden.left(100));
        QString error;
        QVERIFY2(!RecWrite(bank.path(), 5, r, true, &error) && error.contains("レコード 5"), qPrintable(error));
        QCOMPARE(readFile(path), kGolden + changed + kGolden.left(100));
        QVERIFY(RecWrite(bank.path(), 4, r, true));
        const QByteArray blank = handRecord(0, 0, 0, QByteArray(8, '\0'));
        QCOMPARE(readFile(path), kGolden + changed + kGolden.left(100) + blank.mid(100) + changed);
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        const QString gone = bank.filePath("gone.bnk");
        QString error;
        QVERIFY(RecCountSet(QString(), &error) == -1 && RecCountSet(gone, &error) == -1);
        QVERIFY2(error.contains("gone.bnk") && error.contains("record.tzd"), qPrintable(error));
        Record r;
        QVERIFY(!RecRead(bank.path(), 0, ReadMode::Stored, r, kToday) &&
                !RecRead(gone, 1, ReadMode::Stored, r, kToday) && r == BlankRecord(kToday));
        QVERIFY(!RecWrite(bank.path(), 0, r, true) && !RecWrite(bank.path(), 32768, r, true));
        // A vanished record file is not made again for any record but the first.
        QVERIFY2(!RecWrite(bank.path(), 2, r, true, &error) && error.contains("見つかりません"), qPrintable(error));
        QVERIFY(!QFile::exists(bank.filePath("record.tzd")));
        QVERIFY(QFile::link("/dev/full", bank.filePath("record.tzd"))); // a device is no record file
        QVERIFY2(!RecWrite(bank.path(), 1, r, true, &error) && error.contains("record.tzd") &&
                     error.contains("デバイス"),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
