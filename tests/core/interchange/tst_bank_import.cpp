// Importing into a bank as the card and the command line do: the sample bank
// goes out in each format and comes back; duplicates are left out and listed;
// journals and publishers find their JP codes by name or take free ones,
// enlarging a full group; the record limit, a failed write at every file, a
// bad file and Cancel leave the bank byte for byte as it was.
#include "core/bank/bank_files.h"
#include "core/bank/sample_bank.h"
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/interchange/bank_export.h"
#include "core/interchange/bank_import.h"
#include "core/interchange/exchange_file.h"
#include "support/jp_bank.h"
#include "support/test_rows.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tz;
using namespace tz::testing;

namespace {

const QDate kToday(2025, 3, 4);

QString text(const Record &r)
{
    return QStringList{
        QString::number(r.Style), r.Memo,   r.Author, r.Title,   QString::number(r.JPcode), r.Volume, r.Page1, r.Page2,
        QString::number(r.Year),  r.Editor, r.Book,   r.Keyword, QString::number(r.RegDate)}
        .join(u'|');
}

// RIS entries, one per text: "TY JOUR|TI A title|..." (a tag, a blank, the value).
QByteArray ris(const QStringList &entries)
{
    QString out;
    for (const QString &e : entries) {
        for (const QString &field : e.split(u'|'))
            out += field.left(2) + QStringLiteral("  - ") + field.mid(3) + QStringLiteral("\r\n");
        out += QStringLiteral("ER  - \r\n\r\n");
    }
    return out.toUtf8();
}

JPcodeTable loadTable(const QString &bank)
{
    JPcodeTable t;
    JPcodeLoad(FilePathNoCase(bank, QString(kJPcodeFileName)), t);
    return t;
}

struct Import
{
    JPcodeTable before, table;
    ImportPlan plan;
    ImportOutcome outcome;
};

// Plans and applies `file` as the card does; `setUp` sets the questions and
// the progress.
Import importInto(const QString &bank, const QByteArray &file, bool keep = false,
                  const std::function<void(BankImport &)> &setUp = {})
{
    Import r;
    r.before = r.table = loadTable(bank);
    BankImport import(r.table);
    import.bankPath = bank;
    import.today = kToday;
    if (setUp)
        setUp(import);
    r.plan = import.plan(file, keep);
    r.outcome = import.apply(r.plan);
    return r;
}

// A bank holding exactly these records, URL/DOI entries and table.
void writeBank(const QString &bank, const JPcodeTable &table, const QList<Record> &records,
               const QList<PdfEntry> &pdf = {})
{
    writeJPbank(bank, table, {});
    QByteArray bytes, entries;
    for (const Record &r : records)
        bytes += EncodeRecord(r);
    for (const PdfEntry &e : pdf)
        entries += EncodePdfEntry(e);
    writeFile(bank + QStringLiteral("/record.tzd"), bytes);
    writeFile(bank + QStringLiteral("/Pdf.tzd"), entries);
}

Record article(const char *author, const char *title, int code, const char *volume, const char *page)
{
    return {1, {}, author, title, qint16(code), volume, page, {}, 2000, {}, {}, {}, 45000};
}

} // namespace

class TestBankImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sample;
    JPcodeTable m_sampleTable;
    int m_banks = 0;

    QString bankPath() { return m_dir.filePath(QStringLiteral("b%1.bnk").arg(++m_banks)); }
    QString newBank()
    {
        const QString bank = bankPath();
        QString error;
        if (!CreateBank(bank, kToday, &error))
            qFatal("%s", qPrintable(error));
        return bank;
    }

