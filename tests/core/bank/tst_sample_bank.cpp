// The sample bank: the readable source, its faults with their lines, the bank
// the writer makes of it, and the bank built into the share folder. (The
// make-bank command's refusal to write over a bank, and its failed and killed
// runs, are tested under cli/ and store/.)

#include "core/bank/sample_bank.h"

#include "core/common/ole_date.h"
#include "core/format/name_list.h"
#include "core/search/search_engine.h"
#include "core/store/link_table.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QDate kToday(2024, 5, 1);

// A small JP code list, and three records that name codes of it.
const char *const kJPcodes = "# a small table\nends: 2-4-6-8\n[T] frequent\nNature\nScience\n[J]\n世界\n[P]\n"
                             "John Murray\n岩波書店\n[E]\nCERN\n";
const char *const kRecords =
    "\nregistered: 2020-02-03\n@ wc\nstyle: journal\nauthor: J. D. Watson and F. H. C. Crick\n"
    "title: Molecular structure of nucleic acids\njp: Nature\nvolume: 171\npages: 737-8\nyear: 1953\n"
    "doi: 10.1038/171737a0\nlinks: tono\n\n"
    "@ tono\nStyle: Monograph\nauthor: 柳田國男\ntitle: 遠野物語\njp: 岩波書店\nyear: 1910\nmemo: 民俗学の古典\n"
    "registered: 2021-12-24\n\n"
    "@ note\nstyle: etc.\nauthor: T. Berners-Lee et al\ntitle: Information Management: A Proposal\njp: CERN\n"
    "month: 3\nday: 13\nyear: 1989\nurl: https://example.org/x\nlinks: wc tono\n";

JPcodeTable smallTable()
{
    QStringList errors;
    const JPcodeTable t = ParseSampleJPcodes(QString::fromUtf8(kJPcodes), "jpcodes.txt", errors);
    return errors.isEmpty() ? t : JPcodeTable{};
}

QList<SampleRecord> parse(const QString &text, QStringList &errors)
{
    return ParseSampleRecords(text, "records.txt", smallTable(), kToday, errors);
}

} // namespace

