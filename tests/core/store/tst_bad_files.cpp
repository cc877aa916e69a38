// Files in trouble. Every reader of the bank's files and of the settings,
// fed files that no program wrote (empty, cut in the middle of an entry, far
// too large, random), neither crashes nor hangs and gives a defined result.
// Every writer of the program, made to fail as a full disk, a read-only folder
// or a failing device does at the start, midway and at the end of its write,
// leaves every file byte for byte as it was (no temporary file either), and
// the error names the file and the system's reason.
#include "core/bank/sample_bank.h"
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/format/definition_file.h"
#include "core/format/form_file.h"
#include "core/search/result_file.h"
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
#include <functional>

using namespace tz;

namespace {

const QDate kToday(2024, 5, 17);
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

} // namespace

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
};

QTEST_GUILESS_MAIN(TestBadFiles)
#include "tst_bad_files.moc"
