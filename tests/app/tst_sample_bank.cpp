// The sample bank: the readable source, its faults with their lines, the bank
// the writer makes of it, and the bank built into the share folder.

#include "app/sample_bank.h"

#include "common/ole_date.h"
#include "common/text.h"
#include "format/name_list.h"
#include "search/search_engine.h"
#include "store/link_table.h"

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
    JPcodeTable m_jp;

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        m_bank.bytes = ReadRecordFile(kSampleBank, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_bank.RecCount = RecCountSet(kSampleBank, &error);
        QVERIFY(JPcodeLoad(QDir(kSampleBank).filePath("JPcode.tzd"), m_jp, &error));
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
        QTest::newRow("name before a group") << "# x\nNature\n"
                                             << "j:2: a name before the first group";
        QTest::newRow("unknown group") << "[X]\nNature\n"
                                       << "j:1: \"[X]\" names no group";
        QTest::newRow("group listed twice") << "[T]\nA\n[T]\nB\n"
                                            << "j:3: group T is listed twice";
        QTest::newRow("group full") << "ends: 1-2-3-4\n[T]\nA\nB\n"
                                    << "j:4: group T holds at most 1 names";
        QTest::newRow("name twice") << "[T]\nA\n[J]\n\nA\n"
                                    << "j:5: \"A\" is listed already (line 2)";
        QTest::newRow("name too long") << "[E]\n" + QString(71, u'x') << "j:2: the name holds 71 characters";
        QTest::newRow("not code page 932")
            << "[J]\nZeitschrift fuer Physik\nMathematische Annalen\nGöttinger Nachrichten\n"
            << "j:4: the name: \"ö\" cannot be stored";
        QTest::newRow("ends not ascending") << "ends: 20-10-150-200\n"
                                            << "j:1: ends: \"20-10-150-200\"";
        QTest::newRow("ends with three numbers") << "ends: 20-100-150\n"
                                                 << "j:1: ends:";
        QTest::newRow("ends after a group") << "[T]\nA\nends: 1-2-3-4\n"
                                            << "j:3: the group ends must come before";
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

        const Record &wc = recs[0].record;
        QCOMPARE(recs[0].line, 3);
        QCOMPARE(wc.Style, 1);
        QCOMPARE(wc.Author, "J.D.Watson, F.H.C.Crick");
        QCOMPARE(wc.Title, "Molecular structure of nucleic acids.");
        QCOMPARE(wc.JPcode, 1);
        QCOMPARE(wc.Volume, "171");
        QCOMPARE(wc.Page1, "737");
        QCOMPARE(wc.Page2, "738");
        QCOMPARE(wc.Year, 1953);
        QCOMPARE(OleToDate(wc.RegDate), QDate(2020, 2, 3));
        QCOMPARE(recs[0].address.DOI, "10.1038/171737a0");

        const Record &tono = recs[1].record;
        QCOMPARE(tono.Style, 3);
        QCOMPARE(tono.Author, "柳田國男");
        QCOMPARE(tono.Title, "遠野物語.");
        QCOMPARE(tono.JPcode, 6);
        QCOMPARE(tono.Memo, "民俗学の古典");
        QCOMPARE(OleToDate(tono.RegDate), QDate(2021, 12, 24));

        const Record &note = recs[2].record;
        QCOMPARE(note.Style, 4);
        QCOMPARE(note.Author, "T.Berners-Lee et_al");
        QCOMPARE(note.JPcode, 7);
        QCOMPARE(note.Volume, "3");
        QCOMPARE(note.Page1, "13");
        QCOMPARE(note.Page2, "");
        QCOMPARE(recs[2].address.URL, "https://example.org/x");

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
        QTest::newRow("unknown key") << head + "titel: X\n"
                                     << "records.txt:4: unknown key \"titel\"";
        QTest::newRow("no colon") << head + "Nature 171\n"
                                  << "records.txt:4: \"Nature 171\" is neither";
        QTest::newRow("key twice") << head + "\ntitle: U\n"
                                   << "records.txt:5: title is given twice (line 3)";
        QTest::newRow("year with a letter") << head + "year: 19x3\n"
                                            << "records.txt:4: year: \"19x3\" is not a year";
        QTest::newRow("year zero") << head + "year: 0\n"
                                   << "records.txt:4: year: \"0\"";
        QTest::newRow("month 13") << "@ a\nstyle: etc.\ntitle: T\nmonth: 13\n"
                                  << "records.txt:4: month: \"13\"";
        QTest::newRow("day without month") << "@ a\nstyle: 4\ntitle: T\nday: 3\n"
                                           << "records.txt:4: a day needs a month";
        QTest::newRow("unknown style") << "@ a\nstyle: article\ntitle: T\n"
                                       << "records.txt:2: style: \"article\"";
        QTest::newRow("no style") << "# x\n@ a\ntitle: T\n"
                                  << "records.txt:2: record a has no style";
        QTest::newRow("no title") << "@ a\nstyle: 1\n"
                                  << "records.txt:1: record a has no title";
        QTest::newRow("unknown journal") << head + "jp: Natur\n"
                                         << "records.txt:4: jp: \"Natur\" is not in the JP code list";
        QTest::newRow("publisher for an article")
            << head + "jp: 岩波書店\n"
            << "records.txt:4: jp: \"岩波書店\" is in group P (出版社), which a journal article";
        QTest::newRow("journal for a monograph") << "@ a\nstyle: monograph\ntitle: T\njp: 世界\n"
                                                 << "records.txt:4: jp: \"世界\" is in group J";
        QTest::newRow("volume of a monograph") << "@ a\nstyle: monograph\ntitle: T\nvolume: 2\n"
                                               << "records.txt:4: volume is not used by a monograph";
        QTest::newRow("editor of an article") << head + "editor: A. B\n"
                                              << "records.txt:4: editor is not used";
        QTest::newRow("pages and page1") << head + "pages: 1-2\npage1: 1\n"
                                         << "records.txt:4: pages and page1/page2";
        QTest::newRow("pages without a first page") << head + "pages: -5\n"
                                                    << "records.txt:4: pages: \"-5\" lacks";
        QTest::newRow("label twice") << head + "@ a\nstyle: 1\ntitle: U\n"
                                     << "records.txt:4: the label a is taken";
        QTest::newRow("bad label") << "@ a b\nstyle: 1\ntitle: T\n"
                                   << "records.txt:1: \"a b\" is no record label";
        QTest::newRow("link to nothing") << head + "links: b\n"
                                         << "records.txt:4: links: no record is labelled b";
        QTest::newRow("link to itself") << head + "links: a\n"
                                        << "records.txt:4: links: record a cannot link";
        QTest::newRow("title too wide") << "@ a\nstyle: 1\ntitle: " + QString(140, u'論') + "\n"
                                        << "records.txt:3: title takes 281 bytes in code page 932, at most 280";
        QTest::newRow("umlaut") << head + "author: K. Gödel\n"
                                << "records.txt:4: author: \"ö\" cannot be stored";
        QTest::newRow("resolver address as DOI") << head + "doi: https://doi.org/10.1038/x\n"
                                                 << "records.txt:4: doi: \"https://doi.org/10.1038/x\" is no DOI";
        QTest::newRow("key before the first record") << "title: T\n@ a\nstyle: 1\ntitle: T\n"
                                                     << "records.txt:1: \"title\" before the first record";
        QTest::newRow("bad default date") << "registered: 2020-13-01\n@ a\nstyle: 1\ntitle: T\n"
                                          << "records.txt:1: registered: \"2020-13-01\" is not a date";
        QTest::newRow("no record") << "# nothing\n\n"
                                   << "records.txt:2: the file holds no record";
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
        QFile jp(dir.filePath("jpcodes.txt"));
        QVERIFY(jp.open(QIODevice::WriteOnly));
        jp.write(kJPcodes);
        jp.close();
        QFile rec(dir.filePath("records.txt"));
        QVERIFY(rec.open(QIODevice::WriteOnly));
        rec.write("@ a\nstyle: 1\ntitle: One\njp: Nature\n"
                  "@ b\nstyle: 3\ntitle: 二\njp: 岩波書店\nurl: https://example.org/b\ndoi: 10.1/b\nlinks: a, c\n"
                  "@ c\nstyle: 4\ntitle: Three\njp: CERN\nmonth: 12\n");
        rec.close();

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
        QFile jp(dir.filePath("jpcodes.txt"));
        QVERIFY(jp.open(QIODevice::WriteOnly));
        jp.write("[T]\nNature\n");
        jp.close();
        SampleSource source;
        QStringList errors;
        QVERIFY(!ReadSampleSource(dir.path(), kToday, source, errors));
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains("records.txt"));

        QFile rec(dir.filePath("records.txt"));
        QVERIFY(rec.open(QIODevice::WriteOnly));
        rec.write("@ a\nstyle: 1\ntitle: \xff\xfe\n");
        rec.close();
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
        QCOMPARE(m_bank.RecCount, source.records.size());
        QCOMPARE(m_jp, source.jpcodes);
        for (int n = 1; n <= m_bank.RecCount; ++n) {
            Record r = DecodeRecord(m_bank.record(n));
            QCOMPARE(r, source.records[n - 1].record);
        }
    }

    void sampleBankShape()
    {
        QVERIFY(m_bank.RecCount >= 60);
        QCOMPARE(QList<int>({m_jp.JPendT, m_jp.JPendJ, m_jp.JPendP, m_jp.JPendE}), QList<int>({20, 100, 150, 200}));
        QSet<int> styles;
        int japanese = 0;
        for (int n = 1; n <= m_bank.RecCount; ++n) {
            const Record r = DecodeRecord(m_bank.record(n));
            styles.insert(r.Style);
            japanese += HasDoubleByte(r.Author) && HasDoubleByte(r.Title) ? 1 : 0;
            QVERIFY2(!r.Author.isEmpty() && !r.Title.isEmpty() && r.Year > 0, qPrintable(QString::number(n)));
            QVERIFY(OleToDate(r.RegDate).isValid());
        }
        QCOMPARE(styles, QSet<int>({1, 2, 3, 4}));
        QVERIFY(japanese >= 10);
    }

    void everyJPcodeIsOfTheGroupItsStyleTakes()
    {
        for (int n = 1; n <= m_bank.RecCount; ++n) {
            const Record r = DecodeRecord(m_bank.record(n));
            const int group = JPcodeGroup(m_jp, r.JPcode);
            const QList<int> allowed = r.Style == 1 ? QList<int>{1, 2} : r.Style <= 3 ? QList<int>{3} : QList<int>{4};
            QVERIFY2(allowed.contains(group),
                     qPrintable(QStringLiteral("record %1 style %2 code %3").arg(n).arg(r.Style).arg(r.JPcode)));
            QVERIFY(!JPcodeName(m_jp, r.JPcode).isEmpty());
        }
    }

    void nameListsAreCanonical()
    {
        for (int n = 1; n <= m_bank.RecCount; ++n) {
            const Record r = DecodeRecord(m_bank.record(n));
            QCOMPARE(NameListNormalize(r.Author), r.Author);
            QCOMPARE(NameListNormalize(r.Editor), r.Editor);
            QVERIFY2(!r.Author.contains(" and ") && !r.Author.contains(". "), qPrintable(r.Author));
        }
    }

    void linksHoldBothWays()
    {
        QString error;
        const QList<LinkPair> pairs = LinkReadAll(kSampleBank, m_bank.RecCount, &error);
        QVERIFY(error.isEmpty());
        QVERIFY(pairs.size() >= 5);
        QSet<quint32> seen;
        for (const LinkPair &p : pairs) {
            const quint32 k = quint32(p.RecA) << 16 | quint32(p.RecB);
            QVERIFY(!seen.contains(k));
            seen.insert(k);
            const QStringList a = LinkRead(kSampleBank, p.RecA, m_bank.RecCount, 200).split(',');
            const QStringList b = LinkRead(kSampleBank, p.RecB, m_bank.RecCount, 200).split(',');
            QVERIFY(a.contains(QString::number(p.RecB)));
            QVERIFY(b.contains(QString::number(p.RecA)));
        }
        // The table holds exactly the used entries.
        QCOMPARE(QFileInfo(QDir(kSampleBank).filePath("Link.tzd")).size(), qint64(pairs.size()) * kLinkEntrySize);
    }

    void addressesAreThere()
    {
        const QList<PdfEntry> all = PdfReadAll(kSampleBank);
        QCOMPARE(all.size(), m_bank.RecCount);
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
        for (int i = 1; i <= m_bank.RecCount; ++i) {
            const Record a = DecodeRecord(m_bank.record(i));
            for (int j = i + 1; j <= m_bank.RecCount; ++j)
                if (key(a) == key(DecodeRecord(m_bank.record(j)))) {
                    pairs.append({i, j});
                    QVERIFY(a.JPcode != 0);
                    break;
                }
        }
        QVERIFY(!pairs.isEmpty());

        SearchEngine engine;
        engine.Step2HitDouble(m_bank);
        QList<qint16> expected;
        for (const auto &[i, j] : pairs)
            expected << qint16(i) << qint16(j);
        QCOMPARE(engine.hits(), expected);
    }

    void everyRecordSurvivesARoundTrip()
    {
        for (int n = 1; n <= m_bank.RecCount; ++n) {
            const QByteArrayView stored = m_bank.record(n);
            bool lossy = false;
            QCOMPARE(EncodeRecord(DecodeRecord(stored), &lossy), stored.toByteArray());
            QVERIFY(!lossy);
        }
    }
};

QTEST_GUILESS_MAIN(TestSampleBank)
#include "tst_sample_bank.moc"
