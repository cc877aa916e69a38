// The search engine on small hand-made banks, and on a generated bank of 5,000
// records against plain record-by-record searches written here from the
// rules; the search window's model over a bank on disk (the window itself is
// tested under gui/).
#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/search/result_file.h"
#include "core/search/search_engine.h"
#include "core/search/search_model.h"
#include "core/search/word_bytes.h"
#include "core/store/record.h"
#include "support/search_fixture.h"
#include "support/test_rows.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using namespace tz;

// Records written with designated initializers name only the fields a test needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Hits = QList<qint16>;
using Bank = QList<Record>;

Hits list(const QString &text)
{
    Hits out;
    for (const QString &piece : text.split(u',', Qt::SkipEmptyParts))
        for (int n = piece.section(u'-', 0, 0).toInt(); n <= piece.section(u'-', -1).toInt(); ++n)
            out.append(static_cast<qint16>(n));
    return out;
}

Record rec(QString author, QString title, int year = 0, int code = 0, QString vol = {}, QString page = {})
{
    return {
        .Author = author, .Title = title, .JPcode = qint16(code), .Volume = vol, .Page1 = page, .Year = qint16(year)};
}

RecordImage imageOf(const Bank &records)
{
    QByteArray bytes;
    for (const Record &r : records)
        bytes += EncodeRecord(r);
    return RecordImage(bytes, static_cast<int>(records.size()));
}

// The options: "repeats" (uniQue off), "case" (capitals count), "and", "top",
// "add" (Additional), "list=3,8,9" (the list of an earlier search), "max=N";
// returns N of "card=N", the record on the card.
int configure(SearchEngine &engine, int kind, const QString &options)
{
    const QStringList words = options.split(u' ');
    const auto value = [&](const QString &name) {
        const QStringList found = words.filter(QRegularExpression(u'^' + name + u'='));
        return found.isEmpty() ? QString() : found.first().section(u'=', 1);
    };
    engine.setMaxHits(value(QStringLiteral("max")).isEmpty() ? 200 : value(QStringLiteral("max")).toInt());
    engine.SearchItem = kind;
    engine.AndMode = words.contains(u"and");
    engine.CheckMode[CheckUnique] = !words.contains(u"repeats");
    engine.CheckMode[CheckIgnoreCase] = !words.contains(u"case");
    engine.CheckMode[CheckTopWord] = words.contains(u"top");
    engine.CheckMode[CheckAdditional] = words.contains(u"add");
    const Hits earlier = list(value(QStringLiteral("list")));
    for (int i = 0; i < earlier.size(); ++i)
        engine.HitList[i + 1] = earlier[i];
    engine.HitCount = static_cast<int>(earlier.size());
    return value(QStringLiteral("card")).toInt();
}

constexpr int kRecords = 5000;

