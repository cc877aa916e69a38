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

Record record(int n)
{
    Record r = BlankRecord(kToday);
    r.Title = QStringLiteral("Title %1").arg(n);
    r.Author = QString::fromUtf8("著者 %1").arg(n);
    return r;
}

// A bank of three records, two links and two URL/DOI entries, written by
// hand so that no writer under test made it.
void makeOldBank(const QString &dir)
{
    QByteArray records;
    for (int n = 1; n <= 3; ++n)
        records += EncodeRecord(record(n));
    writeFile(dir + "/record.tzd", records);
    writeFile(dir + "/Link.tzd", EncodeLinkPair({3, 7}) + EncodeLinkPair({7, 12}));
    writeFile(dir + "/Pdf.tzd", EncodePdfEntry({"https://a.example", ""}) + EncodePdfEntry({"", "10.1/b"}));
    writeFile(dir + "/JPcode.tzd", SerializeJPcode(DefaultJPcodeTable()));
}

struct Writer
{
    const char *name;
    const char *file; // what the error names
    std::function<void(const QString &dir)> prepare;
    std::function<bool(const QString &dir, QString *error)> write;
    bool creates;     // the write makes a file (a new or temporary one)
    FileFault commit; // the last step
};

QList<Writer> writers()
{
    const FileFault sync{FileStep::Sync, EIO};
    const FileFault rename{FileStep::Rename, EIO};
    auto bank = [](const QString &dir) { makeOldBank(dir); };
    return {
        {"record in place", "record.tzd", bank,
         [](const QString &d, QString *e) { return RecWrite(d, 2, record(9), true, e); }, false, sync},
        {"record appended", "record.tzd", bank,
         [](const QString &d, QString *e) { return RecWrite(d, 4, record(9), true, e); }, false, sync},
        {"links", "Link.tzd", bank, [](const QString &d, QString *e) { return LinkWrite(d, 7, "3,9", "3,12", e); },
         false, sync},
        {"URL/DOI entry", "Pdf.tzd", bank,
         [](const QString &d, QString *e) {
             return PdfWrite(d, 3, {"https://c.example", "10.1/c"}, true, e);
         },
         false, sync},
        {"URL/DOI table made", "Pdf.tzd",
         [](const QString &d) { writeFile(d + "/record.tzd", EncodeRecord(record(1))); },
         [](const QString &d, QString *e) { return PdfInit(d, 5, e); }, true, rename},
        {"JP code table", "JPcode.tzd", bank,
         [](const QString &d, QString *e) {
             JPcodeTable t = DefaultJPcodeTable();
             t.JPname[3] = QString::fromUtf8("新しい名前");
             return JPcodeSave(d + "/JPcode.tzd", t, e);
         },
         true, rename},
        {"settings", "tz.cfg", [](const QString &d) { CfgSave(d + "/tz.cfg", Settings(), nullptr); },
         [](const QString &d, QString *e) {
             Settings s;
             s.BankName = "other";
             return CfgSave(d + "/tz.cfg", s, e);
         },
         true, rename},
        {"bank-path log", "Bpath.log", [](const QString &d) { writeFile(d + "/Bpath.log", "/a/x.bnk\r\n"); },
         [](const QString &d, QString *e) {
             return BankLogSave(d + "/Bpath.log", {"/b/y.bnk", "/a/x.bnk"}, e);
         },
         true, rename},
        {"form file", "form.cfg", [](const QString &d) { writeFile(d + "/form.cfg", "old forms"); },
         [](const QString &d, QString *e) {
             QStringList report;
             const FormTable t = ParseFormFile(readFile(TZ_SOURCE_DATA "/form.cfx"), "form.cfx", report);
             return FormWrite(d + "/form.cfg", t, e);
         },
         true, rename},
        {"form file from its default", "form.cfg", [](const QString &d) { writeFile(d + "/form.cfx", "3d\r\n0\r\n"); },
         [](const QString &d, QString *e) {
             QString shown;
             QStringList report;
             LoadDefinitionFile(d + "/form.cfg", QString::fromUtf8("書式"), &shown, report);
             *e = report.join('\n');
             return report.isEmpty();
         },
         true, rename},
        {"result list", "result.txt", [](const QString &d) { writeFile(d + "/result.txt", "old list\r\n"); },
         [](const QString &d, QString *e) { return SaveResultFile(d + "/result.txt", "A.\nB.", false, e); }, true,
         rename},
        {"sample bank", "x.bnk", [](const QString &) {},
         [](const QString &d, QString *e) {
             SampleSource source;
             QStringList errors;
             return ReadSampleSource(TZ_SOURCE_DATA "/sample", kToday, source, errors) &&
                    WriteSampleBank(source, d + "/x.bnk", e);
         },
         true, FileFault{FileStep::Rename, EIO, 0, 1}}, // after the JP code table: the bank's own name
    };
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
        for (int i = 0; i < list.size(); ++i) {
            for (const char *point : {"create", "start", "midway", "commit"}) {
                if (QByteArray(point) != "create" || list[i].creates)
                    QTest::addRow("%s at %s", list[i].name, point) << i << QString(point);
            }
        }
    }
    void oldFilesStay()
    {
        QFETCH(int, writer);
        QFETCH(QString, point);
        const Writer w = writers()[writer];

        // The bytes the write takes, from a run that succeeds.
        QTemporaryDir scratch;
        w.prepare(scratch.path());
        qint64 total = 0;
        {
            FileFaultScope count({FileStep::Write, ENOSPC, std::numeric_limits<qint64>::max()});
            QString error;
            QVERIFY2(w.write(scratch.path(), &error), qPrintable(error));
            total = count.bytesThrough();
        }
        QVERIFY(total > 1);

        QTemporaryDir dir;
        w.prepare(dir.path());
        const QMap<QString, QByteArray> before = folderSnapshot(dir.path());
        FileFault fault = w.commit;
        if (point == "create")
            fault = {FileStep::Create, EROFS};
        else if (point == "start")
            fault = {FileStep::Write, ENOSPC, 0};
        else if (point == "midway")
            fault = {FileStep::Write, ENOSPC, total / 2};
        QString error;
        {
            FileFaultScope scope(fault);
            QVERIFY(!w.write(dir.path(), &error));
            QVERIFY(scope.strikes() > 0);
        }
        QCOMPARE(folderSnapshot(dir.path()), before);
        QVERIFY2(error.contains(SystemReason(fault.error)) && error.contains(w.file), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestFailedWrites)
#include "tst_failed_writes.moc"
