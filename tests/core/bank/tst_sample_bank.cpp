// The sample bank: the readable source, its faults with their lines, the bank
// the writer makes of it, and the bank built into the share folder.

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

const char *const kJPcodes = R"(# a small table
ends: 2-4-6-8
[T] frequent
Nature
Science
[J]
世界
[P]
John Murray
岩波書店
[E]
CERN
)";

JPcodeTable smallTable()
{
    QStringList errors;
    const JPcodeTable t = ParseSampleJPcodes(QString::fromUtf8(kJPcodes), "jpcodes.txt", errors);
    return errors.isEmpty() ? t : JPcodeTable{};
}

// One row of a fault table: the source text and the start of its only fault.
void row(const char *name, const QString &text, const QString &fault)
{
    QTest::newRow(name) << text << fault;
}

// The stored fields of a record and its URL and DOI, joined by "|".
QString fields(const SampleRecord &s)
{
    const Record &r = s.record;
    const QChar bar = u'|';
    return QString::number(r.Style) + bar + r.Memo + bar + r.Author + bar + r.Title + bar + QString::number(r.JPcode) +
           bar + r.Volume + bar + r.Page1 + bar + r.Page2 + bar + QString::number(r.Year) + bar + r.Editor + bar +
           r.Book + bar + r.Keyword + bar + OleToDate(r.RegDate).toString(Qt::ISODate) + bar + s.address.URL + bar +
           s.address.DOI;
}

QList<SampleRecord> parse(const QString &text, QStringList &errors)
{
    return ParseSampleRecords(text, "records.txt", smallTable(), kToday, errors);
}

const QString kSampleBank = QStringLiteral(TZ_SHARE_DIR "/sample.bnk");

} // namespace

class TestSampleBank : public QObject
{
    Q_OBJECT