// Mixed English and Japanese text, odd names, blank records, and references
// booked again with small changes.
Bank generate()
{
    std::mt19937 rng{20250601};
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const auto some = [&](const QStringList &from, int most, const char *separator) {
        QStringList out;
        for (int i = 1 + pick(most); i > 0; --i)
            out.append(from[pick(static_cast<int>(from.size()))]);
        return out.join(separator);
    };
    // Among them characters whose second byte is an ASCII byte: "\" in 表,
    // ソ and 予, letters in アイウエオ, テ and カ.
    const QStringList vocabulary = QString("Gene gene GENE protein Protein mouse cell Cell signal analysis of the in "
                                           "expression maps J.Smith 遺伝子 細胞 解析 マウス ＤＮＡ ｄｎａ α-helix "
                                           "ｶﾀｶﾅ テスト genes. [A] e Ⅱ ⅱ Ａｂｃ Kelvin 表示 ソフト 予定 アイウエオ "
                                           "ｱｲｳｴｵ C:\\data AE")
                                       .split(u' ');
    const QStringList people =
        QString("J.Smith K.Lee A.Jones B.Brown 山田太郎 鈴木花子 C.Gene e.e.Cummings D.Ma").split(u' ');
    const auto words = [&](int most) { return some(vocabulary, most, pick(4) ? " " : "  "); };
    const auto authors = [&] {
        return pick(5) ? some(people, 4, ", ") : QStringList{".", "-", "", " J.Smith"}[pick(4)];
    };
    Bank bank;
    for (int n = 1; n <= kRecords; ++n) {
        if (n > 10 && pick(25) == 0) { // booked again, with small changes
            Record twin = bank[pick(n - 1)];
            const int change = pick(5);
            twin.Volume.prepend(change == 0 ? " " : "");
            twin.Page1.prepend(change == 1 ? " " : "");
            twin.Author.append(change == 2 ? ", Z.Extra" : "");
            twin.Title = change == 3 ? twin.Title.toUpper() : twin.Title;
            bank.append(twin);
        } else if (pick(40) == 0) {
            bank.append(Record{.Memo = pick(2) ? "memo" : "", .Author = pick(2) ? "." : ""});
        } else {
            // clang-format off
            bank.append(Record{.Style = qint16(1 + pick(6)), .Memo = pick(3) ? QString() : words(2), .Author = authors(),
                               .Title = pick(30) ? (pick(10) ? "" : " ") + words(6) : QString(),
                               .JPcode = qint16(pick(30) ? pick(31) : -pick(5)),
                               .Volume = pick(8) ? QString::number(1 + pick(30)) : QString(),
                               .Page1 = pick(8) ? QString::number(1 + pick(200)) : QString(),
                               .Year = qint16(pick(20) ? 1950 + pick(76) : 0), .Editor = pick(4) ? QString() : authors(),
                               .Book = pick(4) ? QString() : words(3), .Keyword = pick(2) ? QString() : words(3),
                               .RegDate = 45000.0 + pick(300)});
            // clang-format on
        }
    }
    return bank;
}

// Straightforward searches; the options are read from the engine as step 1 left it.

// The earlier list, then each candidate (the earlier list in "Additional" mode,
// otherwise every record) once for each key j that hit(n, j) takes, or once if
// it takes all keys for `every`; with `unique` no record twice.
Hits reference(const SearchEngine &e, bool unique, bool every, const std::function<bool(int, int)> &hit)
{
    Hits hits = e.hits();
    std::vector<bool> listed(kMaxRecords + 1, false);
    for (qint16 n : hits)
        listed[n] = true;
    for (int n : e.CheckMode[CheckAdditional] && e.HitCount > 0 ? e.hits() : list(QStringLiteral("1-5000"))) {
        int times = 0;
        for (int j = 1; j <= e.KeyCount; ++j)
            times += hit(n, j) ? 1 : 0;
        for (times = every ? int(times == e.KeyCount) : times; times > 0; --times) {
            if (hits.size() < e.MaxHits && (!unique || !listed[n]))
                hits.append(static_cast<qint16>(n));
            listed[n] = true;
        }
    }
    return hits;
}

