// The search engine on small hand-made banks: the key text cut into words and
// numbers, every hit procedure with its options, the limit and cancelling,
// and the record file a search reads.
#include "search/hit_banks.h"
#include "test_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

class TestSearchEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // ---- Step 1: the key text --------------------------------------------------

    // Words (joined by "|" here) and numbers; one word is always an OR search.
    void keyText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, int kind, const QString &keys, const QString &expected) {
            QTest::newRow(name) << kind << keys << expected;
        };
        const int words = KindFreeKeyword, cased = -1; // cased: capitals count
        row("blanks and commas", words, "alpha,beta  gamma, delta", "alpha|beta|gamma|delta");
        row("separators around", words, " ,alpha beta, ", "alpha|beta");
        row("one word", words, " alpha , ", "alpha");
        row("only separators", words, ", ,, ", "");
        row("capitals ignored", words, "Alpha BETA ＡＢＣ", "alpha|beta|ａｂｃ");
        row("capitals kept", cased, "Alpha BETA", "Alpha|BETA");
        row("full-width blank inside", words, "山田\u3000太郎 x", "山田\u3000太郎|x");
        row("tab and hyphen inside", words, "a\tb-c", "a\tb-c");
        row("the limit, 200", words, QString("w ").repeated(300), QString("w|").repeated(200).chopped(1));

        // 120 records, JP codes up to 200, the year 2025. Numbers that round
        // to 0 name no record, year or code; a range is walked only over the
        // valid numbers.
        const int year = KindYear, record = KindRecord, code = KindJPcode;
        row("years and a range", year, "1990-1993,2001", "1990-1993,2001");
        row("abbreviated range end", year, "1998-05", "1998-2005");
        row("future year dropped", year, "2024 2026", "2024");
        row("year twice", year, "1995 1995", "1995,1995");
        row("year near 0", year, "0.3 1995", "1995");
        row("years far too large", year, "1900-99999999,1e300-1e301", "1900-2025");
        row("range end beyond the records", record, "100-130", "100-120");
        row("range of one, from 0, end below its start", record, "7-7 0-5 50-009", "7,5");
        row("no number, leading number of a piece", record, "3,abc,4 12abc", "3,4,12");
        row("fraction rounded", record, "12.6", "13");
        row("record 0 dropped", record, "0,121 0.4,3", "3");
        row("records far too large", record, "1-99999999", "1-120");
        row("current record kind", KindCurrent, "4,2", "4,2");
        row("linked record kind", KindLinked, "120,121", "120");
        row("JP code beyond the last group", code, "1,200,201 200.3", "1,200");
        row("JP codes across groups", code, "19-22", "19-22");
        row("JP code near 0", code, "0.5,7", "7");
        row("JP code far too large", code, "1e12,4294967297", "");
        row("the limit, 200", year, "7 1-500", "7,1-199");
    }
    void keyText()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        const JPcodeTable jp = DefaultJPcodeTable();
        SearchEngine engine;
        engine.SearchItem = qMax(kind, 0);
        engine.CheckMode[CheckIgnoreCase] = kind >= 0;
        engine.AndMode = 1;
        QElapsedTimer timer;
        timer.start();
        if (engine.SearchItem == KindFreeKeyword) {
            engine.Step1GetWord(keys);
            QCOMPARE(engine.KeyWords.mid(1, engine.KeyCount).join(u'|'), expected);
            QCOMPARE(engine.AndMode, engine.KeyCount == 1 ? 0 : 1);
            return;
        }
        engine.Step1GetNum(keys, NumberContext{120, &jp, 2025});
        QCOMPARE(engine.KeyNums.mid(1, engine.KeyCount), list(expected));
        QVERIFY(timer.elapsed() < 1000);
        engine.Step1GetNum(keys, NumberContext{120, nullptr, 2025}); // no JP code table: no valid code
        QCOMPARE(engine.KeyCount, kind == KindJPcode ? 0 : list(expected).size());
    }

    // ---- Step 2: the hits --------------------------------------------------------

    void hits_data()
    {
        QTest::addColumn<Bank>("bank");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const Bank &bank, int kind, const char *keys, const char *options,
                            const char *expected) {
            QTest::newRow(name) << bank << kind << keys << options << expected;
        };

        // One record per field, each holding its own marker word.
        const Bank markers{{.Memo = "memoword"},   {.Author = "A.Authorword"}, {.Title = "Titleword"},
                           {.Editor = "E.Editor"}, {.Book = "Bookword"},       {.Keyword = "keyword1"}};
        const char *all = "memoword authorword titleword editor bookword keyword1";
        const int free = KindFreeKeyword, titles = KindTitleKeyword;
        row("free: every field", markers, free, all, "", "1-6");
        row("memo: the memo", markers, KindMemo, all, "", "1");
        row("names: author and editor", markers, KindAuthorEditor, all, "", "2,4");
        row("titles: title, book, keyword", markers, titles, all, "", "3,5,6");
        row("inside a word", markers, free, "tlewo", "", "3");
        row("capitals count", markers, free, "titleword Bookword", "case", "5");
        row("capitals ignored", markers, free, "TITLEWORD", "", "3");

        Bank abc{rec("X", "Alpha beta gamma"), rec("X", "Beta alpha"), {.Title = "alpha only", .Keyword = "beta"}};
        row("OR repeats", abc, titles, "alpha beta", "repeats", "1,1,2,2,3,3");
        row("OR unique", abc, titles, "alpha beta", "", "1,2,3");
        row("AND", abc, titles, "gamma beta", "and repeats", "1");
        row("AND, one word missing", abc, titles, "alpha gamma", "and", "1");
        row("AND over fields", abc, titles, "only beta", "and", "3");
        row("one word is always OR", abc, titles, "beta", "and repeats", "1,2,3");
        row("top word", abc, titles, "alpha", "top", "1,3");
        row("top word not in the middle", abc, titles, "beta", "top", "2");
        row("top word counts each word, AND or not", abc, titles, "alp alpha", "top and repeats", "1,1,3,3");
        row("top word unique", abc, titles, "alp alpha", "top and", "1,3");

        const Bank common(500, rec("A.Nobody", "Common word"));
        row("500 matches: the 200 lowest", common, free, "common", "", "1-200");
        row("the limit ends the words of a record", common, free, "common word", "max=3 repeats", "1,1,2");
        Bank match(12, rec("A.Nobody", "Nothing."));
        match[7].Title = match[11].Title = "Match";
        row("additional appends", match, titles, "match", "add repeats list=3,8,9", "3,8,9,8");
        row("additional unique appends nothing", match, titles, "match", "add list=3,8,9", "3,8,9");
        row("additional, empty list: a new search", match, titles, "match", "add", "8,12");
        row("additional, full list", match, titles, "match", "add repeats max=3 list=8,8,12", "8,8,12");

        // Records 3 and 7 are from 1995 with JP code 5; the others from 2000, code 6.
        Bank years(8, rec("A.B", "T", 2000, 6));
        years[2] = years[6] = rec("A.B", "T", 1995, 5);
        const int year = KindYear, code = KindJPcode, number = KindRecord;
        row("year", years, year, "1995", "", "3,7");
        row("JP code", years, code, "5", "", "3,7");
        row("unused code", years, code, "9", "", "");
        row("year twice, unique alone", years, year, "1995,1995", "", "3,3,7,7");
        row("two years, the earlier list left", years, year, "2000 1995", "list=9", "1-8");
        row("year, additional unique", years, year, "1995", "add list=3,5", "3,5");
        row("year, additional", years, year, "1995", "add repeats list=3,5", "3,5,3");
        row("year, additional, year twice", years, year, "1995 1995", "add repeats list=7", "7,7,7");
        row("year, additional, empty list", years, year, "1995", "add", "3,7");
        row("same record twice, unique alone", match, number, "5,5", "", "5,5");
        row("record numbers in key order", match, number, "9,3,5", "list=1", "9,3,5");
        row("record numbers, additional", match, number, "4,6", "add repeats list=2,4", "2,4,4");
        row("record numbers, additional unique", match, number, "4,6", "add list=2,4", "2,4");
        row("record numbers, additional, empty list", match, number, "4,6", "add", "4,6");

        // Records 1-4 are blank, 5-8 not (a memo does not count); no earlier list is kept.
        const Bank blanks{{.Memo = "m"}, rec(".", ""),  rec("", "."), rec("  .", "  "),
                          rec("-", ""),  rec(".", "."), rec("", "T"), rec("\u3000", "")};
        row("blank", blanks, KindBlank, "", "add list=7", "1-4");

        // Records 4, 9 and 15 of 16 are one reference booked three times; 17
        // and 18 are its twins with a leading blank in the volume and in the
        // page, 19 with other later words of author and title.
        Bank booked;
        for (int n = 1; n <= 16; ++n)
            booked << rec("K.Other" + QString::number(n), "Title", 2000, n, QString::number(n), QString::number(n));
        booked[3] = booked[8] = booked[14] = rec("J.Smith", "Gene maps", 1990, 12, "30", "100");
        const int dbl = KindDouble, sim = KindSimilar;
        row("booked three times", booked, dbl, "", "add list=1", "4,9,9,15");
        row("the limit inside a pair", booked, dbl, "", "max=3", "4,9,9");
        booked << booked[3] << booked[3] << rec("J.Smithson, A.B", "Gene maps of rats", 1990, 12, "30", "100");
        booked[16].Volume = " 30";
        booked[17].Page1 = " 100";
        row("similar: not the card record", booked, sim, "", "card=4", "9,15,19");
        row("similar: from a later twin", booked, sim, "", "card=15", "4,9,19");
        row("similar: a volume with a leading blank", booked, sim, "", "card=17", "");
        row("similar: a page with a leading blank", booked, sim, "", "card=18", "");
        row("similar: no twin", booked, sim, "", "card=1", "");
        row("similar: later words do not count", booked, sim, "", "card=19", "4,9,15");
        row("duplicates by the trimmed key", booked, dbl, "", "", "4,9,9,15,15,17,17,18,18,19");

        const Record a = rec("J.Smith, K.Lee", "Gene expression", 1990, 12, "30", "100");
        const auto pair = [&a](const std::function<void(Record &)> &change) {
            Record b = a;
            change(b);
            return Bank{a, b};
        };
        const auto empty = Record(), volume = rec("", "", 0, 0, "3");
        row("the first four characters", pair([](Record &b) { b = rec("J.Smithers", "Genes", 2001, 12, "30", "100"); }),
            dbl, "", "", "1,2");
        row("a leading blank of the volume", pair([](Record &b) { b.Volume = " 30"; }), dbl, "", "", "1,2");
        row("a leading blank of the author counts", pair([](Record &b) { b.Author.prepend(u' '); }), dbl, "", "", "");
        row("the sign of the code", pair([](Record &b) { b.JPcode = -12; }), dbl, "", "", "");
        row("dup: capitals count", pair([](Record &b) { b.Title = "gene"; }), dbl, "", "", "");
        row("empty records never", {empty, a, empty}, dbl, "", "", "");
        row("a volume alone is a key", {volume, volume}, dbl, "", "", "1,2");
        row("pairs in order", {volume, a, a, volume}, dbl, "", "", "1,4,2,3");
    }
    void hits()
    {
        QFETCH(Bank, bank);
        QFETCH(int, kind);
        QFETCH(QString, keys);
        QFETCH(QString, options);
        QFETCH(QString, expected);
        SearchEngine engine;
        const int card = configure(engine, kind, options);
        QVERIFY(engine.RunSteps(imageOf(bank), keys, DefaultJPcodeTable(), card));
        QCOMPARE(engine.hits(), list(expected));
    }

    // Every kind stops when the list is full; a cancel leaves the count of the
    // list as it was (the entries stored before it stay) and the progress
    // window open for the search window to close.
    void limitAndCancel_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("beforeCancel");
        const auto row = [](const char *name, int kind, const char *keys, const char *full, const char *before) {
            QTest::newRow(name) << kind << keys << full << before;
        };
        row("words", KindFreeKeyword, ". 9", "1-4", "1");
        row("year", KindYear, "1995", "1-4", "1");
        row("record numbers", KindRecord, "1-10", "1-4", "1");
        row("blank", KindBlank, "", "1-4", "1");
        row("duplicates", KindDouble, "", "1,2,2,3", "1,2");
        row("similar", KindSimilar, "", "2-5", "");
    }
    void limitAndCancel()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        QFETCH(QString, full);
        QFETCH(QString, beforeCancel);
        const RecordImage image = imageOf(Bank(10, rec(".", "", 1995)));
        SearchEngine engine;
        QList<std::array<int, 3>> calls;
        engine.progress = [&](int mode, int pos, int max) {
            calls.append({mode, pos, max});
            engine.CancelFlag = mode == 2 && pos == 2 && full.isEmpty();
        };
        configure(engine, kind, "max=4 list=7,7");
        QVERIFY(engine.RunSteps(image, keys, DefaultJPcodeTable(), 1));
        QCOMPARE(engine.hits(), list(full));
        // The progress opens for the candidates: the record numbers keyed, or the records.
        QCOMPARE(calls.first(), (std::array<int, 3>{1, 1, kind == KindRecord ? 4 : 10}));
        QCOMPARE(calls.last()[0], 0);

        full.clear(); // cancelled at the second candidate
        calls.clear();
        configure(engine, kind, "max=4 list=9");
        QVERIFY(engine.RunSteps(image, keys, DefaultJPcodeTable(), 1));
        QCOMPARE(engine.HitCount, 1);
        QCOMPARE(engine.HitList.mid(1, list(beforeCancel).size()), list(beforeCancel));
        QCOMPARE(calls.last(), (std::array<int, 3>{2, 2, 0}));
    }

    // The sort "none" runs the record search again: the list comes back in
    // key order, and an appending search does not append twice.
    void rebuildInKeyOrder()
    {
        SearchEngine engine;
        configure(engine, KindRecord, "add repeats list=2,4");
        QVERIFY(engine.RunSteps(imageOf(Bank(10)), "6,4,2", {}));
        QCOMPARE(engine.hits(), list("2,4,4,2"));
        configure(engine, KindRecord, "add repeats list=4,4,2,2"); // as a sort leaves it
        engine.RebuildRecordHits();
        QCOMPARE(engine.hits(), list("2,4,4,2"));
        engine.RebuildRecordHits();
        QCOMPARE(engine.hits(), list("2,4,4,2"));
    }

    void keys()
    {
        Record r = rec("J.Smith", "Gene maps", 1990, 12, " 30 ", "100");
        QCOMPARE(DupKey(EncodeRecord(r)), "12,30:100,J.SmGene");
        // Volume and first page whole, with their blanks.
        QCOMPARE(SimilarKey(EncodeRecord(r)), " 12, 30" + QString(17, u' ') + ":100" + QString(7, u' ') + ",J.SmGene");
        r = rec("Li", {}, 0, -3);
        QCOMPARE(DupKey(EncodeRecord(r)), "-3,:,Li" + QString(6, u' '));
        QCOMPARE(SimilarKey(EncodeRecord(r)).left(3), "-3,");
        QCOMPARE(DupKey(EncodeRecord(rec({}, {}))), "0,:," + QString(8, u' '));
        QCOMPARE(DupKey(QByteArray()), "0,:," + QString(8, u' ')); // beyond the file: blank
    }

    // The record file found whatever the case of its name; a last record cut
    // short still counts; a copy keeps the bytes; an empty folder gets a new
    // record file, a missing one an error.
    void loadedImages()
    {
        QTemporaryDir dir, empty;
        QByteArray file = EncodeRecord(rec("A.B", "One")) + EncodeRecord(rec("C.D", "Two"));
        file += file.left(700);
        QVERIFY(writeFile(dir.filePath(QStringLiteral("RECORD.TZD")), file));
        RecordImage image;
        QVERIFY(image.load(dir.path()));
        QCOMPARE(image.RecCount(), 3);
        QCOMPARE(image.record(3), QByteArrayView(file).sliced(2 * kRecordSize));
        QVERIFY(image.record(4).isEmpty());
        const RecordImage copy = image;
        image = RecordImage();
        QCOMPARE(copy.record(2), QByteArrayView(file).sliced(kRecordSize, kRecordSize));
        QVERIFY(image.load(empty.path()));
        QCOMPARE(image.RecCount(), 0);
        QVERIFY(QFile::exists(empty.filePath(QStringLiteral("record.tzd"))));
        QString error;
        QVERIFY(!image.load(empty.filePath(QStringLiteral("no/such/bank")), &error) && !error.isEmpty());
        QCOMPARE(image.RecCount(), 0);
    }
};

QTEST_APPLESS_MAIN(TestSearchEngine)
#include "tst_search_engine.moc"
