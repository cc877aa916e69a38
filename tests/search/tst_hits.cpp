// The hit procedures on small hand-made banks: words, numbers, record
// numbers, blank, duplicated and similar records; the options, the limit and
// cancelling.
#include "search/hit_banks.h"
#include "search/search_engine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

// One record per field, each holding its own marker word.
QList<Record> markerBank()
{
    QList<Record> records(6, makeRecord({}, {}));
    records[0].Memo = QStringLiteral("memoword");
    records[1].Author = QStringLiteral("A.Authorword");
    records[2].Editor = QStringLiteral("E.Editorword");
    records[3].Title = QStringLiteral("Titleword");
    records[4].Book = QStringLiteral("Bookword");
    records[5].Keyword = QStringLiteral("keyword1");
    return records;
}

QList<qint16> wordSearch(SearchEngine &engine, const RecordImage &image, int kind, const QString &keys)
{
    engine.SearchItem = kind;
    engine.Step1GetWord(keys);
    engine.Step2HitWord(image);
    return engine.hits();
}

struct ProgressLog
{
    QList<std::array<int, 3>> calls;
    int cancelAt = 0; // sets CancelFlag at this step (0: never)
};

void watch(SearchEngine &engine, ProgressLog &log)
{
    engine.progress = [&engine, &log](int mode, int pos, int max) {
        log.calls.append({mode, pos, max});
        if (mode == 2 && pos == log.cancelAt)
            engine.CancelFlag = 1;
    };
}

// Records 4, 9 and 15 of 16 are one reference booked three times.
QList<Record> tripleBooked()
{
    QList<Record> records;
    for (int n = 1; n <= 16; ++n)
        records.append(makeRecord(QStringLiteral("K.Other%1").arg(n), QStringLiteral("Title %1").arg(n), 2000, n,
                                  QString::number(n), QString::number(n)));
    for (int n : {4, 9, 15})
        records[n - 1] = makeRecord(QStringLiteral("J.Smith"), QStringLiteral("Gene maps"), 1990, 12,
                                    QStringLiteral("30"), QStringLiteral("100"));
    return records;
}

} // namespace