// The duplicate key, or the similarity key, of a record as read.
QString key(const Record &r, bool similar)
{
    const auto start4 = [](const QString &field) { return field.left(4).leftJustified(4, u' '); };
    const QString number = QString(similar && r.JPcode >= 0 ? " " : "") + QString::number(r.JPcode) + u',';
    return number +
           (similar ? r.Volume.leftJustified(20, u' ') + u':' + r.Page1.leftJustified(10, u' ')
                    : Trim(r.Volume) + u':' + Trim(r.Page1)) +
           u',' + start4(r.Author) + start4(r.Title);
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordImage m_image; // as the searches read the bank
    Bank m_bank;         // every record as RecRead gives it
    // The searched texts by kind, as stored [kind][0] and lower-cased [kind][1].
    std::array<std::array<QStringList, 2>, 4> m_texts;

private Q_SLOTS:
    // ---- Step 1: the key text --------------------------------------------------

    // Words (kind 0, joined by "|" here) and numbers;
    // one word is always an OR search. Numbers: 120 records, JP codes up to 200,
    // the year 2025; numbers that round to 0 name no record, year or code; a
    // range is walked only over the valid numbers; at most 200 keys.
    void keyText_data()
    {
        // clang-format off
        rows::table({"kind", "keys", "expected"}, {
            {"0", "alpha,beta  gamma, delta", "alpha|beta|gamma|delta"}, {"0", " ,alpha , ", "alpha"}, {"0", ", ,, ", ""},
            {"0", "Alpha BETA ＡＢＣ", "alpha|beta|ａｂｃ"}, {"0", "山田\u3000太郎 a\tb-c", "山田\u3000太郎|a\tb-c"},
            {"5", "1998-05", "1998-2005"}, {"5", "1900-99999999,1e300-1e301", "1900-2025"}, {"5", "7 1-500", "7,1-199"},
            {"6", "7-7 0-5 50-009", "7,5"}, // a range of one, from 0, the end below its start
            {"6", "3,abc,4 12abc 12.6", "3,4,12,13"}, {"6", "0,121 0.4,3", "3"}, {"4", "1,200,201 200.3", "1,200"},
        });
        // clang-format on
        QTest::newRow("the limit, 200 words")
            << "0" << QString("w ").repeated(300) << QString("w|").repeated(200).chopped(1);
    }
    void keyText()
    {
        const int kind = rows::number("kind");
        const QString keys = rows::text("keys"), expected = rows::text("expected");
        const JPcodeTable jp = DefaultJPcodeTable();
        SearchEngine engine;
        engine.SearchItem = kind;
        engine.AndMode = true;
        QElapsedTimer timer;
        timer.start();
        if (engine.SearchItem == KindFreeKeyword) {
            engine.Step1GetWord(keys);
            QCOMPARE(engine.KeyWords.mid(1, engine.KeyCount).join(u'|'), expected);
            QCOMPARE(engine.AndMode, engine.KeyCount != 1);
            return;
        }
        engine.Step1GetNum(keys, NumberContext{120, &jp, 2025});
        QCOMPARE(engine.KeyNums.mid(1, engine.KeyCount), list(expected));
        QVERIFY(timer.elapsed() < 1000);
        engine.Step1GetNum(keys, NumberContext{120, nullptr, 2025}); // no JP code table: no valid code
        QCOMPARE(engine.KeyCount, kind == KindJPcode ? 0 : list(expected).size());
    }

    // ---- Step 2: the hits --------------------------------------------------------

    // The word and number searches with every option are checked against the
    // plain searches on the generated bank as well.
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

        const int titles = KindTitleKeyword, number = KindRecord;
        Bank match(12, rec("A.Nobody", "Nothing."));
        match[7].Title = match[11].Title = "Match";
        row("additional, empty list: a new search", match, titles, "match", "add", "8,12");
        row("record numbers in key order, unique alone", match, number, "9,3,5,3", "list=1", "9,3,5,3");
        row("record numbers, additional", match, number, "4,6", "add repeats list=2,4", "2,4,4");

        // Records 1-4 are blank, 5-8 not (a memo does not count); no earlier list is kept.
        const Bank blanks{{.Memo = "m"}, rec(".", ""),  rec("", "."), rec("  .", "  "),
                          rec("-", ""),  rec(".", "."), rec("", "T"), rec("\u3000", "")};
        row("blank", blanks, KindBlank, "", "add list=7", "1-4");

        // Records 4, 9 and 15 of 16 are one reference booked three times: each
        // is paired with the next, and no earlier list is kept. (Leading blanks
        // and later words are left to the keys and the generated bank.)
        Bank booked;
        for (int n = 1; n <= 16; ++n)
            booked << rec("K.Other" + QString::number(n), "Title", 2000, n, QString::number(n), QString::number(n));
        booked[3] = booked[8] = booked[14] = rec("J.Smith", "Gene maps", 1990, 12, "30", "100");
        row("booked three times", booked, KindDouble, "", "add list=1", "4,9,9,15");
        row("similar: not the card record", booked, KindSimilar, "", "card=4", "9,15");
        const Record a = rec("J.Smith", "Gene maps", 0, 0, "3"), empty;
        row("empty records never", {empty, a, empty, a, a, empty}, KindDouble, "", "", "2,4,4,5");
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

    // Cancelled at the second candidate, every kind leaves the count of the
    // list as it was (the entries stored before stay) and the progress window
    // open for the search window to close.
    void cancel()
    {
        // clang-format off
        for (const auto &[kind, keys, stored] : {std::tuple{KindFreeKeyword, ". 9", "1"}, {KindYear, "1995", "1"},
                 {KindRecord, "1-10", "1"}, {KindBlank, "", "1"}, {KindDouble, "", "1,2"}, {KindSimilar, "", ""}}) {
            // clang-format on
            SearchEngine engine;
            QList<std::array<int, 3>> calls;
            engine.progress = [&](ProgressMode mode, int pos, int max) {
                calls.append({int(mode), pos, max});
                engine.CancelFlag = mode == ProgressMode::Step && pos == 2;
            };
            configure(engine, kind, "list=9");
            QVERIFY(engine.RunSteps(imageOf(Bank(10, rec(".", "", 1995))), keys, DefaultJPcodeTable(), 1));
            QVERIFY2(engine.HitCount == 1 && engine.HitList.mid(1, list(stored).size()) == list(stored), keys);
            QCOMPARE(calls, (QList<std::array<int, 3>>{{1, 1, 10}, {2, 1, 10}, {2, 2, 10}}));
        }
    }

    // The record file cut short by another program after a search opened
    // it: the records gone read as blank ones, and nothing fails.
    void recordFileCutWhileOpen()
    {
        QTemporaryDir dir;
        QByteArray file;
        for (int n = 1; n <= 300; ++n)
            file += EncodeRecord(rec("A.Author", "Title", 1995));
        const QString path = dir.filePath(QStringLiteral("record.tzd"));
        QVERIFY(writeFile(path, file));
        RecordImage image;
        QVERIFY(image.load(dir.path()));
        QVERIFY(QFile::resize(path, 100 * kRecordSize + 500)); // record 101 keeps its title, not its year
        SearchEngine engine(kMaxRecords);
        configure(engine, KindYear, "max=32767");
        QVERIFY(engine.RunSteps(image, "1995", DefaultJPcodeTable()));
        QCOMPARE(engine.hits(), list("1-100"));
        configure(engine, KindBlank, "max=32767");
        QVERIFY(engine.RunSteps(image, {}, DefaultJPcodeTable()));
        QCOMPARE(engine.hits(), list("102-300"));
        QCOMPARE(DecodeRecord(image.record(200)), DecodeRecord({}));
    }

    // The sort "none" runs the record search again: the list comes back in
    // key order, and an appending search does not append twice.
    void rebuildInKeyOrder()
    {
        SearchEngine engine;
        configure(engine, KindRecord, "add repeats list=2,4");
        QVERIFY(engine.RunSteps(imageOf(Bank(10)), "6,4,2", {}));
        configure(engine, KindRecord, "add repeats list=4,4,2,2"); // as a sort leaves it
        for (int times = 0; times < 2; ++times) {
            engine.RebuildRecordHits();
            QCOMPARE(engine.hits(), list("2,4,4,2"));
        }
    }

    void keys()
    {
        const QByteArray r = EncodeRecord(rec("J.Smith", "Gene maps", 1990, 12, " 30 ", "100"));
        QCOMPARE(DupKey(r), "12,30:100,J.SmGene");
        // Volume and first page whole, with their blanks.
        QCOMPARE(SimilarKey(r), " 12, 30" + QString(17, u' ') + ":100" + QString(7, u' ') + ",J.SmGene");
        QCOMPARE(SimilarKey(EncodeRecord(rec("Li", {}, 0, -3))).left(3), "-3,"); // no blank before a minus
        QCOMPARE(DupKey(QByteArray()), "0,:," + QString(8, u' '));               // beyond the file: blank
    }

    // ---- The search window's model ------------------------------------------------

    void kindsAndEmptyKey()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        for (int kind = 0; kind <= 6; ++kind) {
            m.setKeyText(QStringLiteral("left over"));
            QVERIFY(m.SearchSet(kind).focusKeys && m.keyText().isEmpty());
            QCOMPARE(m.keyInput(), kind <= 3 ? KeyInput::Latin : KeyInput::Disabled);
        }

        // An empty key blocks every button (no save dialog either); a blank
        // key does not, nor do the kinds without a key.
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("telomere"));
        m.SearD_click(SearOr);
        const QString shown = m.resultText();
        m.setKeyText(QString());
        for (int b = 0; b <= 8; ++b) {
            const SearchAction a = m.SearD_click(b);
            QVERIFY(!a.show && !a.hide && !a.print);
        }
        QVERIFY(m.resultText() == shown && f.ui.messages.isEmpty());
        m.setKeyText(QStringLiteral(" "));
        QVERIFY(m.SearD_click(SearClose).hide);
        m.SearchSet(KindBlank);
        QCOMPARE(m.keyInput(), KeyInput::Latin); // kept as the word search left it
        QVERIFY(m.SearD_click(SearClose).hide);

        // The "for" buttons are the Additional mode. (The AND preference is
        // tested on the window, gui/tst_search_window.)
        m.setForCurrentRecords(true);
        QVERIFY(m.engine().CheckMode[CheckAdditional]);
    }

    // "List" renders again in the chosen script, which becomes CurScript;
    // Reset goes back to the first.
    void scripts()
    {
        SearchFixture f(6, 5);
        SearchModel m(*f.session);
        m.SearchSet(KindBlank);
        QVERIFY(m.SearD_click(SearOr).show);
        QVERIFY(m.resultText().contains(QStringLiteral("total  1 hits")) && m.resultText().contains(u"\r\n"));
        m.setScriptIndex(1);
        m.SearD_click(SearList);
        QCOMPARE(f.session->settings.CurScript, 2);
        QVERIFY(m.resultText().startsWith(f.session->scripts.script(2).header));
        m.SearD_click(SearReset);
        QVERIFY(m.scriptIndex() == 0 && f.session->settings.CurScript == 1);
    }

    // Cancelled before or after new hits were stored: the earlier list and
    // its rendering stay whole.
    void aCancelledSearchKeepsTheEarlierList()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("telomere"));
        m.SearD_click(SearOr);
        const QList<qint16> hits = m.engine().hits();
        const int version = m.resultVersion();
        const QString shown = m.resultText();
        f.ui.duringEvents = [&] {
            if (f.ui.progressShown)
                f.ui.cancel();
        };
        m.setKeyText(QStringLiteral("Title"));
        QVERIFY(m.SearD_click(SearOr).show);
        QVERIFY(m.resultVersion() == version && m.resultText() == shown && m.engine().hits() == hits);
        QVERIFY(!m.engine().CancelFlag && !f.ui.progressShown);
        f.ui.duringEvents = nullptr;
        m.engine().progress = [&](ProgressMode mode, int pos, int) {
            m.engine().CancelFlag = mode == ProgressMode::Step && pos == 5;
        };
        m.SearD_click(SearOr);
        QCOMPARE(m.engine().hits(), hits);
        m.SearD_click(SearList);
        QCOMPARE(m.resultText(), shown);
    }

    void saving()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        const QString path = f.file(QStringLiteral("list.txt"));
        const auto save = [&](const QString &text, QList<MsgAnswer> answers = {}) {
            m.setResultText(text);
            f.ui.files.enqueue(path);
            f.ui.answers = answers;
            m.saveResult();
            return readFile(path);
        };
        // Cancelled confirmation: nothing written.
        QCOMPARE(save(QStringLiteral("a"), {MsgAnswer::Cancel}), QByteArray());
        QCOMPARE(f.ui.messages.last().text, path + QStringLiteral("として保存します。"));
        // The text as the box holds it ("\n" lines, an edit), one CR LF more, code page 932.
        const QByteArray cp932("\x95\xb6\x8c\xa3 1\r\nline 2\r\nend\r\n");
        QCOMPARE(save(QStringLiteral("文献 1\nline 2\r\nend")), cp932);
        // A character code page 932 cannot hold is named before anything is
        // written; Cancel keeps the old file, OK writes UTF-8.
        QCOMPARE(save(QStringLiteral("Ω ok ☃ and ☃\n"), {MsgAnswer::Ok, MsgAnswer::Cancel}), cp932);
        QVERIFY(f.ui.messages.last().text.contains(QStringLiteral("「☃」")));
        QCOMPARE(save(QStringLiteral("Ω ok ☃ and ☃\n")), QStringLiteral("Ω ok ☃ and ☃\r\n\r\n").toUtf8());
        QCOMPARE(UnencodableChars(QStringLiteral("a😀bΩ😀☃")), QStringList({QStringLiteral("😀"), QStringLiteral("☃")}));
        // A folder that does not exist: the error names the file.
        f.ui.files.enqueue(f.file(QStringLiteral("no/such/list.txt")));
        m.saveResult();
        QVERIFY(f.ui.messages.last().icon == MsgIcon::Error && f.ui.messages.last().text.contains(u"list.txt"));
    }

    // ---- The generated bank -------------------------------------------------------

    void initTestCase()
    {
        QByteArray file;
        for (const Record &r : generate())
            file += EncodeRecord(r);
        // Bytes no writer makes: lead bytes before blanks and at a field's end,
        // stray single bytes, NULs; a last record cut short, padded with blanks.
        file.replace(282 + 3 * kRecordSize, 4, "\x81 \xfd\x80");
        file.replace(72 + 7 * kRecordSize + 208, 2, QByteArray("\x00\x82", 2));
        file.replace(886 + 11 * kRecordSize, 3, QByteArray("g\x00n", 3));
        file.chop(kRecordSize - 900);
        // Characters with two byte forms, each form in a title, and a word at the very end of a field.
        qsizetype at = 282 + 19 * kRecordSize;
        for (const char *form : {"\xfa\x40", "\xee\xef", "\x87\x54", "\x87\x9a", "\xfa\x5b", "\x81\xe6"})
            file.replace(at += kRecordSize, 2, form);
        file.replace(282 + 29 * kRecordSize, 280, QByteArray(274, 'x') + "Kelvin");
        // Words at the very end of the keywords of the last record of the
        // first run of a pass over the file, and of the last record, cut
        // short (the last bytes of the file).
        file.replace(886 + 95 * kRecordSize, 280, QByteArray(274, 'y') + "kELVIN");
        file.replace(886 + (kRecords - 1) * kRecordSize, 14, "yyyyyyyykELVIN");
        // Fields filled to their end, the next one starting at once: the
        // bytes of a word run on from one field into the next (a memo into
        // the authors, the editors into the book title, "表" into "示").
        file.replace(2 + 40 * kRecordSize, 72, QByteArray(68, 'm') + "abcd");
        file.replace(606 + 41 * kRecordSize, 142, QByteArray(138, 'e') + cp932::encode(u"表示"));
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("RECORD.TZD")), file)); // found whatever the case
        QVERIFY(m_image.load(m_dir.path()));
        QCOMPARE(m_image.RecCount(), kRecords);
        for (int n = 1; n <= kRecords; ++n) {
            QVERIFY(RecRead(m_dir.path(), n, ReadMode::Stored, m_bank.emplace_back(), QDate(2025, 6, 1)));
            const Record &r = m_bank.last();
            const QString fields[] = {r.Memo, r.Author, r.Editor, r.Title, r.Book, r.Keyword};
            for (int kind = KindFreeKeyword; kind <= KindTitleKeyword; ++kind) {
                QStringList text; // the trimmed fields the kind searches, joined by a blank
                for (const char *c = std::array{"012345", "0", "12", "345"}[kind]; *c; ++c)
                    text.append(Trim(fields[*c - '0']));
                m_texts[kind][0].append(text.join(u' '));
                m_texts[kind][1].append(text.join(u' ').toLower());
            }
        }
    }

    // Word searches in each kind's fields, year and JP code searches; each
    // option on and off against a plain OR search, and some together.
    void wordsAndNumbers_data()
    {
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<QString>("keys");
        for (const char *keys :
             {"gene",      "Gene cell", "Protein J.Sm", "遺伝子 解析 ﾀｶ", "ＤＮＡ ⅱ", "e",       "ΣΑΣ ДОМ",
              "s. [a] -h", "zzz",       "ⅰ ∵ kelvin",   "\uFFFD",         "ā",        "\\ 表",   "A アイ",
              "E ae",      "ｳｴ ｴｵ ｱ",   "示 ソ",        "C:\\ a\\",       "bc mab",   "表示 e表"})
            QTest::newRow(keys) << QList<int>{0, 1, 2, 3} << QString::fromUtf8(keys);
        for (const char *keys : {"1995", "1950-1960, 2020 1995 1995"})
            QTest::addRow("year %s", keys) << QList<int>{KindYear} << QString::fromUtf8(keys);
        for (const char *keys : {"7", "1-30,3"})
            QTest::addRow("JP code %s", keys) << QList<int>{KindJPcode} << QString::fromUtf8(keys);
    }
    void wordsAndNumbers()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(QString, keys);
        const QString earlier = QStringLiteral("add list=4990,17,300-420,9"); // an earlier list, "Additional" mode
        const QStringList combinations = ("|repeats|case|and|and repeats case max=32767|top|top and repeats|"
                                          "repeats max=32767|repeats " +
                                          earlier + "|and case max=32767 " + earlier)
                                             .split(u'|');
        const JPcodeTable jp = DefaultJPcodeTable();
        SearchEngine engine;
        for (int kind : kinds) {
            const bool words = kind <= KindTitleKeyword;
            for (const QString &options : combinations) {
                configure(engine, kind, options);
                words ? engine.Step1GetWord(keys) : engine.Step1GetNum(keys, NumberContext{kRecords, &jp, 2025});
                const SearchEngine before = engine;
                words ? engine.Step2HitWord(m_image) : engine.Step2HitNum(m_image);
                const bool top = before.CheckMode[CheckTopWord], unique = before.CheckMode[CheckUnique];
                const auto hit = [&](int n, int j) {
                    if (!words)
                        return (kind == KindYear ? m_bank[n - 1].Year : m_bank[n - 1].JPcode) == before.KeyNums[j];
                    const QString &text = m_texts[kind][before.CheckMode[CheckIgnoreCase]][n - 1];
                    return top ? text.startsWith(before.KeyWords[j]) : text.contains(before.KeyWords[j]);
                };
                const Hits expected = reference(before, unique && (words || before.CheckMode[CheckAdditional]),
                                                words && !top && before.AndMode, hit);
                QVERIFY2(engine.hits() == expected, qPrintable(options + " kind " + QString::number(kind)));
            }
        }
    }

    // The pass over the bytes that picks the records a word search decodes:
    // the three ways of testing the bytes mark the same records, whichever
    // bytes of the word they test first, and none leaves out a record whose
    // text holds the word.
    void bytePassMarksEveryHolder()
    {
        using L = RecordLayout;
        static const std::vector<FieldSpan> fields{L::Memo, L::Author, L::Editor, L::Title, L::Book, L::Keyword};
        const QStringList words = QString("gene Protein J.Sm 遺伝子 ﾀｶ ＤＮＡ ⅱ e kelvin ∵ \\ 表 A アイ ｳｴ 示 C:\\ "
                                          "bc mab 表示 e表 テスト genes. [a] α-helix")
                                      .split(u' ');
        std::array<quint32, 256> even, firstRun{};
        even.fill(1);
        m_image.scan(1, 96, [&](int, int, QByteArrayView bytes) {
            for (const char b : bytes)
                ++firstRun[uchar(b)];
            return false;
        });
        using Method = WordBytes::Method;
        for (const QString &word : words) {
            for (const bool lower : {false, true}) {
                for (const auto *frequency : {&even, &firstRun}) {
                    WordBytes bytes(lower ? word.toLower() : word, lower);
                    bytes.chooseProbes(*frequency);
                    std::array<std::vector<char>, 3> marks;
                    for (auto &m : marks)
                        m.assign(kRecords, 0);
                    m_image.scan(1, kRecords, [&](int first, int count, QByteArrayView run) {
                        for (const Method method : {Method::Fastest, Method::By16, Method::OneByOne})
                            bytes.markRecords(run, count, fields, marks[size_t(method)].data() + first - 1, method);
                        return true;
                    });
                    const QString what = word + (lower ? " lower-cased" : "");
                    QVERIFY2(marks[1] == marks[0] && marks[2] == marks[0], qPrintable(what));
                    for (int n = 1; n <= kRecords; ++n)
                        QVERIFY2(marks[0][size_t(n - 1)] ||
                                     !m_texts[0][lower][n - 1].contains(lower ? word.toLower() : word),
                                 qPrintable(what + " in record " + QString::number(n)));
                }
            }
        }
    }

    void keysBlankAndDouble()
    {
        // The keys built straight from the bytes are those of the records as
        // read. (The similar search compares these keys one by one: the hand-made
        // rows above check it.)
        QStringList dup, similar;
        for (int n = 1; n <= kRecords; ++n) {
            dup.append(key(m_bank[n - 1], false));
            similar.append(key(m_bank[n - 1], true));
            const QByteArray bytes = m_image.record(n);
            QVERIFY2(DupKey(bytes) == dup.last() && SimilarKey(bytes) == similar.last(), qPrintable(similar.last()));
        }
        for (int maxHits : {200, 7, kMaxRecords}) {
            SearchEngine engine(maxHits);
            Hits blank, doubles;
            for (int n = 1; n <= kRecords && blank.size() < maxHits; ++n)
                if (const QString t = Trim(m_bank[n - 1].Author) + Trim(m_bank[n - 1].Title); t.isEmpty() || t == u".")
                    blank.append(static_cast<qint16>(n));
            engine.Step2HitBlank(m_image);
            QCOMPARE(engine.hits(), blank);
            // Each record with the first later one of the same key, compared pairwise.
            for (int i = 0; i + 1 < kRecords && doubles.size() < maxHits; ++i)
                if (const qsizetype j = Trim(dup[i]) == u"0,:," ? -1 : dup.indexOf(dup[i], i + 1); j > 0)
                    doubles << static_cast<qint16>(i + 1) << static_cast<qint16>(j + 1);
            doubles = doubles.mid(0, maxHits);
            engine.Step2HitDouble(m_image);
            QCOMPARE(engine.hits(), doubles);
            QVERIFY(!blank.isEmpty() && doubles.size() > 6);
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