    RecordImage m_bank;
    QList<Record> m_records;
    JPcodeTable m_jp;

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_bank.load(kSampleBank, &error), qPrintable(error));
        QVERIFY(JPcodeLoad(QDir(kSampleBank).filePath("JPcode.tzd"), m_jp, &error));
        for (int n = 1; n <= m_bank.RecCount(); ++n)
            m_records.append(DecodeRecord(m_bank.record(n)));
    }

    void jpcodesTakeTheCodesOfTheirGroup()
    {
        const JPcodeTable t = smallTable();
        QCOMPARE(QList<int>({t.JPendT, t.JPendE}), QList<int>({2, 8}));
        QCOMPARE(t.JPname, QStringList({"", "Nature", "Science", "世界", "", "John Murray", "岩波書店", "CERN", ""}));
        // Without an "ends:" line the groups of a new bank.
        QStringList errors;
        const JPcodeTable n = ParseSampleJPcodes(QStringLiteral("[P]\nWiley\n[T]\nCell\n"), "j", errors);
        QVERIFY(errors.isEmpty());
        QCOMPARE(QList<int>({n.JPendT, n.JPendJ, n.JPendP, n.JPendE}), QList<int>({20, 100, 150, 200}));
        QCOMPARE(QStringList({n.JPname[1], n.JPname[101]}), QStringList({"Cell", "Wiley"}));
    }

    void recordsAreStoredAsTheCardStoresThem()
    {
        const QString text = QStringLiteral(R"(
registered: 2020-02-03
@ wc
style: journal
author: J. D. Watson and F. H. C. Crick
title: Molecular structure of nucleic acids
jp: Nature
volume: 171
pages: 737-8
year: 1953
doi: 10.1038/171737a0
links: tono

@ tono
Style: Monograph
author: 柳田國男
title: 遠野物語
jp: 岩波書店
year: 1910
memo: 民俗学の古典
registered: 2021-12-24

@ note
style: etc.
author: T. Berners-Lee et al
title: Information Management: A Proposal
jp: CERN
month: 3
day: 13
year: 1989
url: https://example.org/x
links: wc tono
)");
        QStringList errors;
        const QList<SampleRecord> recs = parse(text, errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QCOMPARE(recs.size(), 3);

        QCOMPARE(recs[0].line, 3);
        QCOMPARE(fields(recs[0]), "1||J.D.Watson, F.H.C.Crick|Molecular structure of nucleic acids.|1|171|737|738|1953"
                                  "||||2020-02-03||10.1038/171737a0");
        QCOMPARE(fields(recs[1]), "3|民俗学の古典|柳田國男|遠野物語.|6||||1910||||2021-12-24||");
        QCOMPARE(fields(recs[2]), "4||T.Berners-Lee et_al|Information Management: A Proposal.|7|3|13||1989"
                                  "||||2020-02-03|https://example.org/x|");
        // Links hold both ways, whichever record names them.
        QCOMPARE(recs[0].links, QList<int>({2, 3}));
        QCOMPARE(recs[1].links, QList<int>({1, 3}));
        QCOMPARE(recs[2].links, QList<int>({1, 2}));
        // Without any date a record is registered today.
        QCOMPARE(OleToDate(parse("@ a\nstyle: 3\ntitle: T\r\n", errors)[0].record.RegDate), kToday);
    }

    // Each source with one fault, and the start of its report (j: the JP code list).
    void faults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        const QString head = "@ a\nstyle: journal\ntitle: T\n"; // lines 1-3
        row("unknown group", "[X]\nNature\n", "j:1: \"[X]\" names no group");
        row("name twice", "[T]\nA\n[J]\n\nA\n", "j:5: \"A\" is listed already (line 2)");
        row("not code page 932", "[J]\nZeitschrift fuer Physik\nMathematische Annalen\nGöttinger Nachrichten\n",
            "j:4: the name: \"ö\" cannot be stored");
        row("unknown key", head + "titel: X\n", "records.txt:4: unknown key \"titel\"");
        row("year with a letter", head + "year: 19x3\n", "records.txt:4: year: \"19x3\" is not a year");
        row("unknown style", "@ a\nstyle: article\ntitle: T\n", "records.txt:2: style: \"article\"");
        row("publisher for an article", head + "jp: 岩波書店\n",
            "records.txt:4: jp: \"岩波書店\" is in group P (出版社), which a journal article");
        row("link to nothing", head + "links: b\n", "records.txt:4: links: no record is labelled b");
        row("title too wide", "@ a\nstyle: 1\ntitle: " + QString(140, u'論') + "\n",
            "records.txt:3: title takes 281 bytes in code page 932, at most 280");
        row("resolver address as DOI", head + "doi: https://doi.org/10.1038/x\n",
            "records.txt:4: doi: \"https://doi.org/10.1038/x\" is no DOI");
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
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(fault), qPrintable(errors[0]));
    }

    void everyFaultIsReported()
    {
        QStringList errors;
        parse("@ a\nstyle: 1\ntitle: T\nyear: x\n@ b\nstyle: 1\ntitle: T\nfoo: 1\nyear: 1e3\n", errors);
        QCOMPARE(errors.size(), 3);
        QCOMPARE(QStringList({errors[0].left(14), errors[1].left(14), errors[2].left(14)}),
                 QStringList({"records.txt:8:", "records.txt:4:", "records.txt:9:"}));
    }

    void writerStoresRecordsAddressesLinksAndTable()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("jpcodes.txt"), kJPcodes));
        QVERIFY(
            writeFile(dir.filePath("records.txt"),
                      "@ a\nstyle: 1\ntitle: One\njp: Nature\n"
                      "@ b\nstyle: 3\ntitle: 二\njp: 岩波書店\nurl: https://example.org/b\ndoi: 10.1/b\nlinks: a, c\n"
                      "@ c\nstyle: 4\ntitle: Three\njp: CERN\nmonth: 12\n"));
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(dir.path(), kToday, source, errors), qPrintable(errors.join('\n')));
        const QString bank = dir.filePath("x.bnk");
        QString error;
        QVERIFY2(WriteSampleBank(source, bank, &error), qPrintable(error));

        QCOMPARE(RecCountSet(bank), 3);
        for (int n = 1; n <= 3; ++n) {
            Record r;
            QVERIFY(RecRead(bank, n, ReadMode::Stored, r, kToday));
            QCOMPARE(r, source.records[n - 1].record);
            PdfEntry e;
            QVERIFY(PdfRead(bank, n, ReadMode::Stored, e));
            QCOMPARE(e, source.records[n - 1].address);
        }
        QCOMPARE(QStringList({LinkRead(bank, 1, 3, 200), LinkRead(bank, 2, 3, 200)}), QStringList({"2", "1,3"}));
        JPcodeTable stored;
        QVERIFY(JPcodeLoad(QDir(bank).filePath("JPcode.tzd"), stored));
        QCOMPARE(stored, source.jpcodes);

        // An existing folder is never written over.
        QVERIFY(!WriteSampleBank(source, bank, &error));
        QVERIFY(error.contains("already exists"));
        QCOMPARE(RecCountSet(bank), 3);
    }

    void sourceThatIsNoUtf8IsRefused()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("jpcodes.txt"), "[T]\nNature\n"));
        QVERIFY(writeFile(dir.filePath("records.txt"), "@ a\nstyle: 1\ntitle: \xff\xfe\n"));
        SampleSource source;
        QStringList errors;
        QVERIFY(!ReadSampleSource(dir.path(), kToday, source, errors));
        QVERIFY2(errors.value(0).endsWith("not UTF-8 text"), qPrintable(errors.value(0)));
    }

    // The bank holds its source as it is now, and each record is what the
    // card would have stored: a JP code of the group the style takes,
    // canonical name lists, a year and a date, all storable.
    void sampleBankIsCurrentWithItsSource()
    {
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), kToday, source, errors),
                 qPrintable(errors.join('\n')));
        QCOMPARE(m_bank.RecCount(), source.records.size());
        QCOMPARE(m_jp, source.jpcodes);
        for (int n = 1; n <= m_records.size(); ++n) {
            const Record &r = m_records[n - 1];
            QCOMPARE(r, source.records[n - 1].record);
            const int group = JPcodeGroup(m_jp, r.JPcode);
            const QList<int> groups = r.Style == 1 ? QList<int>{1, 2} : r.Style <= 3 ? QList<int>{3} : QList<int>{4};
            QVERIFY2(groups.contains(group) && !JPcodeName(m_jp, r.JPcode).isEmpty() && !r.Title.isEmpty() &&
                         r.Year > 0 && OleToDate(r.RegDate).isValid(),
                     qPrintable(QString::number(n)));
            QCOMPARE(QStringList({NameListNormalize(r.Author), NameListNormalize(r.Editor)}),
                     QStringList({r.Author, r.Editor}));
            bool lossy = false;
            QCOMPARE(EncodeRecord(r, &lossy), m_bank.record(n).toByteArray());
            QVERIFY(!lossy);
        }
    }
};

QTEST_GUILESS_MAIN(TestSampleBank)
#include "tst_sample_bank.moc"
