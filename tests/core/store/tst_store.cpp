// The bank's files against bytes laid out by hand. Every reader fed files that
// no program wrote gives a defined result; every writer made to fail at the
// start, midway and at the end of its write leaves every file byte for byte
// as it was, and its error names the file and the system's reason. Kills at
// random moments (SIGKILL, TZ_KILL_COUNT of each kind, 20 by default) of a
// program saving into a bank and of tessellane-cli make-bank leave whole
// entries of a version written, no lock that blocks the next start, and a
// bank either absent or complete. And the lock of the program folder.
#include "core/bank/bank_files.h"
#include "core/bank/sample_bank.h"
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/common/undo_note.h"
#include "core/format/definition_file.h"
#include "core/format/form_file.h"
#include "core/search/result_file.h"
#include "core/session/bank_log.h"
#include "core/session/settings.h"
#include "core/session/single_instance.h"
#include "core/store/bank_change.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/store_stress.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

using namespace tz;
using namespace tz::testing;

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
    {282, "  A title."}, {564, "12(3)"}, {584, "45"}, {594, "67"}, {606, kNihongo}, {746, "Book"},
    {886, "key, words"}});
const Record kGoldenRecord{1, "memo", "Tanaka, T.; 日本語", "  A title.", 17, "12(3)", "45", "67", 2014, "日本語", "Book",
    "key, words", 41846.0};
// clang-format on

QByteArray lines(const QByteArray &line, int n)
{
    return (line + "\r\n").repeated(n);
}

// A row of the files read: their group ends, names 1..n (the others empty)
// and the lines not read exactly.
void row(const char *name, const QByteArray &bytes, const QList<int> &ends, const QStringList &names,
         const QList<int> &inexact = {})
{
    QTest::newRow(name) << bytes << ends << names << inexact;
}

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

using Dir = const QString &;

Record record(int n)
{
    Record r = BlankRecord(kToday);
    r.Author = QString::fromUtf8("著者 %1").arg(n);
    return r;
}

// A bank of three records, two links and two URL/DOI entries, written by
// hand so that no writer under test made it.
void makeOldBank(Dir dir)
{
    QByteArray records;
    for (int n = 1; n <= 3; ++n)
        records += EncodeRecord(record(n));
    writeFile(dir + "/record.tzd", records);
    writeFile(dir + "/Link.tzd", EncodeLinkPair({3, 7}) + EncodeLinkPair({7, 12}));
    writeFile(dir + "/Pdf.tzd", EncodePdfEntry({"https://a.example", ""}) + EncodePdfEntry({"", "10.1/b"}));
    writeFile(dir + "/JPcode.tzd", SerializeJPcode(DefaultJPcodeTable()));
}

// A writer: what the error names, the files it starts from, the write, and
// the last step of the write (a flush in place, or the rename that puts a
// whole new file in place; only those writers make a file).
struct Writer
{
    const char *name;
    const char *file;
    std::function<void(Dir)> prepare;
    std::function<bool(Dir, QString *)> write;
    FileFault commit;
};