private Q_SLOTS:
    void initTestCase()
    {
        SampleSource source;
        QStringList errors;
        QString error;
        m_sample = m_dir.filePath(QStringLiteral("sample.bnk"));
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), kToday, source, errors),
                 qPrintable(errors.join(u'\n')));
        QVERIFY2(WriteSampleBank(source, m_sample, &error), qPrintable(error));
        m_sampleTable = loadTable(m_sample);
    }

    // Every record of the sample bank written out and read into a new bank
    // (its blank record replaced) comes back field by field, with its URL,
    // DOI and JP code name; the file read again adds nothing.
    void roundTrips_data() { rows::table({"format"}, {{"ris"}, {"bibtex"}, {"csljson"}}); }
    void roundTrips()
    {
        const ExchangeFormat format = ExchangeFormatFromName(rows::text("format")).value();
        const QString file = m_dir.filePath(QStringLiteral("all%1").arg(int(format)));
        int written = 0;
        QString error;
        QVERIFY2(ExportBankFile(m_sample, m_sampleTable, {}, format, file, &written, &error), qPrintable(error));
        const QList<Record> want = storedRecords(m_sample);
        QCOMPARE(written, want.size());

        const QString bank = newBank();
        const Import r = importInto(bank, readFile(file), true);
        QCOMPARE(r.plan.error, QString());
        QCOMPARE(r.plan.duplicates.size(), 2); // the sample's two deliberate ones
        for (const ImportedRecord &imported : r.plan.records)
            QVERIFY2(imported.notes.isEmpty(), qPrintable(imported.notes.join(u'\n')));
        QCOMPARE(int(r.outcome.status), int(JPstatus::Done));
        QVERIFY(r.outcome.first == 1 && r.outcome.count == want.size());

        const QList<Record> got = storedRecords(bank);
        const JPcodeTable table = storedTable(bank);
        const QList<PdfEntry> gotPdf = PdfReadAll(bank), wantPdf = PdfReadAll(m_sample);
        QCOMPARE(r.table.JPname, table.JPname);
        QCOMPARE(got.size(), want.size());
        QStringList differ;
        for (int i = 0; i < got.size(); ++i) {
            Record rec = got[i];
            if (JPcodeName(table, rec.JPcode) == JPcodeName(m_sampleTable, want[i].JPcode))
                rec.JPcode = want[i].JPcode;
            if (!(rec == want[i] && gotPdf.value(i) == wantPdf.value(i)))
                differ << QStringLiteral("record %1:\n  %2\n  %3").arg(i + 1).arg(text(rec), text(want[i]));
        }
        QVERIFY2(differ.isEmpty(), qPrintable(differ.join(u'\n')));

        const auto before = folderSnapshot(bank);
        const Import again = importInto(bank, readFile(file));
        QCOMPARE(again.plan.duplicates.size(), want.size());
        QVERIFY(again.plan.records.isEmpty() && again.outcome.status == JPstatus::Unchanged);
        QVERIFY(folderSnapshot(bank) == before);
    }

    // A DOI matches whatever its case and prefix, a duplicate key the stored
    // one, in the bank and earlier in the file; duplicates are left out and
    // listed unless kept. References with no key at all (no journal, volume,
    // page, author or title) are never taken for copies of each other.
    void duplicates()
    {
        const QString bank = bankPath();
        const auto reset = [&] {
            writeBank(bank, jpTable(20, 100, 150, 200, {{5, "Nature"}, {21, "Annalen der Physik"}}),
                      {article("J.D.Watson, F.H.C.Crick", "Molecular structure of nucleic acids.", 5, "171", "737"),
                       article("A.Einstein", "Zur Elektrodynamik bewegter Koerper.", 21, "17", "891"),
                       BlankRecord(kToday)},
                      {{{}, "doi:10.1038/171737A0"}});
        };
        reset();
        const QByteArray file = ris({
            "TY JOUR|AU Other, A.|TI Not the same title|DO https://doi.org/10.1038/171737a0",    // record 1
            "TY JOUR|AU Einstein, A.|TI Zur Elektrodynamik|T2 annalen  der PHYSIK|VL 17|SP 891", // record 2
            "TY JOUR|AU Curie, M.|TI Radioactive substances|T2 Chemical News|VL 88|SP 85|DO 10.5555/Curie",
            "TY JOUR|AU Curie, M.|TI Another title|DO DOI:10.5555/CURIE",                         // the one above
            "TY JOUR|AU Curie, M.|TI Radioactive substances, again|T2 CHEMICAL NEWS|VL 88|SP 85", // its key
            "TY GEN|DO 10.5555/one",
            "TY GEN|DO 10.5555/two",
        });
        QList<int> starts; // the line of each entry
        const QList<QByteArray> lines = file.split('\n');
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith("TY"))
                starts << i + 1;
        const QStringList reasons{"DOI がレコード 1 と同じ", "重複キーがレコード 2 と同じ",
                                  QStringLiteral("DOI が %1 行目の文献と同じ").arg(starts[2]),
                                  QStringLiteral("重複キーが %1 行目の文献と同じ").arg(starts[2])};
        const QByteArray storedBytes = readFile(bank + "/record.tzd");
        for (const bool keep : {false, true}) {
            const Import r = importInto(bank, file, keep);
            QCOMPARE(r.plan.duplicates.size(), 4);
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(r.plan.duplicates[i].line, starts[i < 2 ? i : i + 1]);
                QCOMPARE(r.plan.duplicates[i].reason, reasons[i]);
            }
            QCOMPARE(r.plan.report().filter(QStringLiteral("取り込みませんでした")).size(), keep ? 0 : 4);
            QCOMPARE(r.plan.lines, keep ? starts : (QList<int>{starts[2], starts[5], starts[6]}));
            QCOMPARE(r.outcome.first, 4);
            // The stored records stay as they were.
            QCOMPARE(readFile(bank + "/record.tzd").left(storedBytes.size()), storedBytes);
            reset();
        }
    }

    // Names match whatever their case and blanks, within the style's own
    // list; new names take the lowest codes free (no name, no record) of
    // their group: journals Common Journals, publishers of chapters and
    // books Press names, other sources etc.
    void jpCodesByName()
    {
        const QString bank = bankPath();
        writeJPbank(bank, jpTable(20, 100, 150, 200, {{5, "Nature"}, {21, "J. Biol. Chem."}, {101, "Academic Press"}}),
                    {{5, 1}, {22, 1}, {101, 1}}); // code 22: no name but a record
        const Import r = importInto(
            bank,
            ris({"TY JOUR|T2 NATURE", "TY JOUR|T2 j.biol.  chem.", "TY JOUR|T2 Cell Reports", "TY JOUR|T2 Brain",
                 "TY CHAP|BT A book|PB Springer", "TY BOOK|PB academic press", "TY BOOK|PB Nature",
                 "TY GEN|PB Tech Report", "TY RPRT|PB Ministry", "TY JOUR|T2 cell  reports"}),
            true);
        QCOMPARE(int(r.outcome.status), int(JPstatus::Done));
        QList<int> codes;
        const QList<Record> records = storedRecords(bank);
        for (const Record &rec : records.mid(3))
            codes << rec.JPcode;
        QCOMPARE(codes, (QList<int>{5, 21, 23, 24, 102, 101, 103, 151, 152, 23}));
        const JPcodeTable t = storedTable(bank);
        QCOMPARE(t.JPname.mid(21, 4), (QStringList{"J. Biol. Chem.", "", "Cell Reports", "Brain"}));
        QCOMPARE(t.JPname.mid(101, 3), (QStringList{"Academic Press", "Springer", "Nature"}));
        QCOMPARE(t.JPname.mid(151, 2), (QStringList{"Tech Report", "Ministry"}));
    }

    // A full group grows as the JP code editor grows it, after the question:
    // the records of the groups behind it follow their names, and the new
    // names land in the new codes. Refusing the question imports nothing; a
    // second group refused after a first one grew leaves the table in memory
    // as the bank now holds it.
    void fullGroupsAreEnlarged()
    {
        QMap<int, QString> names{{5, "Top"}, {35, "Press"}, {45, "Other"}};
        for (int c = 21; c <= 30; ++c)
            names.insert(c, QStringLiteral("J%1").arg(c));
        const JPcodeTable full = jpTable(20, 30, 40, 50, names);
        const QByteArray file = ris({"TY JOUR|T2 New A|N1 journal:New A", "TY JOUR|T2 New B|N1 journal:New B",
                                     "TY JOUR|T2 j 21|N1 journal:J21"});
        const QList<std::pair<int, int>> codes{{5, 1}, {21, 1}, {35, 2}, {45, 1}};

        QString bank = bankPath();
        writeJPbank(bank, full, codes);
        QStringList asked;
        const Import r = importInto(
            bank, file, false, [&](BankImport &i) { i.confirm = [&](const QString &q) { return asked << q, true; }; });
        QCOMPARE(int(r.outcome.status), int(JPstatus::Done));
        QCOMPARE(asked, QStringList{kAskEnlarge.arg(50)});
        QVERIFY(r.outcome.renumbered);
        const JPcodeTable t = storedTable(bank);
        QVERIFY(t.JPendJ == 80 && t.JPname[31] == "New A" && t.JPname[32] == "New B" && t.JPname[85] == "Press");
        QVERIFY2(journalFault(bank).isEmpty(), qPrintable(journalFault(bank)));
        QCOMPARE(r.table.JPname, t.JPname);

        bank = bankPath();
        writeJPbank(bank, full, codes);
        auto before = folderSnapshot(bank);
        Import refused =
            importInto(bank, file, false, [](BankImport &i) { i.confirm = [](const QString &) { return false; }; });
        QVERIFY(refused.outcome.status == JPstatus::Cancelled && refused.table == refused.before);
        QVERIFY(folderSnapshot(bank) == before);

        names.insert(31, "P31");
        for (int c = 32; c <= 40; ++c)
            names.insert(c, QStringLiteral("P%1").arg(c));
        bank = bankPath();
        writeJPbank(bank, jpTable(20, 30, 40, 50, names), codes);
        int answers = 0;
        refused = importInto(bank, file + ris({"TY BOOK|PB New Press"}), false,
                             [&](BankImport &i) { i.confirm = [&](const QString &) { return ++answers == 1; }; });
        QVERIFY(refused.outcome.status == JPstatus::Cancelled && refused.outcome.renumbered);
        QCOMPARE(refused.table.JPname, storedTable(bank).JPname);
        QCOMPARE(storedRecords(bank).size(), 5);
        QVERIFY(journalFault(bank).isEmpty());
    }

    // A table that was not read exactly is not written without the person's
    // word; an import that adds no name leaves it marked so.
    void inexactTable()
    {
        const QString bank = bankPath();
        writeJPbank(bank, jpTable(20, 100, 150, 200, {{5, "Nature"}}), {{5, 1}});
        QByteArray table = readFile(bank + "/JPcode.tzd");
        table.replace("Nature\r\n\r\n", "Nature\r\n\x82\r\n"); // the name of code 6 cannot be decoded
        QVERIFY(writeFile(bank + "/JPcode.tzd", table));
        const auto before = folderSnapshot(bank);
        Import r = importInto(bank, ris({"TY JOUR|T2 Cell"}));
        QVERIFY2(r.outcome.status != JPstatus::Done && r.table == r.before, qPrintable(r.outcome.message));
        QVERIFY(folderSnapshot(bank) == before);
        r = importInto(bank, ris({"TY JOUR|T2 nature|TI X"}));
        QCOMPARE(int(r.outcome.status), int(JPstatus::Done));
        QVERIFY(!JPcodeReadExactly(r.table));
        QCOMPARE(readFile(bank + "/JPcode.tzd"), table);
    }

    // 32,767 records at most: one reference too many is refused with the
    // message and nothing written; exactly up to the limit goes in.
    void recordLimit()
    {
        const QString bank = bankPath();
        const int stored = kMaxRecords - 7;
        writeJPbank(bank, DefaultJPcodeTable(), {});
        QVERIFY(writeFile(bank + "/record.tzd", EncodeRecord(article("A.B", "T.", 0, "1", "1")).repeated(stored)));
        QStringList entries;
        for (int i = 1; i <= 8; ++i)
            entries << QStringLiteral("TY JOUR|TI %1 Title|DO 10.1/%1").arg(i);
        const auto before = folderSnapshot(bank);
        const Import r = importInto(bank, ris(entries));
        QCOMPARE(r.plan.error, ImportLimitMessage(stored, 8));
        QVERIFY(r.outcome.status == JPstatus::Refused && r.outcome.message == r.plan.error);
        QVERIFY(folderSnapshot(bank) == before);
        entries.removeLast();
        const Import fits = importInto(bank, ris(entries));
        QVERIFY(fits.outcome.status == JPstatus::Done && fits.outcome.first == stored + 1);
        QCOMPARE(RecCountSet(bank), kMaxRecords);
    }

    // Each of the three files fails at each step of its write: the message
    // reaches the caller and all four files (the table, the URL/DOI table,
    // the records, the links) are as they were, with the table in memory.
    void failedWritesChangeNothing_data()
    {
        // clang-format off
        rows::table({"file", "step", "bytes before"}, {
            {"JPcode.tzd", "create", "0"}, {"JPcode.tzd", "write", "100"}, {"JPcode.tzd", "rename", "0"},
            {"Pdf.tzd", "create", "0"}, {"Pdf.tzd", "write", "100"}, {"Pdf.tzd", "rename", "0"},
            {"record.tzd", "write", "0"}, {"record.tzd", "write", "1761"}, // at the start, a record and a half in
            {"record.tzd", "sync", "0"}, // at the commit
        });
        // clang-format on
    }
    void failedWritesChangeNothing()
    {
        const QString file = rows::text("file");
        const int step = int(QStringList{"create", "write", "sync", "rename"}.indexOf(rows::text("step")));
        const int error = QList<int>{EROFS, ENOSPC, EIO, EIO}[step];
        const QString bank = bankPath();
        writeBank(bank, jpTable(20, 100, 150, 200, {{5, "Nature"}}),
                  {article("A.B", "One.", 5, "1", "1"), article("C.D", "Two.", 5, "2", "2")},
                  {{"https://example.org/1", {}}});
        QVERIFY(writeFile(bank + "/Link.tzd", le16(1) + le16(2)));
        const auto before = folderSnapshot(bank);
        Import r;
        {
            FileFaultScope fault(FileFault(FileStep(step), error, rows::number("bytes before"), 0, file));
            r = importInto(bank, ris({"TY JOUR|TI New one|T2 Cell|DO 10.1/a", "TY JOUR|TI New two|T2 Brain",
                                      "TY JOUR|TI New three|T2 nature"}));
            QCOMPARE(fault.strikes(), 1);
        }
        QCOMPARE(int(r.outcome.status), int(JPstatus::Failed));
        QVERIFY2(r.outcome.message.contains(file) && r.outcome.message.contains(SystemReason(error)),
                 qPrintable(r.outcome.message));
        QVERIFY(folderSnapshot(bank) == before);
        QCOMPARE(r.table, r.before);
    }

    // A file that cannot be read whole, or is too large to read, imports
    // nothing; the reader's message reaches the plan.
    void badFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("RIS unknown tag") << ris({"TY JOUR|TI A|XQ what"}) << "3 行目: RIS にないタグ「XQ」";
        // A whole entry first: the size alone refuses the file.
        QTest::newRow("50 MB") << ris({"TY JOUR|TI A"}).leftJustified(50 * 1024 * 1024, ' ')
                               << "ファイルが大きすぎます（50 MB。読めるのは 32 MB までです）";
    }
    void badFilesChangeNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        const QString bank = newBank();
        const auto before = folderSnapshot(bank);
        const Import r = importInto(bank, file);
        QVERIFY2(r.plan.error.contains(message), qPrintable(r.plan.error));
        QVERIFY(r.plan.records.isEmpty() && r.outcome.status == JPstatus::Refused);
        QVERIFY(folderSnapshot(bank) == before);
    }

    // Cancel at any step of the progress (the usage count, the records)
    // writes nothing; without it the import lands.
    void cancelWritesNothing()
    {
        const QString bank = newBank();
        const auto before = folderSnapshot(bank);
        const QByteArray file =
            ris({"TY JOUR|TI One|T2 Cell|DO 10.1/a", "TY BOOK|TI Two|PB Springer", "TY GEN|TI Three"});
        for (int at = 1;; ++at) {
            int steps = 0;
            bool cancel = false;
            const Import r = importInto(bank, file, false, [&](BankImport &i) {
                i.cancelFlag = &cancel;
                i.progress = [&](ProgressMode mode, int, int, int) {
                    cancel = cancel || (mode == ProgressMode::Step && ++steps == at);
                };
            });
            if (steps < at) {
                QCOMPARE(int(r.outcome.status), int(JPstatus::Done));
                QVERIFY(at > 3);
                break;
            }
            QCOMPARE(int(r.outcome.status), int(JPstatus::Cancelled));
            QVERIFY(folderSnapshot(bank) == before && r.table == r.before);
        }
        QCOMPARE(storedRecords(bank).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestBankImport)
#include "tst_bank_import.moc"