class TestHits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ---- The records a search reads ------------------------------------------

    void loadedImages()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray file = EncodeRecord(makeRecord(QStringLiteral("A.B"), QStringLiteral("One"))) +
                          EncodeRecord(makeRecord(QStringLiteral("C.D"), QStringLiteral("Two")));
        file += file.left(700); // a last record cut short still counts
        QFile f(dir.filePath(QStringLiteral("RECORD.TZD")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        f.close();

        RecordImage image;
        QVERIFY(image.load(dir.path()));
        QCOMPARE(image.RecCount(), 3);
        QCOMPARE(image.bytes(), QByteArrayView(file));
        QCOMPARE(image.record(3).size(), 700);
        QVERIFY(image.record(4).isEmpty());
        const RecordImage copy = image;
        image = RecordImage();
        QCOMPARE(copy.record(2), QByteArrayView(file).sliced(kRecordSize, kRecordSize));

        QTemporaryDir empty;
        QVERIFY(image.load(empty.path()));
        QCOMPARE(image.RecCount(), 0);
        QVERIFY(QFile::exists(empty.filePath(QStringLiteral("record.tzd"))));

        QString error;
        QVERIFY(!image.load(empty.filePath(QStringLiteral("no/such/bank")), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(image.RecCount(), 0);
    }

    // ---- Words -------------------------------------------------------------

    void wordKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QList<qint16>>("expected");

        const int free = KindFreeKeyword, memo = KindMemo, names = KindAuthorEditor, titles = KindTitleKeyword;
        QTest::newRow("free: memo") << free << "memoword" << numbers({1});
        QTest::newRow("free: author") << free << "authorword" << numbers({2});
        QTest::newRow("free: editor") << free << "editorword" << numbers({3});
        QTest::newRow("free: title") << free << "titleword" << numbers({4});
        QTest::newRow("free: book") << free << "bookword" << numbers({5});
        QTest::newRow("free: keyword") << free << "keyword1" << numbers({6});
        QTest::newRow("free: inside a word") << free << "tlewo" << numbers({4});
        QTest::newRow("memo: memo") << memo << "memoword" << numbers({1});
        QTest::newRow("memo: not the title") << memo << "titleword" << numbers({});
        QTest::newRow("names: author") << names << "authorword" << numbers({2});
        QTest::newRow("names: editor") << names << "editorword" << numbers({3});
        QTest::newRow("names: not the title") << names << "titleword" << numbers({});
        QTest::newRow("titles: title") << titles << "titleword" << numbers({4});
        QTest::newRow("titles: book") << titles << "bookword" << numbers({5});
        QTest::newRow("titles: keyword") << titles << "keyword1" << numbers({6});
        QTest::newRow("titles: not the memo") << titles << "memoword" << numbers({});
        QTest::newRow("titles: not the author") << titles << "authorword" << numbers({});
        QTest::newRow("words in several fields") << free << "memoword bookword" << numbers({1, 5});
    }
    void wordKinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        QFETCH(QList<qint16>, expected);
        SearchEngine engine;
        QCOMPARE(wordSearch(engine, imageOf(markerBank()), kind, keys), expected);
    }

    void capitals()
    {
        const RecordImage image = imageOf(markerBank());
        SearchEngine engine;
        engine.CheckMode[CheckIgnoreCase] = 0;
        QCOMPARE(wordSearch(engine, image, KindFreeKeyword, QStringLiteral("titleword")), numbers({}));
        QCOMPARE(wordSearch(engine, image, KindFreeKeyword, QStringLiteral("Titleword")), numbers({4}));
        engine.CheckMode[CheckIgnoreCase] = 1;
        QCOMPARE(wordSearch(engine, image, KindFreeKeyword, QStringLiteral("TITLEWORD")), numbers({4}));
    }

    void combinations_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("andMode");
        QTest::addColumn<bool>("unique");
        QTest::addColumn<bool>("topWord");
        QTest::addColumn<QList<qint16>>("expected");

        // 1 "Alpha beta gamma", 2 "Beta alpha", 3 "alpha only" with keyword "beta".
        QTest::newRow("OR repeats") << "alpha beta" << 0 << false << false << numbers({1, 1, 2, 2, 3, 3});
        QTest::newRow("OR unique") << "alpha beta" << 0 << true << false << numbers({1, 2, 3});
        QTest::newRow("AND") << "gamma beta" << 1 << false << false << numbers({1});
        QTest::newRow("AND, one word missing") << "alpha gamma" << 1 << false << false << numbers({1});
        QTest::newRow("AND over fields") << "only beta" << 1 << false << false << numbers({3});
        QTest::newRow("one word is always OR") << "beta" << 1 << false << false << numbers({1, 2, 3});
        QTest::newRow("top word") << "alpha" << 0 << false << true << numbers({1, 3});
        QTest::newRow("top word not in the middle") << "beta" << 0 << false << true << numbers({2});
        QTest::newRow("top word counts each word, AND or not")
            << "alp alpha" << 1 << false << true << numbers({1, 1, 3, 3});
        QTest::newRow("top word unique") << "alp alpha" << 1 << true << true << numbers({1, 3});
    }
    void combinations()
    {
        QFETCH(QString, keys);
        QFETCH(int, andMode);
        QFETCH(bool, unique);
        QFETCH(bool, topWord);
        QFETCH(QList<qint16>, expected);
        QList<Record> records{makeRecord(QStringLiteral("X.Ray"), QStringLiteral("Alpha beta gamma")),
                              makeRecord(QStringLiteral("X.Ray"), QStringLiteral("Beta alpha")),
                              makeRecord(QStringLiteral("X.Ray"), QStringLiteral("alpha only"))};
        records[2].Keyword = QStringLiteral("beta");
        SearchEngine engine;
        engine.AndMode = andMode;
        engine.CheckMode[CheckUnique] = unique ? 1 : 0;
        engine.CheckMode[CheckTopWord] = topWord ? 1 : 0;
        QCOMPARE(wordSearch(engine, imageOf(records), KindTitleKeyword, keys), expected);
    }

    void limitKeepsTheLowestRecords()
    {
        SearchEngine engine;
        const QList<Record> records = bankWithTitleAt(500, range(1, 500), QStringLiteral("Common word"));
        QCOMPARE(wordSearch(engine, imageOf(records), KindFreeKeyword, QStringLiteral("common")), range(1, 200));
        QCOMPARE(engine.HitCount, 200);

        // The limit also ends the words of one record.
        SearchEngine small(3);
        small.CheckMode[CheckUnique] = 0;
        QCOMPARE(wordSearch(small, imageOf(records), KindFreeKeyword, QStringLiteral("common word")),
                 numbers({1, 1, 2}));
    }

    void additional_data()
    {
        QTest::addColumn<bool>("unique");
        QTest::addColumn<QList<qint16>>("start");
        QTest::addColumn<QList<qint16>>("expected");
        QTest::newRow("appends the matching list records") << false << numbers({3, 8, 9}) << numbers({3, 8, 9, 8});
        QTest::newRow("unique appends nothing") << true << numbers({3, 8, 9}) << numbers({3, 8, 9});
        QTest::newRow("empty list: a new search") << true << numbers({}) << numbers({8, 12});
    }
    void additional()
    {
        QFETCH(bool, unique);
        QFETCH(QList<qint16>, start);
        QFETCH(QList<qint16>, expected);
        SearchEngine engine;
        engine.CheckMode[CheckAdditional] = 1;
        engine.CheckMode[CheckUnique] = unique ? 1 : 0;
        setHits(engine, start);
        const RecordImage image = imageOf(bankWithTitleAt(12, {8, 12}, QStringLiteral("Match")));
        QCOMPARE(wordSearch(engine, image, KindTitleKeyword, QStringLiteral("match")), expected);
    }

    void additionalOnAFullList()
    {
        SearchEngine engine(3);
        engine.CheckMode[CheckAdditional] = 1;
        engine.CheckMode[CheckUnique] = 0;
        setHits(engine, numbers({8, 8, 12}));
        const RecordImage image = imageOf(bankWithTitleAt(12, {8, 12}, QStringLiteral("Match")));
        QCOMPARE(wordSearch(engine, image, KindTitleKeyword, QStringLiteral("match")), numbers({8, 8, 12}));
    }

    void progressAndCancel()
    {
        const RecordImage image = imageOf(bankWithTitleAt(10, range(1, 10), QStringLiteral("Match")));
        SearchEngine engine;
        ProgressLog log;
        watch(engine, log);
        wordSearch(engine, image, KindFreeKeyword, QStringLiteral("match"));
        QCOMPARE(log.calls.size(), 12);
        QCOMPARE(log.calls.first(), (std::array<int, 3>{1, 1, 10}));
        QCOMPARE(log.calls[10], (std::array<int, 3>{2, 10, 0}));
        QCOMPARE(log.calls.last()[0], 0);

        // Cancelled before candidate 5: four new entries are stored, the count
        // stays, the progress window is left open for the search window.
        setHits(engine, numbers({50, 60}));
        log = {};
        log.cancelAt = 5;
        engine.Step2HitWord(image);
        QCOMPARE(engine.HitCount, 2);
        QCOMPARE(engine.HitList.mid(1, 4), numbers({1, 2, 3, 4}));
        QCOMPARE(log.calls.last(), (std::array<int, 3>{2, 5, 0}));
    }

    // ---- Numbers -----------------------------------------------------------

    void yearsAndCodes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("additional");
        QTest::addColumn<bool>("unique");
        QTest::addColumn<QList<qint16>>("start");
        QTest::addColumn<QList<qint16>>("expected");

        // Records 3 and 7 are from 1995 with JP code 5; the others from 2000, code 6.
        const int year = KindYear, code = KindJPcode;
        QTest::newRow("year") << year << "1995" << false << true << numbers({}) << numbers({3, 7});
        QTest::newRow("JP code") << code << "5" << false << true << numbers({}) << numbers({3, 7});
        QTest::newRow("unused code") << code << "9" << false << true << numbers({}) << numbers({});
        QTest::newRow("year twice, unique alone")
            << year << "1995,1995" << false << true << numbers({}) << numbers({3, 3, 7, 7});
        QTest::newRow("two years") << year << "2000 1995" << false << true << numbers({9})
                                   << numbers({1, 2, 3, 4, 5, 6, 7, 8});
        QTest::newRow("additional, unique") << year << "1995" << true << true << numbers({3, 5}) << numbers({3, 5});
        QTest::newRow("additional") << year << "1995" << true << false << numbers({3, 5}) << numbers({3, 5, 3});
        QTest::newRow("additional, year twice")
            << year << "1995 1995" << true << false << numbers({7}) << numbers({7, 7, 7});
        QTest::newRow("additional, empty list") << year << "1995" << true << true << numbers({}) << numbers({3, 7});
    }
    void yearsAndCodes()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        QFETCH(bool, additional);
        QFETCH(bool, unique);
        QFETCH(QList<qint16>, start);
        QFETCH(QList<qint16>, expected);
        QList<Record> records;
        for (int n = 1; n <= 8; ++n)
            records.append(makeRecord(QStringLiteral("A.B"), QStringLiteral("T"), n == 3 || n == 7 ? 1995 : 2000,
                                      n == 3 || n == 7 ? 5 : 6));
        const JPcodeTable jp = DefaultJPcodeTable();
        SearchEngine engine;
        engine.SearchItem = kind;
        engine.CheckMode[CheckAdditional] = additional ? 1 : 0;
        engine.CheckMode[CheckUnique] = unique ? 1 : 0;
        setHits(engine, start);
        engine.Step1GetNum(keys, NumberContext{8, &jp, 2025});
        engine.Step2HitNum(imageOf(records));
        QCOMPARE(engine.hits(), expected);
    }

    // ---- Record numbers ----------------------------------------------------

    void recordNumbers_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("additional");
        QTest::addColumn<bool>("unique");
        QTest::addColumn<QList<qint16>>("start");
        QTest::addColumn<QList<qint16>>("expected");
        QTest::newRow("same record twice, unique alone") << "5,5" << false << true << numbers({}) << numbers({5, 5});
        QTest::newRow("key text order") << "9,3,5" << false << true << numbers({1}) << numbers({9, 3, 5});
        QTest::newRow("additional") << "4,6" << true << false << numbers({2, 4}) << numbers({2, 4, 4});
        QTest::newRow("additional, unique") << "4,6" << true << true << numbers({2, 4}) << numbers({2, 4});
        QTest::newRow("additional, empty list") << "4,6" << true << true << numbers({}) << numbers({4, 6});
    }
    void recordNumbers()
    {
        QFETCH(QString, keys);
        QFETCH(bool, additional);
        QFETCH(bool, unique);
        QFETCH(QList<qint16>, start);
        QFETCH(QList<qint16>, expected);
        SearchEngine engine;
        engine.SearchItem = KindRecord;
        engine.CheckMode[CheckAdditional] = additional ? 1 : 0;
        engine.CheckMode[CheckUnique] = unique ? 1 : 0;
        setHits(engine, start);
        engine.Step1GetNum(keys, NumberContext{10, nullptr, 2025});
        engine.Step2HitReco();
        QCOMPARE(engine.hits(), expected);
    }

    // Rendering with the sort "none" runs the record search again: the list
    // comes back in key order, and an appending search does not append twice.
    void rebuildInKeyOrder()
    {
        SearchEngine engine;
        engine.SearchItem = KindRecord;
        engine.CheckMode[CheckAdditional] = 1;
        engine.CheckMode[CheckUnique] = 0;
        setHits(engine, numbers({2, 4}));
        engine.Step1GetNum(QStringLiteral("6,4,2"), NumberContext{10, nullptr, 2025});
        engine.Step2HitReco();
        QCOMPARE(engine.hits(), numbers({2, 4, 4, 2}));
        setHits(engine, numbers({4, 4, 2, 2})); // as a sort leaves it
        engine.RebuildRecordHits();
        QCOMPARE(engine.hits(), numbers({2, 4, 4, 2}));
        engine.RebuildRecordHits();
        QCOMPARE(engine.hits(), numbers({2, 4, 4, 2}));
    }

    // ---- Blank records -----------------------------------------------------

    void blank_data()
    {
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << ""
                               << "" << true;
        QTest::newRow("dot author") << "."
                                    << "" << true;
        QTest::newRow("dot title") << ""
                                   << "." << true;
        QTest::newRow("dot between blanks") << "  ."
                                            << "  " << true;
        QTest::newRow("hyphen author") << "-"
                                       << "" << false;
        QTest::newRow("two dots") << "."
                                  << "." << false;
        QTest::newRow("a title") << ""
                                 << "T" << false;
        QTest::newRow("full-width blank") << QString::fromUtf8("\u3000") << "" << false;
    }
    void blank()
    {
        QFETCH(QString, author);
        QFETCH(QString, title);
        QFETCH(bool, blank);
        QList<Record> records{makeRecord(QStringLiteral("A.B"), QStringLiteral("T")), makeRecord(author, title)};
        records[1].Memo = QStringLiteral("memo text"); // other fields do not count
        SearchEngine engine;
        setHits(engine, numbers({1})); // the options never keep an old list
        engine.CheckMode[CheckAdditional] = 1;
        engine.Step2HitBlank(imageOf(records));
        QCOMPARE(engine.hits(), blank ? numbers({2}) : numbers({}));
    }

    // ---- Duplicates and similar records -------------------------------------

    void keys()
    {
        Record r = makeRecord(QStringLiteral("J.Smith"), QStringLiteral("Gene maps"), 1990, 12, QStringLiteral(" 30 "),
                              QStringLiteral("100"));
        const QByteArray bytes = EncodeRecord(r);
        QCOMPARE(DupKey(bytes), QStringLiteral("12,30:100,J.SmGene"));
        // Volume and first page whole, with their blanks.
        QCOMPARE(SimilarKey(bytes), QStringLiteral(" 12,") + QStringLiteral(" 30").leftJustified(20) + u':' +
                                        QStringLiteral("100").leftJustified(10) + QStringLiteral(",J.SmGene"));
        r = makeRecord(QStringLiteral("Li"), {}, 0, -3);
        QCOMPARE(DupKey(EncodeRecord(r)), QStringLiteral("-3,:,Li") + QString(6, u' '));
        QCOMPARE(SimilarKey(EncodeRecord(r)).left(3), QStringLiteral("-3,"));
        QCOMPARE(DupKey(EncodeRecord(makeRecord({}, {}))), QStringLiteral("0,:,") + QString(8, u' '));
        QCOMPARE(DupKey(QByteArray()), QStringLiteral("0,:,") + QString(8, u' ')); // beyond the file: blank
    }

    void duplicates_data()
    {
        QTest::addColumn<QList<Record>>("records");
        QTest::addColumn<int>("maxHits");
        QTest::addColumn<QList<qint16>>("expected");

        QTest::newRow("booked three times") << tripleBooked() << 200 << numbers({4, 9, 9, 15});
        QTest::newRow("limit inside a pair") << tripleBooked() << 3 << numbers({4, 9, 9});

        const Record a = makeRecord(QStringLiteral("J.Smith, K.Lee"), QStringLiteral("Gene expression"), 1990, 12,
                                    QStringLiteral("30"), QStringLiteral("100"));
        Record b = a;
        b.Author = QStringLiteral("J.Smithers");
        b.Title = QStringLiteral("Genes of mice");
        b.Year = 2001;
        QTest::newRow("first four characters") << QList<Record>{a, b} << 200 << numbers({1, 2});
        b.Volume = QStringLiteral(" 30");
        QTest::newRow("leading blank of the volume") << QList<Record>{a, b} << 200 << numbers({1, 2});
        b = a;
        b.Author = u' ' + a.Author;
        QTest::newRow("leading blank of the author counts") << QList<Record>{a, b} << 200 << numbers({});
        b = a;
        b.JPcode = -12;
        QTest::newRow("sign of the code") << QList<Record>{a, b} << 200 << numbers({});
        b = a;
        b.Title = QStringLiteral("gene");
        QTest::newRow("capitals count") << QList<Record>{a, b} << 200 << numbers({});

        const Record empty = makeRecord({}, {});
        QTest::newRow("empty records never") << QList<Record>{empty, a, empty} << 200 << numbers({});
        const Record volumeOnly = makeRecord({}, {}, 0, 0, QStringLiteral("3"));
        QTest::newRow("volume alone is a key") << QList<Record>{volumeOnly, volumeOnly} << 200 << numbers({1, 2});
        QTest::newRow("pairs in order") << QList<Record>{volumeOnly, a, a, volumeOnly} << 200 << numbers({1, 4, 2, 3});
    }
    void duplicates()
    {
        QFETCH(QList<Record>, records);
        QFETCH(int, maxHits);
        QFETCH(QList<qint16>, expected);
        SearchEngine engine(maxHits);
        setHits(engine, numbers({1}));
        engine.CheckMode[CheckAdditional] = 1;
        engine.Step2HitDouble(imageOf(records));
        QCOMPARE(engine.hits(), expected);
    }

    void similar_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<qint16>>("expected");
        QTest::newRow("the card record is not listed") << 4 << numbers({9, 15, 19});
        QTest::newRow("from a later twin") << 15 << numbers({4, 9, 19});
        QTest::newRow("volume with a leading blank") << 17 << numbers({});
        QTest::newRow("page with a leading blank") << 18 << numbers({});
        QTest::newRow("no twin") << 1 << numbers({});
        QTest::newRow("later words of author and title do not count") << 19 << numbers({4, 9, 15});
    }
    void similar()
    {
        QFETCH(int, current);
        QFETCH(QList<qint16>, expected);
        QList<Record> records = tripleBooked();
        records.append(records[3]);
        records.last().Volume = QStringLiteral(" 30");
        records.append(records[3]);
        records.last().Page1 = QStringLiteral(" 100");
        records.append(records[3]);
        records.last().Author = QStringLiteral("J.Smithson, A.B");
        records.last().Title = QStringLiteral("Gene maps of rats");
        SearchEngine engine;
        engine.Step2HitSimilar(imageOf(records), current);
        QCOMPARE(engine.hits(), expected);

        // Duplicates by the trimmed key, the leading blanks aside.
        engine.Step2HitDouble(imageOf(records));
        QCOMPARE(engine.hits(), numbers({4, 9, 9, 15, 15, 17, 17, 18, 18, 19}));
    }

    // Every kind stops when the list is full, and a cancel leaves the count of
    // the list as it was (the entries stored before it stay).
    void limitAndCancel_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<qint16>>("full");
        QTest::addColumn<int>("candidates");
        QTest::addColumn<QList<qint16>>("beforeCancel");
        QTest::newRow("words") << int(KindFreeKeyword) << numbers({1, 2, 3, 4}) << 10 << numbers({1});
        QTest::newRow("year") << int(KindYear) << numbers({1, 2, 3, 4}) << 10 << numbers({1});
        QTest::newRow("record numbers") << int(KindRecord) << numbers({1, 2, 3, 4}) << 4 << numbers({1});
        QTest::newRow("blank") << int(KindBlank) << numbers({1, 2, 3, 4}) << 10 << numbers({1});
        QTest::newRow("duplicates") << int(KindDouble) << numbers({1, 2, 2, 3}) << 10 << numbers({1, 2});
        QTest::newRow("similar") << int(KindSimilar) << numbers({2, 3, 4, 5}) << 10 << numbers({});
    }
    void limitAndCancel()
    {
        QFETCH(int, kind);
        QFETCH(QList<qint16>, full);
        QFETCH(int, candidates);
        QFETCH(QList<qint16>, beforeCancel);
        const RecordImage image = imageOf(QList<Record>(10, makeRecord(QStringLiteral("."), {}, 1995)));
        SearchEngine engine(4);
        engine.SearchItem = kind;
        auto run = [&] {
            if (kind == KindFreeKeyword) {
                engine.Step2HitWord(image);
            } else if (kind == KindYear) {
                engine.Step2HitNum(image);
            } else if (kind == KindRecord) {
                engine.Step2HitReco();
            } else if (kind == KindBlank) {
                engine.Step2HitBlank(image);
            } else if (kind == KindDouble) {
                engine.Step2HitDouble(image);
            } else {
                engine.Step2HitSimilar(image, 1);
            }
        };
        if (kind == KindFreeKeyword)
            engine.Step1GetWord(QStringLiteral(". 9"));
        else
            engine.Step1GetNum(kind == KindYear ? QStringLiteral("1995") : QStringLiteral("1-10"),
                               NumberContext{10, nullptr, 2025});
        setHits(engine, numbers({7, 7})); // a list of an earlier search
        run();
        QCOMPARE(engine.hits(), full);

        ProgressLog log;
        log.cancelAt = 2;
        watch(engine, log);
        setHits(engine, numbers({9}));
        run();
        QCOMPARE(engine.HitCount, 1);
        QCOMPARE(engine.HitList.mid(1, beforeCancel.size()), beforeCancel);
        QCOMPARE(log.calls.first(), (std::array<int, 3>{1, 1, candidates}));
        QCOMPARE(log.calls.last(), (std::array<int, 3>{2, 2, 0}));
    }
};

QTEST_APPLESS_MAIN(TestHits)
#include "tst_hits.moc"