QList<Writer> writers()
{
    const FileFault sync{FileStep::Sync, EIO}, rename{FileStep::Rename, EIO};
    const auto bank = makeOldBank;
    const auto file = [](const char *name, const QByteArray &bytes) {
        return [=](Dir d) { writeFile(d + '/' + name, bytes); };
    };
    // clang-format off
    return {
        {"record in place", "record.tzd", bank,
         [](Dir d, QString *e) { return RecWrite(d, 2, record(9), true, e); }, sync},
        {"record appended", "record.tzd", bank,
         [](Dir d, QString *e) { return RecWrite(d, 4, record(9), true, e); }, sync},
        {"links", "Link.tzd", bank, [](Dir d, QString *e) { return LinkWrite(d, 7, "3,9", "3,12", e); }, sync},
        {"URL/DOI entry", "Pdf.tzd", bank,
         [](Dir d, QString *e) { return PdfWrite(d, 3, {"https://c.example", "10.1/c"}, true, e); }, sync},
        {"URL/DOI table made", "Pdf.tzd", file("record.tzd", EncodeRecord(record(1))),
         [](Dir d, QString *e) { return PdfInit(d, 5, e); }, rename},
        {"JP code table", "JPcode.tzd", bank, [](Dir d, QString *e) {
             JPcodeTable t = DefaultJPcodeTable();
             t.JPname[3] = "新しい名前";
             return JPcodeSave(d + "/JPcode.tzd", t, e);
         }, rename},
        {"settings", "tz.cfg", [](Dir d) { CfgSave(d + "/tz.cfg", Settings(), nullptr); }, [](Dir d, QString *e) {
             Settings s;
             s.BankName = "other";
             return CfgSave(d + "/tz.cfg", s, e);
         }, rename},
        {"bank-path log", "Bpath.log", file("Bpath.log", "/a/x.bnk\r\n"),
         [](Dir d, QString *e) { return BankLogSave(d + "/Bpath.log", {"/b/y.bnk", "/a/x.bnk"}, e); }, rename},
        {"form file", "form.cfg", file("form.cfg", "old forms"), [](Dir d, QString *e) {
             QStringList report;
             const FormTable t = ParseFormFile(readFile(TZ_SOURCE_DATA "/form.cfx"), "form.cfx", report);
             return FormWrite(d + "/form.cfg", t, e);
         }, rename},
        {"form file from its default", "form.cfg", file("form.cfx", "3d\r\n0\r\n"), [](Dir d, QString *e) {
             QString shown;
             QStringList report;
             LoadDefinitionFile(d + "/form.cfg", "書式", &shown, report);
             *e = report.join('\n');
             return report.isEmpty();
         }, rename},
        {"result list", "result.txt", file("result.txt", "old list\r\n"),
         [](Dir d, QString *e) { return SaveResultFile(d + "/result.txt", "A.\nB.", false, e); }, rename},
        {"sample bank", "x.bnk", [](Dir) {}, [](Dir d, QString *e) {
             SampleSource source;
             QStringList errors;
             return ReadSampleSource(TZ_SOURCE_DATA "/sample", kToday, source, errors) &&
                    WriteSampleBank(source, d + "/x.bnk", e);
         }, FileFault{FileStep::Rename, EIO, 0, 1}}, // after the JP code table: the bank's own name
    };
    // clang-format on
}

// What is wrong with the bank the saving helper left, or an empty text.
QString bankFault(const QString &bank)
{
    const QByteArray records = readFile(bank + "/record.tzd"), pdf = readFile(bank + "/Pdf.tzd");
    const QByteArray links = readFile(bank + "/Link.tzd"), jp = readFile(bank + "/JPcode.tzd");
    const int count = int(records.size() / kRecordSize);
    if (records.size() % kRecordSize != 0 || count < 1 || count > kStressRecords)
        return QStringLiteral("record.tzd holds %1 bytes, no whole number of records").arg(records.size());
    if (pdf.size() % kPdfEntrySize != 0 || pdf.size() / kPdfEntrySize > count)
        return QStringLiteral("Pdf.tzd holds %1 bytes for %2 records").arg(pdf.size()).arg(count);
    for (int n = 1; n <= count; ++n) {
        const QByteArrayView record = RecordAt(records, n);
        const auto v = stressVersion(DecodeRecord(record).Memo, QStringLiteral("record %1 version ").arg(n));
        if (!(v ? record == EncodeRecord(stressRecord(n, *v))
                : n == 1 && record == EncodeRecord(BlankRecord(QDate(2024, 5, 17)))))
            return QStringLiteral("record %1 is none of the versions written").arg(n);
        if (n > pdf.size() / kPdfEntrySize)
            continue;
        const QByteArrayView entry = QByteArrayView(pdf).sliced((n - 1) * kPdfEntrySize, kPdfEntrySize);
        const auto w = stressVersion(DecodePdfEntry(entry).URL, QStringLiteral("https://example.org/%1/").arg(n));
        if (!(w ? entry == EncodePdfEntry(stressEntry(n, *w)) : entry == QByteArray(kPdfEntrySize, ' ')))
            return QStringLiteral("URL/DOI entry %1 is none of the versions written").arg(n);
    }
    if (links.size() % kLinkEntrySize != 0)
        return QStringLiteral("Link.tzd holds %1 bytes").arg(links.size());
    QSet<quint32> seen;
    bool free = false; // after the first free entry, every entry is free
    for (const LinkPair &p : DecodeLinkTable(links)) {
        const quint32 pair = quint32(p.RecA) << 16 | quint16(p.RecB);
        free = free || pair == 0;
        if (pair != 0 && (free || !IsValidLink(p, kStressRecords) || seen.contains(pair)))
            return QStringLiteral("Link.tzd holds the pair %1-%2 out of place").arg(p.RecA).arg(p.RecB);
        seen.insert(pair);
    }
    const auto v = stressVersion(ParseJPcode(jp).JPname.value(1), QStringLiteral("version "));
    if (jp != SerializeJPcode(v ? stressTable(*v) : DefaultJPcodeTable()))
        return QStringLiteral("JPcode.tzd is none of the versions written");
    return {};
}

} // namespace

class TestStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Byte for byte; a text is cut at its field's width, and a double-byte
    // character across the end is dropped, its byte a blank.
    void recordLayout()
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

    // A malformed group line gives 0 for each number it lacks; the ends are
    // brought into order and into 16 bits; the old forms get 50 free codes.
    // Both forms of a character in the NEC and IBM rows read exactly.
    void jpcodeForms_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("ends");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("inexact");
        // clang-format off
        row("current", "3d\r\n2-3-4-5\r\nNature\r\nScience, Tokyo\r\n\r\n" + kNihongo + "\r\n", {2, 3, 4, 5},
            {"Nature", "Science, Tokyo", "", "日本語"});
        row("old J form", "J\r\n1-2-3\r\nA\r\nB\r\nC\r\nD\r\n", {1, 2, 3, 53}, {"A", "B", "C"});
        row("old bare form", "5-10-15\r\n" + lines("n", 15), {5, 10, 15, 65}, QStringList(15, "n"));
        row("empty file", "", {0, 0, 0, 50}, {});
        row("LF and CR lines", "3d\n1-2-2-3\rA\nB\r\nC", {1, 2, 2, 3}, {"A", "B", "C"});
        row("quoted tag, comma field", "\"3d\",x\r\n 1-1-1-2 ,9\r\nA,B\r\n", {1, 1, 1, 2}, {"A,B"});
        row("cut to 70, then trimmed", "3d\r\n0-0-0-2\r\n" + QByteArray(65, 'a') + "     bbbb\r\n  x \r\n",
            {0, 0, 0, 2},
            {QString(65, u'a'), "x"});
        row("out of order", "3d\r\n100-20-150-140", {100, 100, 150, 150}, {});
        row("too large", "3d\r\n1-2-40000-99999", {1, 2, 32767, 32767}, {});
        row("old form at the limit, leading dash", "-2-32750", {0, 2, 32750, 32767}, {});
        row("halves to even", "3d\r\n2.5-3.5-4.5-5.5", {2, 4, 4, 6}, {});
        row("NUL and broken bytes", QByteArray("3d\r\n\x81\x00\xff-\x82-2\r\n\x81", 14), {0, 0, 2, 2},
            {QString(QChar(0xFFFD))}, {2, 3});
        row("NEC-selected IBM row", "3d\r\n0-0-0-2\r\n\xed\x40\r\n\xfa\x5c", {0, 0, 0, 2}, {"\u7e8a", "\u7e8a"});
        row("cut double-byte character", "3d\r\n1-2-3-4\r\nNature\r\n\x93", {1, 2, 3, 4}, {"Nature", "\uFFFD"}, {4});
        // clang-format on
    }
    void jpcodeForms()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, ends);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, inexact);
        const JPcodeTable t = ParseJPcode(bytes);
        QCOMPARE((QList<int>{t.JPendT, t.JPendJ, t.JPendP, t.JPendE}), ends);
        QCOMPARE(t.JPname, QStringList{QString()} + names + QStringList(t.JPendE - names.size(), QString()));
        QCOMPARE(t.inexactLines, inexact);
    }

    // Ends in order, names cut to 70 characters and trimmed, line breaks as
    // blanks; what code page 932 cannot hold is told.
    void jpcodeWritten()
    {
        JPcodeTable t{{"", QString(75, u'x'), "  pad  ", "line\r\nbreak", "日本語"}, 5, 3, -2, 6, {}, false};
        bool lossy = false;
        SerializeJPcode(t, &lossy);
        QVERIFY(!lossy);
        t.JPname.append("café");
        QCOMPARE(SerializeJPcode(t, &lossy), "3d\r\n5-5-5-6\r\n" + QByteArray(70, 'x') + "\r\npad\r\nline  break\r\n" +
                                                 kNihongo + "\r\ncaf?\r\n\r\n");
        QVERIFY(lossy);
    }

    // A new bank's table is written at once; an old file in any letter case
    // is read and replaced in the current form under its own name. A table
    // whose names did not decode exactly is kept as read but never written
    // back without the person's agreement; the lines are named. A folder in
    // the file's place stays: the table is the default one, marked as not
    // read, and is not written over it.
    void jpcodeFiles()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("JPcode.tzd");
        JPcodeTable t;
        QString error;
        QVERIFY(JPcodeLoad(bank.filePath("jpcode.tzd"), t) && t == DefaultJPcodeTable());
        QCOMPARE(readFile(path), "3d\r\n20-100-150-200\r\n" + lines("", 200));
        QVERIFY(QFile::remove(path) && writeFile(bank.filePath("JPCODE.TZD"), "5-10-15\r\n" + lines("Journal, A", 15)));
        QVERIFY(JPcodeLoad(path, t) && t.JPendE == 65 && t.JPname[15] == "Journal, A" && JPcodeSave(path, t));
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"JPCODE.TZD"});
        QCOMPARE(readFile(bank.filePath("JPCODE.TZD")),
                 "3d\r\n5-10-15-65\r\n" + lines("Journal, A", 15) + lines("", 50));

        const QByteArray utf8 = "3d\r\n1-2-3-4\r\n" + QString::fromUtf8("雑誌\r\nNature\r\n岩波書店\r\n").toUtf8();
        QVERIFY(QFile::remove(bank.filePath("JPCODE.TZD")) && writeFile(path, utf8));
        QVERIFY(!JPcodeLoad(path, t, &error) && t.JPname[2] == "Nature" && t.inexactLines == QList<int>({3, 5}));
        QVERIFY2(error.contains("JPcode.tzd") && error.contains("5 行目"), qPrintable(error));
        t.JPname[4] = "Edited";
        QVERIFY2(!JPcodeSave(path, t, &error) && error.contains("5 行目") && readFile(path) == utf8, qPrintable(error));
        QVERIFY(JPcodeSave(path, t, &error, true) && readFile(path).contains("Edited")); // the person agreed

        QVERIFY(QFile::remove(path) && QDir(bank.path()).mkdir("JPcode.tzd"));
        JPcodeTable unread = DefaultJPcodeTable();
        unread.notRead = true;
        QVERIFY(!JPcodeLoad(bank.filePath("jpcode.tzd"), t, &error) && t == unread);
        QVERIFY2(error.contains("JPcode.tzd") && error.contains("フォルダ"), qPrintable(error));
        QVERIFY(!JPcodeSave(path, t, &error) && QFileInfo(path).isDir());
    }

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

    // An entry's layout: missing bytes read as blanks; a double-byte
    // character across the end of the URL field is dropped. A new table holds
    // blank entries; an existing one (any letter case) is left alone. A
    // partial last entry reads as padded, entries beyond the end as blank.
    // Only a changed entry is written; beyond the end, blank entries fill the
    // gap, a partial last entry completed.
    void pdfTable()
    {
        const QByteArray bytes = handEntry("https://example.org/a", "10.1000/xyz");
        QVERIFY(EncodePdfEntry(kEntry) == bytes && DecodePdfEntry(bytes) == kEntry);
        QCOMPARE(DecodePdfEntry(bytes.left(310)), (PdfEntry{kEntry.URL, "10.1000/xy"}));
        const PdfEntry wide{QString(299, u'u') + "日", "日本語"};
        QCOMPARE(EncodePdfEntry(wide), handEntry(QByteArray(299, 'u'), kNihongo));

        QTemporaryDir bank;
        const QString path = bank.filePath("Pdf.tzd");
        QVERIFY(PdfInit(bank.path(), 3) && readFile(path) == QByteArray(1800, ' ') && QFile::remove(path));
        const QByteArray before = handEntry("", "") + bytes + "u";
        QVERIFY(writeFile(bank.filePath("PDF.TZD"), before) && PdfInit(bank.path(), 5));
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"PDF.TZD"});
        QList<PdfEntry> read(4);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(PdfRead(bank.path(), n, ReadMode::Stored, read[n - 1]));
        QCOMPARE(read, (QList<PdfEntry>{{}, kEntry, {"u", ""}, {}}));
        QCOMPARE(PdfReadAll(bank.path()), read.first(3));
        QVERIFY(PdfRead(bank.path(), 2, ReadMode::Blank, read[1]) && read[1] == PdfEntry());

        QVERIFY(makeBank(bank.path()) && PdfWrite(bank.path(), 1, kEntry, false));
        QCOMPARE(readFile(bank.filePath("PDF.TZD")), before);
        QVERIFY(PdfWrite(bank.path(), 1, kEntry, true) && PdfWrite(bank.path(), 5, kEntry, true));
        QCOMPARE(readFile(bank.filePath("PDF.TZD")), bytes + bytes + "u" + QByteArray(1199, ' ') + bytes);
    }

    // No record 0 or beyond 32767, no bank, no record file: refused, and no
    // file is made up (a vanished record file is made again only for the first
    // record); nor is a link table too large to be one written. (A device or
    // folder in a file's place is refused by the file routines every table
    // goes through, tested in tst_common.)
    void failuresAreReported()
    {
        QTemporaryDir bank;
        const QString gone = bank.filePath("gone.bnk"), links = bank.filePath("Link.tzd");
        QString error;
        Record r;
        PdfEntry buf;
        QVERIFY(RecCountSet(QString(), &error) == -1 && RecCountSet(gone, &error) == -1);
        QVERIFY2(error.contains("gone.bnk") && error.contains("record.tzd"), qPrintable(error));
        QVERIFY(!RecRead(bank.path(), 0, ReadMode::Stored, r, kToday) &&
                !RecRead(gone, 1, ReadMode::Stored, r, kToday) && r == BlankRecord(kToday));
        QVERIFY(!PdfRead(bank.path(), 0, ReadMode::Stored, buf) && !PdfRead(gone, 1, ReadMode::Stored, buf));
        QVERIFY(PdfReadAll(bank.path(), &error).isEmpty() && error.isEmpty()); // no table yet
        QVERIFY(!RecWrite(bank.path(), 0, r, true) && !RecWrite(bank.path(), 32768, r, true) &&
                !PdfWrite(bank.path(), 32768, kEntry, true) && !LinkWrite(bank.path(), 0, "3", "") &&
                !PdfInit(gone, 3));
        QVERIFY2(!PdfWrite(gone, 1, kEntry, true, &error) && error.contains("gone.bnk"), qPrintable(error));
        QVERIFY2(!LinkWrite(gone, 7, "3", "", &error) && error.contains("gone.bnk"), qPrintable(error));
        QVERIFY2(!RecWrite(bank.path(), 2, r, true, &error) && error.contains("見つかりません"), qPrintable(error));
        QVERIFY(!PdfWrite(bank.path(), 3, kEntry, true, &error) && !LinkWrite(bank.path(), 7, "3", "", &error));
        QVERIFY(QDir(bank.path()).isEmpty() && makeBank(bank.path()));
        QFile big(links);
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(qint64(65) * 1024 * 1024));
        big.close();
        QVERIFY(LinkRead(bank.path(), 7, 20, 100).isEmpty());
        QVERIFY2(!LinkWrite(bank.path(), 7, "3", "", &error) && error.contains("Link.tzd"), qPrintable(error));
    }

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
        const QDir bank(dir.path());
        for (const char *name : {"record.tzd", "JPcode.tzd", "Link.tzd", "Pdf.tzd", "tz.cfg", "Bpath.log"})
            QVERIFY(writeFile(bank.filePath(name), bytes));
        QString error;
        const int count = RecCountSet(bank.path(), &error);
        Record rec;
        QVERIFY(count >= 0 && count <= kMaxRecords);
        QVERIFY(RecRead(bank.path(), qMax(count, 1), ReadMode::Stored, rec, kToday, &error) && rec.Style >= 1 &&
                rec.Style <= 6);
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
        QVERIFY(PdfReadAll(bank.path(), &error).size() <= kMaxRecords);
        const Settings s = CfgLoad(bank.filePath("TZ.CFG"), dir.path());
        QVERIFY(s.MaxHits >= 1 && s.MaxHits <= 32767 && s.FontNameNo >= 0 && s.FontNameNo <= 3 && s.FontSizeNo >= 0 &&
                s.FontSizeNo <= 5);
        QCOMPARE(BankLogLoad(bank.filePath("bpath.log"), dir.path()).size(), 10);
    }

    void oldFilesStay_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<QString>("point");
        const QList<Writer> list = writers();
        for (int i = 0; i < list.size(); ++i)
            for (const char *point : {"create", "start", "midway", "commit"})
                if (QByteArray(point) != "create" || list[i].commit.step == FileStep::Rename)
                    QTest::addRow("%s at %s", list[i].name, point) << i << QString(point);
    }
    void oldFilesStay()
    {
        QFETCH(int, writer);
        QFETCH(QString, point);
        const Writer w = writers()[writer];
        // The bytes the write takes, from a run that succeeds.
        QTemporaryDir scratch, dir;
        w.prepare(scratch.path());
        qint64 total = 0;
        {
            FileFaultScope count({FileStep::Write, ENOSPC, std::numeric_limits<qint64>::max()});
            QString error;
            QVERIFY2(w.write(scratch.path(), &error), qPrintable(error));
            total = count.bytesThrough();
        }
        QVERIFY(total > 1);
        w.prepare(dir.path());
        const QMap<QString, QByteArray> before = folderSnapshot(dir.path());
        const FileFault fault = point == "create"   ? FileFault{FileStep::Create, EROFS}
                                : point == "start"  ? FileFault{FileStep::Write, ENOSPC, 0}
                                : point == "midway" ? FileFault{FileStep::Write, ENOSPC, total / 2}
                                                    : w.commit;
        QString error;
        {
            FileFaultScope scope(fault);
            QVERIFY(!w.write(dir.path(), &error) && scope.strikes() > 0);
        }
        QCOMPARE(folderSnapshot(dir.path()), before);
        QVERIFY2(error.contains(SystemReason(fault.error)) && error.contains(w.file), qPrintable(error));
    }

    // What the program folder holds, what lock() says, part of the message.
    // Only another copy running here ends the program silently; every other
    // lock that cannot be taken is told with its path, and one that provably
    // belongs to no running copy is taken over.
    void lockCases_data()
    {
        // clang-format off
        rows::table({"left", "outcome", "said"}, {
            {"nothing", "acquired", ""}, {"empty (power loss)", "acquired", ""}, {"dead process", "acquired", ""},
            {"foreign host", "failed", "elsewhere.example"}, {"folder", "failed", "フォルダです"},
            {"read-only program folder", "failed", "Read-only file system"}, {"live process", "other copy runs", ""},
        });
        // clang-format on
    }
    void lockCases()
    {
        const QString left = rows::text("left");
        const auto outcome =
            LockOutcome(QStringList{"acquired", "other copy runs", "failed"}.indexOf(rows::text("outcome")));
        QTemporaryDir home;
        const QString lockPath = home.filePath(kLockFileName.toString());
        QProcess live;
        std::optional<FileFaultScope> fault;
        if (left == "empty (power loss)")
            QVERIFY(writeFile(lockPath, {}));
        else if (left == "dead process") // beyond the largest process number of Linux
            QVERIFY(writeFile(lockPath, "4194305\ntessellane\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        else if (left == "foreign host")
            QVERIFY(writeFile(lockPath, "123\ntessellane\nelsewhere.example\n"));
        else if (left == "folder")
            QVERIFY(QDir().mkdir(lockPath));
        else if (left == "read-only program folder")
            fault.emplace(FileFault{FileStep::Create, EROFS});
        else if (left == "live process") {
            live.start(TZ_STRESS_PATH, {"lock", home.path()});
            QVERIFY(live.waitForReadyRead(20000) && live.readAllStandardOutput().trimmed() == "ready");
        }
        const QByteArray before = readFile(lockPath);
        {
            SingleInstance single;
            const LockResult result = single.lock(home.path());
            QCOMPARE(result.outcome, outcome);
            QVERIFY2(outcome != LockOutcome::Failed || (result.message.contains(QDir::toNativeSeparators(lockPath)) &&
                                                        result.message.contains(rows::text("said"))),
                     qPrintable(result.message));
            if (outcome == LockOutcome::Acquired) // this process's lock
                QCOMPARE(readFile(lockPath).split('\n').value(0),
                         QByteArray::number(QCoreApplication::applicationPid()));
            else
                QCOMPARE(readFile(lockPath), before); // someone else's lock stays as it was
        }
        QVERIFY(outcome != LockOutcome::Acquired || !QFile::exists(lockPath)); // released at the end
        if (left == "live process") {
            // Once the copy is gone, its lock is taken over.
            live.kill();
            QVERIFY(live.waitForFinished(20000));
            SingleInstance after;
            QCOMPARE(after.lock(home.path()).outcome, LockOutcome::Acquired);
        }
    }

    // After each kill: whole records, each one of the versions written;
    // every whole file an old or a new version; whole, distinct link pairs.
    void savesSurviveKills()
    {
        QTemporaryDir home;
        const QString bank = home.filePath("kill.bnk");
        QRandomGenerator random(20140726);
        int maxRecords = 0;
        for (int i = 0; i < killCount(); ++i) {
            QProcess helper;
            helper.start(TZ_STRESS_PATH, {"saves", home.path(), bank});
            QVERIFY(helper.waitForReadyRead(20000));
            QThread::usleep(random.bounded(60000));
            QCOMPARE(helper.state(), QProcess::Running); // a save failed: see its message
            killNow(helper);
            QString error; // a write the kill cut is put back, as the next opening does
            QVERIFY2(CompleteBankChange(bank, &error), qPrintable(error));
            const QString fault = bankFault(bank);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("after kill %1: %2").arg(i + 1).arg(fault)));
            maxRecords = qMax(maxRecords, int(QFileInfo(bank + "/record.tzd").size() / kRecordSize));
            SingleInstance next; // the killed copy's lock does not block the next start
            QCOMPARE(next.lock(home.path()).outcome, LockOutcome::Acquired);
        }
        qInfo("saves: %d kills, bank checked after each, up to %d records", killCount(), maxRecords);
    }

    // A record rewritten in place and cut off after 600 of its bytes (it
    // spans two pages of the file, so a kill can do this) is put back whole
    // by the next opening and by the next write; a note cut off itself was
    // never followed by the write and is only removed.
    void cutWritesArePutBack_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("byOpening");
        QTest::newRow("record, opening") << "record.tzd" << true;
        QTest::newRow("record, next write") << "record.tzd" << false;
        QTest::newRow("note, opening") << ".record.undo" << true;
    }
    void cutWritesArePutBack()
    {
        QFETCH(QString, part);
        QFETCH(bool, byOpening);
        QTemporaryDir home;
        const QString bank = home.filePath("cut.bnk"), note = bank + "/.record.undo";
        QCOMPARE(QProcess::execute(TZ_STRESS_PATH, {"cut", bank, part}), 137);
        const QByteArray before = readFile(bank + "/record.tzd");
        QCOMPARE(before.size(), 7 * kRecordSize);
        const bool torn = RecordAt(before, 7) != EncodeRecord(stressRecord(7, 1));
        QCOMPARE(torn, part == u"record.tzd");
        QVERIFY(torn ? QFileInfo::exists(note) : QFileInfo(note).size() > 0);
        QString error;
        QVERIFY2(byOpening ? CompleteBankChange(bank, &error) : RecWrite(bank, 3, stressRecord(3, 5), true, &error),
                 qPrintable(error));
        const QByteArray after = readFile(bank + "/record.tzd");
        QCOMPARE(RecordAt(after, 7), EncodeRecord(stressRecord(7, 1)));
        QCOMPARE(RecordAt(after, 3), EncodeRecord(stressRecord(3, byOpening ? 1 : 5)));
        QVERIFY(!QFileInfo::exists(note));
    }

    // A note that no write of the program could have left (bytes beyond the
    // old size, a created file with bytes kept) changes nothing and goes.
    void foreignNotesChangeNothing()
    {
        QTemporaryDir home;
        const QString bank = home.filePath("notes.bnk"), note = bank + "/.record.undo";
        QString error;
        QVERIFY(CreateBank(bank, QDate(2024, 5, 17), &error) && RecWrite(bank, 2, stressRecord(2, 3), true, &error));
        const QByteArray records = readFile(bank + "/record.tzd");
        for (const UndoNote &foreign :
             {UndoNote{kRecordSize, kRecordSize - 4, QByteArray(8, 'x')}, UndoNote{-1, 0, QByteArray(8, 'x')},
              UndoNote{-5, 0, {}}, UndoNote{kMaxUndoBytes + 1, 0, {}}}) {
            QVERIFY(writeFile(note, EncodeUndoNote(foreign)));
            QVERIFY2(CompleteBankChange(bank, &error), qPrintable(error));
            QVERIFY(readFile(bank + "/record.tzd") == records && !QFileInfo::exists(note));
        }
    }

    // All or nothing: what is left half made is no bank, and the next run
    // clears it and writes the bank.
    void makeBankSurvivesKills()
    {
        QTemporaryDir home;
        const QString reference = home.filePath("reference.bnk"), target = home.filePath("sample.bnk");
        const QString source = TZ_SOURCE_DATA "/sample";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(QProcess::execute(TZ_CLI_PATH, {"make-bank", source, reference}), 0);
        const qint64 took = timer.nsecsElapsed() / 1000; // a whole run, in µs
        const QMap<QString, QByteArray> complete = folderSnapshot(reference);
        QCOMPARE(complete.size(), 4);
        QRandomGenerator random(19991231);
        int finished = 0;
        for (int i = 0; i < killCount(); ++i) {
            QProcess cli;
            cli.start(TZ_CLI_PATH, {"make-bank", source, target});
            QVERIFY(cli.waitForStarted(20000));
            QThread::usleep(random.bounded(quint32(took * 13 / 10)));
            if (cli.state() == QProcess::Running)
                killNow(cli);
            else
                QCOMPARE(cli.exitCode(), 0);
            if (QFileInfo::exists(target)) {
                QVERIFY2(folderSnapshot(target) == complete, "a half-made bank has the bank's name");
                QVERIFY(QDir(target).removeRecursively());
                ++finished;
            }
            QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList{"reference.bnk"});
        }
        QCOMPARE(QProcess::execute(TZ_CLI_PATH, {"make-bank", source, target}), 0);
        QVERIFY(folderSnapshot(target) == complete && !QFileInfo::exists(BuildingFolderFor(target)));
        qInfo("make-bank: %d kills (a run takes %lld ms), %d complete banks", killCount(), took / 1000, finished);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
