// The sample bank: the readable source, its faults with their lines, the bank
// the writer makes of it, and the bank built into the share folder.

#include "app/sample_bank.h"

#include "common/ole_date.h"
#include "common/text.h"
#include "format/name_list.h"
#include "search/search_engine.h"
#include "store/link_table.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QSet>
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

const QString kShareDir = QStringLiteral(TZ_SHARE_DIR);
const QString kSampleBank = kShareDir + QStringLiteral("/sample.bnk");

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

    // ---- The JP code list --------------------------------------------------

    void jpcodesTakeTheCodesOfTheirGroup()
    {
        const JPcodeTable t = smallTable();
        QCOMPARE(t.JPendT, 2);
        QCOMPARE(t.JPendE, 8);
        QCOMPARE(t.JPname, QStringList({"", "Nature", "Science", "世界", "", "John Murray", "岩波書店", "CERN", ""}));
    }

    void jpcodesWithoutEndsKeepTheNewBankGroups()
    {
        QStringList errors;
        const JPcodeTable t = ParseSampleJPcodes(QStringLiteral("[P]\nWiley\n[T]\nCell\n"), "j", errors);
        QVERIFY(errors.isEmpty());
        QCOMPARE(QList<int>({t.JPendT, t.JPendJ, t.JPendP, t.JPendE}), QList<int>({20, 100, 150, 200}));
        QCOMPARE(t.JPname[1], "Cell");
        QCOMPARE(t.JPname[101], "Wiley");
    }

    void jpcodeFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        row("name before a group", "# x\nNature\n", "j:2: a name before the first group");
        row("unknown group", "[X]\nNature\n", "j:1: \"[X]\" names no group");
        row("group listed twice", "[T]\nA\n[T]\nB\n", "j:3: group T is listed twice");
        row("group full", "ends: 1-2-3-4\n[T]\nA\nB\n", "j:4: group T holds at most 1 names");
        row("name twice", "[T]\nA\n[J]\n\nA\n", "j:5: \"A\" is listed already (line 2)");
        row("name too long", "[E]\n" + QString(71, u'x'), "j:2: the name holds 71 characters");
        row("not code page 932", "[J]\nZeitschrift fuer Physik\nMathematische Annalen\nGöttinger Nachrichten\n",
            "j:4: the name: \"ö\" cannot be stored");
        row("ends not ascending", "ends: 20-10-150-200\n", "j:1: ends: \"20-10-150-200\"");
        row("ends with three numbers", "ends: 20-100-150\n", "j:1: ends:");
        row("ends after a group", "[T]\nA\nends: 1-2-3-4\n", "j:3: the group ends must come before");
    }

    void jpcodeFaults()
    {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        QStringList errors;
        ParseSampleJPcodes(text, "j", errors);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(fault), qPrintable(errors[0]));
    }

    // ---- The record list ---------------------------------------------------

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
    }

    void withoutADateRecordsAreRegisteredToday()
    {
        QStringList errors;
        const QList<SampleRecord> recs = parse("@ a\nstyle: 3\ntitle: T\r\n", errors);
        QVERIFY(errors.isEmpty());
        QCOMPARE(OleToDate(recs[0].record.RegDate), kToday);
        QCOMPARE(recs[0].record.JPcode, 0);
    }

    void recordFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        const QString head = "@ a\nstyle: journal\ntitle: T\n"; // lines 1-3
        row("unknown key", head + "titel: X\n", "records.txt:4: unknown key \"titel\"");
        row("no colon", head + "Nature 171\n", "records.txt:4: \"Nature 171\" is neither");
        row("key twice", head + "\ntitle: U\n", "records.txt:5: title is given twice (line 3)");
        row("year with a letter", head + "year: 19x3\n", "records.txt:4: year: \"19x3\" is not a year");
        row("year zero", head + "year: 0\n", "records.txt:4: year: \"0\"");
        row("month 13", "@ a\nstyle: etc.\ntitle: T\nmonth: 13\n", "records.txt:4: month: \"13\"");
        row("day without month", "@ a\nstyle: 4\ntitle: T\nday: 3\n", "records.txt:4: a day needs a month");
        row("unknown style", "@ a\nstyle: article\ntitle: T\n", "records.txt:2: style: \"article\"");
        row("no style", "# x\n@ a\ntitle: T\n", "records.txt:2: record a has no style");
        row("no title", "@ a\nstyle: 1\n", "records.txt:1: record a has no title");
        row("unknown journal", head + "jp: Natur\n", "records.txt:4: jp: \"Natur\" is not in the JP code list");
        row("publisher for an article", head + "jp: 岩波書店\n",
            "records.txt:4: jp: \"岩波書店\" is in group P (出版社), which a journal article");
        row("journal for a monograph", "@ a\nstyle: monograph\ntitle: T\njp: 世界\n",
            "records.txt:4: jp: \"世界\" is in group J");
        row("volume of a monograph", "@ a\nstyle: monograph\ntitle: T\nvolume: 2\n",
            "records.txt:4: volume is not used by a monograph");
        row("editor of an article", head + "editor: A. B\n", "records.txt:4: editor is not used");
        row("pages and page1", head + "pages: 1-2\npage1: 1\n", "records.txt:4: pages and page1/page2");
        row("pages without a first page", head + "pages: -5\n", "records.txt:4: pages: \"-5\" lacks");
        row("label twice", head + "@ a\nstyle: 1\ntitle: U\n", "records.txt:4: the label a is taken");
        row("bad label", "@ a b\nstyle: 1\ntitle: T\n", "records.txt:1: \"a b\" is no record label");
        row("link to nothing", head + "links: b\n", "records.txt:4: links: no record is labelled b");
        row("link to itself", head + "links: a\n", "records.txt:4: links: record a cannot link");
        row("title too wide", "@ a\nstyle: 1\ntitle: " + QString(140, u'論') + "\n",
            "records.txt:3: title takes 281 bytes in code page 932, at most 280");
        row("umlaut", head + "author: K. Gödel\n", "records.txt:4: author: \"ö\" cannot be stored");
        row("resolver address as DOI", head + "doi: https://doi.org/10.1038/x\n",
            "records.txt:4: doi: \"https://doi.org/10.1038/x\" is no DOI");
        row("key before the first record", "title: T\n@ a\nstyle: 1\ntitle: T\n",
            "records.txt:1: \"title\" before the first record");
        row("bad default date", "registered: 2020-13-01\n@ a\nstyle: 1\ntitle: T\n",
            "records.txt:1: registered: \"2020-13-01\" is not a date");
        row("no record", "# nothing\n\n", "records.txt:2: the file holds no record");
    }

    void recordFaults()
    {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        QStringList errors;
        parse(text, errors);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].startsWith(fault), qPrintable(errors[0]));
    }

    void everyFaultIsReported()
    {
        QStringList errors;
        parse("@ a\nstyle: 1\ntitle: T\nyear: x\n@ b\nstyle: 1\ntitle: T\nfoo: 1\nyear: 1e3\n", errors);
        QCOMPARE(errors.size(), 3);
        QVERIFY(errors[0].startsWith("records.txt:8:"));
        QVERIFY(errors[1].startsWith("records.txt:4:"));
        QVERIFY(errors[2].startsWith("records.txt:9:"));
    }

    // ---- The writer ----------------------------------------------------------

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
            QVERIFY(RecRead(bank, n, 1, r, kToday));
            QCOMPARE(r, source.records[n - 1].record);
            PdfEntry e;
            QVERIFY(PdfRead(bank, n, 1, e));
            QCOMPARE(e, source.records[n - 1].address);
        }
        QCOMPARE(PdfReadAll(bank).size(), 3);
        QCOMPARE(LinkRead(bank, 1, 3, 200), "2");
        QCOMPARE(LinkRead(bank, 2, 3, 200), "1,3");
        QCOMPARE(LinkReadAll(bank, 3).size(), 2);
        JPcodeTable stored;
        QVERIFY(JPcodeLoad(QDir(bank).filePath("JPcode.tzd"), stored));
        QCOMPARE(stored, source.jpcodes);

        // An existing folder is never written over.
        QVERIFY(!WriteSampleBank(source, bank, &error));
        QVERIFY(error.contains("already exists"));
        QCOMPARE(RecCountSet(bank), 3);
    }

    void sourceWithFaultsIsRefused()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("jpcodes.txt"), "[T]\nNature\n"));
        SampleSource source;
        QStringList errors;
        QVERIFY(!ReadSampleSource(dir.path(), kToday, source, errors));
        QVERIFY2(errors.size() == 1 && errors[0].contains("records.txt"), qPrintable(errors.join('\n')));

        QVERIFY(writeFile(dir.filePath("records.txt"), "@ a\nstyle: 1\ntitle: \xff\xfe\n"));
        errors.clear();
        QVERIFY(!ReadSampleSource(dir.path(), kToday, source, errors));
        QVERIFY2(errors.value(0).endsWith("not UTF-8 text"), qPrintable(errors.value(0)));
    }

    // ---- The sample bank of the share folder ---------------------------------

    void sampleBankIsCurrentWithItsSource()
    {
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_DATA_DIR "/sample"), kToday, source, errors),
                 qPrintable(errors.join('\n')));
        QCOMPARE(m_bank.RecCount(), source.records.size());
        QCOMPARE(m_jp, source.jpcodes);
        for (int n = 1; n <= m_bank.RecCount(); ++n)
            QCOMPARE(m_records[n - 1], source.records[n - 1].record);
    }

    void sampleBankShape()
    {
        QVERIFY(m_records.size() >= 60);
        QCOMPARE(QList<int>({m_jp.JPendT, m_jp.JPendJ, m_jp.JPendP, m_jp.JPendE}), QList<int>({20, 100, 150, 200}));
        QSet<int> styles;
        int japanese = 0;
        for (const Record &r : m_records) {
            styles.insert(r.Style);
            japanese += HasDoubleByte(r.Author) && HasDoubleByte(r.Title);
        }
        QCOMPARE(styles, QSet<int>({1, 2, 3, 4}));
        QVERIFY(japanese >= 10);
    }

    // What the card would have stored: a JP code of the group the style
    // takes, canonical name lists, a year and a date; and nothing that
    // changes when the record is read and written again.
    void everyRecordIsStoredAsTheCardWould()
    {
        for (int n = 1; n <= m_records.size(); ++n) {
            const Record &r = m_records[n - 1];
            const QString where = QStringLiteral("record %1").arg(n);
            const int group = JPcodeGroup(m_jp, r.JPcode);
            const QList<int> groups = r.Style == 1 ? QList<int>{1, 2} : r.Style <= 3 ? QList<int>{3} : QList<int>{4};
            QVERIFY2(groups.contains(group) && !JPcodeName(m_jp, r.JPcode).isEmpty(), qPrintable(where));
            QCOMPARE(NameListNormalize(r.Author), r.Author);
            QCOMPARE(NameListNormalize(r.Editor), r.Editor);
            QVERIFY2(!r.Title.isEmpty() && r.Year > 0 && OleToDate(r.RegDate).isValid(), qPrintable(where));
            bool lossy = false;
            QCOMPARE(EncodeRecord(r, &lossy), m_bank.record(n).toByteArray());
            QVERIFY(!lossy);
        }
    }

    void linksHoldBothWays()
    {
        QString error;
        const QList<LinkPair> pairs = LinkReadAll(kSampleBank, m_bank.RecCount(), &error);
        QVERIFY(error.isEmpty() && pairs.size() >= 5);
        for (const LinkPair &p : pairs) {
            QVERIFY(LinkRead(kSampleBank, p.RecA, m_bank.RecCount(), 200).split(',').contains(QString::number(p.RecB)));
            QVERIFY(LinkRead(kSampleBank, p.RecB, m_bank.RecCount(), 200).split(',').contains(QString::number(p.RecA)));
            QCOMPARE(pairs.count(p), 1);
        }
        // No free entries: every pair was written once.
        QCOMPARE(QFileInfo(QDir(kSampleBank).filePath("Link.tzd")).size(), qint64(pairs.size()) * kLinkEntrySize);
    }

    void addressesAreThere()
    {
        const QList<PdfEntry> all = PdfReadAll(kSampleBank);
        QCOMPARE(all.size(), m_bank.RecCount());
        int dois = 0;
        for (const PdfEntry &e : all) {
            if (!e.DOI.isEmpty()) {
                ++dois;
                QVERIFY2(e.DOI.startsWith("10.") && e.DOI.contains('/') && !e.DOI.contains(' '), qPrintable(e.DOI));
            }
        }
        QVERIFY(dois >= 10);
        QVERIFY(all.contains(PdfEntry{"https://www.nature.com/articles/171737a0", "10.1038/171737a0"}));
    }

    void duplicateSearchFindsTheRecordsEnteredTwice()
    {
        // Same JP code, volume and first page, and the first four characters
        // of author and title.
        auto key = [](const Record &r) {
            return QStringList{QString::number(r.JPcode), r.Volume.trimmed(), r.Page1.trimmed(), r.Author.left(4),
                               r.Title.left(4)};
        };
        QList<std::pair<int, int>> pairs;
        for (int i = 1; i <= m_records.size(); ++i)
            for (int j = i + 1; j <= m_records.size(); ++j)
                if (key(m_records[i - 1]) == key(m_records[j - 1])) {
                    pairs.append({i, j});
                    break;
                }
        QVERIFY(!pairs.isEmpty());

        SearchEngine engine;
        engine.Step2HitDouble(m_bank);
        QList<qint16> expected;
        for (const auto &[i, j] : pairs)
            expected << qint16(i) << qint16(j);
        QCOMPARE(engine.hits(), expected);
    }
};

QTEST_GUILESS_MAIN(TestSampleBank)
#include "tst_sample_bank.moc"