class TestSampleBank : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jpcodesTakeTheCodesOfTheirGroup()
    {
        const JPcodeTable t = smallTable();
        QCOMPARE(QList<int>({t.JPendT, t.JPendE}), QList<int>({2, 8}));
        QCOMPARE(t.JPname, QStringList({"", "Nature", "Science", "世界", "", "John Murray", "岩波書店", "CERN", ""}));
        // Without an "ends:" line the groups of a new bank.
        QStringList errors;
        const JPcodeTable n = ParseSampleJPcodes(QStringLiteral("[P]\nWiley\n[T]\nCell\n"), "j", errors);
        QCOMPARE(QList<int>({n.JPendT, n.JPendJ, n.JPendP, n.JPendE, int(errors.size())}),
                 QList<int>({20, 100, 150, 200, 0}));
        QCOMPARE(QStringList({n.JPname[1], n.JPname[101]}), QStringList({"Cell", "Wiley"}));
    }

    // Records stored as the card stores them, links both ways whichever
    // record names them; the bank the writer makes of them read back.
    void recordsAreStoredAsTheCardStoresThem()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("jpcodes.txt"), kJPcodes) && writeFile(dir.filePath("records.txt"), kRecords));
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(dir.path(), kToday, source, errors), qPrintable(errors.join('\n')));
        const QList<SampleRecord> &recs = source.records;
        const double registered = DateToOle(QDate(2020, 2, 3));
        QVERIFY(recs.size() == 3 && recs[0].line == 3);
        // clang-format off
        QCOMPARE(recs[0].record, (Record{1, "", "J.D.Watson, F.H.C.Crick", "Molecular structure of nucleic acids.", 1,
                                         "171", "737", "738", 1953, "", "", "", registered}));
        QCOMPARE(recs[1].record, (Record{3, "民俗学の古典", "柳田國男", "遠野物語.", 6, "", "", "", 1910, "", "", "",
                                         DateToOle(QDate(2021, 12, 24))}));
        QCOMPARE(recs[2].record, (Record{4, "", "T.Berners-Lee et_al", "Information Management: A Proposal.", 7, "3",
                                         "13", "", 1989, "", "", "", registered}));
        // clang-format on
        QVERIFY(recs[0].address == PdfEntry({"", "10.1038/171737a0"}) &&
                recs[2].address == PdfEntry({"https://example.org/x", ""}));
        QCOMPARE(recs[0].links + recs[1].links + recs[2].links, QList<int>({2, 3, 1, 3, 1, 2}));
        // Without any date a record is registered today.
        QCOMPARE(OleToDate(parse("@ a\nstyle: 3\ntitle: T\r\n", errors)[0].record.RegDate), kToday);

        const QString bank = dir.filePath("x.bnk");
        QString error;
        QVERIFY2(WriteSampleBank(source, bank, &error), qPrintable(error));
        QCOMPARE(RecCountSet(bank), 3);
        for (int n = 1; n <= 3; ++n) {
            Record r;
            PdfEntry e;
            QVERIFY(RecRead(bank, n, ReadMode::Stored, r, kToday) && PdfRead(bank, n, ReadMode::Stored, e));
            QVERIFY(r == recs[n - 1].record && e == recs[n - 1].address);
        }
        QCOMPARE(QStringList({LinkRead(bank, 1, 3, 200), LinkRead(bank, 3, 3, 200)}), QStringList({"2,3", "1,2"}));
        JPcodeTable stored;
        QVERIFY(JPcodeLoad(QDir(bank).filePath("JPcode.tzd"), stored) && stored == source.jpcodes);

        // A source that is no UTF-8 text is refused.
        QVERIFY(writeFile(dir.filePath("records.txt"), "@ a\nstyle: 1\ntitle: \xff\xfe\n"));
        errors.clear();
        QVERIFY(!ReadSampleSource(dir.path(), kToday, source, errors));
        QVERIFY2(errors.value(0).endsWith("not UTF-8 text"), qPrintable(errors.value(0)));
    }

    // Each source with one fault, and the start of its report (j: the JP code list).
    void faults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        const QString head = "@ a\nstyle: journal\ntitle: T\n"; // lines 1-3
        const auto row = [](const char *name, const QString &text, const char *fault) {
            QTest::newRow(name) << text << QString::fromUtf8(fault);
        };
        row("unknown group", "[X]\nNature\n", "j:1: \"[X]\" names no group");
        row("name twice", "[T]\nA\n[J]\n\nA\n", "j:5: \"A\" is listed already (line 2)");
        row("not code page 932", "[J]\nZeitschrift fuer Physik\nMathematische Annalen\nGöttinger Nachrichten\n",
            "j:4: the name: \"ö\" cannot be stored");
        row("unknown style", "@ a\nstyle: article\ntitle: T\n", "records.txt:2: style: \"article\"");
        row("publisher for an article", head + "jp: 岩波書店\n",
            "records.txt:4: jp: \"岩波書店\" is in group P (出版社), which a journal article");
        row("link to nothing", head + "links: b\n", "records.txt:4: links: no record is labelled b");
        row("title too wide", "@ a\nstyle: 1\ntitle: " + QString(140, u'論') + "\n",
            "records.txt:3: title takes 281 bytes in code page 932, at most 280");
        row("resolver address as DOI", head + "doi: https://doi.org/10.1038/x\n",
            "records.txt:4: doi: \"https://doi.org/10.1038/x\" is no DOI");
        // Every fault is told, the unknown keys first.
        row("three faults", "@ a\nstyle: 1\ntitle: T\nyear: x\n@ b\nstyle: 1\ntitle: T\nfoo: 1\nyear: 1e3\n",
            "records.txt:8: unknown key \"foo\"|records.txt:4: year: \"x\" is not a year|records.txt:9: year:");
    }
    void faults()
    {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        QStringList errors;
        if (fault.startsWith("j:"))
            ParseSampleJPcodes(text, "j", errors);
        else
            parse(text, errors);
        const QStringList faults = fault.split(u'|');
        QCOMPARE(errors.size(), faults.size());
        for (int i = 0; i < faults.size(); ++i)
            QVERIFY2(errors[i].startsWith(faults[i]), qPrintable(errors[i]));
    }

    // The bank built into the share folder holds its source as it is now, and
    // each record is what the card would have stored: a JP code of the group
    // the style takes, canonical name lists, a year and a date, all storable.
    void sampleBankIsCurrentWithItsSource()
    {
        const QString folder = QStringLiteral(TZ_SHARE_DIR "/sample.bnk");
        RecordImage bank;
        JPcodeTable jp;
        QString error;
        QVERIFY2(bank.load(folder, &error), qPrintable(error));
        QVERIFY(JPcodeLoad(QDir(folder).filePath("JPcode.tzd"), jp, &error));
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), kToday, source, errors),
                 qPrintable(errors.join('\n')));
        QVERIFY(bank.RecCount() == source.records.size() && jp == source.jpcodes);
        for (int n = 1; n <= bank.RecCount(); ++n) {
            const Record r = DecodeRecord(bank.record(n));
            QCOMPARE(r, source.records[n - 1].record);
            const int group = JPcodeGroup(jp, r.JPcode);
            const QList<int> groups = r.Style == 1 ? QList<int>{1, 2} : r.Style <= 3 ? QList<int>{3} : QList<int>{4};
            QVERIFY2(groups.contains(group) && !JPcodeName(jp, r.JPcode).isEmpty() && !r.Title.isEmpty() &&
                         r.Year > 0 && OleToDate(r.RegDate).isValid(),
                     qPrintable(QString::number(n)));
            QCOMPARE(QStringList({NameListNormalize(r.Author), NameListNormalize(r.Editor)}),
                     QStringList({r.Author, r.Editor}));
            bool lossy = false;
            QVERIFY(EncodeRecord(r, &lossy) == bank.record(n).toByteArray() && !lossy);
        }
    }
};

QTEST_GUILESS_MAIN(TestSampleBank)
#include "tst_sample_bank.moc"
