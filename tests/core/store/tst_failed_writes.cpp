// Every writer of the program made to fail as a full disk, a read-only
// folder or a failing device does: at the start, midway and at the end of its
// write. Each time every file stays byte for byte as it was (no temporary
// file is left either) and the error names the file and the system's reason.
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
        {"record in place", "record.tzd", bank, [](Dir d, QString *e) { return RecWrite(d, 2, record(9), true, e); }, sync},
        {"record appended", "record.tzd", bank, [](Dir d, QString *e) { return RecWrite(d, 4, record(9), true, e); }, sync},
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
             return FormWrite(d + "/form.cfg", ParseFormFile(readFile(TZ_SOURCE_DATA "/form.cfx"), "form.cfx", report), e);
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

class TestFailedWrites : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestFailedWrites)
#include "tst_failed_writes.moc"
