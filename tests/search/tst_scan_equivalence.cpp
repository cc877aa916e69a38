// The whole-file scans and the hash-map duplicate check against plain
// record-by-record searches written here from the rules: every record read
// with RecRead, the searched text and the keys built from its fields, the
// duplicates found by comparing each record with every later one.
#include "common/basic.h"
#include "search/search_engine.h"
#include "store/record.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using namespace tz;

namespace {

constexpr int kRecords = 5000;
const QDate kToday(2025, 6, 1);

// ---- A generated bank ---------------------------------------------------------

class Generator
{
public:
    QList<Record> records()
    {
        QList<Record> out;
        for (int n = 1; n <= kRecords; ++n) {
            if (n > 10 && pick(25) == 0) { // booked again, with small changes
                Record twin = out[pick(n - 1)];
                switch (pick(5)) {
                case 0:
                    twin.Volume = u' ' + twin.Volume;
                    break;
                case 1:
                    twin.Author += QStringLiteral(", Z.Extra");
                    break;
                case 2:
                    twin.Page1 = u' ' + twin.Page1;
                    break;
                case 3:
                    twin.Title = twin.Title.toUpper();
                    break;
                default:
                    break;
                }
                out.append(twin);
                continue;
            }
            out.append(one());
        }
        return out;
    }

private:
    std::mt19937 m_rng{20250601};
    int pick(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }

    QString words(int most)
    {
        static const char *const vocabulary[] = {
            "Gene",   "gene",     "GENE", "protein", "Protein", "mouse",      "cell",    "Cell",
            "signal", "analysis", "of",   "the",     "in",      "expression", "maps",    "J.Smith",
            "遺伝子", "細胞",     "解析", "マウス",  "ＤＮＡ",  "ｄｎａ",     "α-helix", "ｶﾀｶﾅ",
            "テスト", "genes.",   "[A]",  "e",       "Ⅱ",       "ⅱ",          "Ａｂｃ",  "Kelvin"};
        const int count = 1 + pick(most);
        QStringList list;
        for (int i = 0; i < count; ++i)
            list.append(QString::fromUtf8(vocabulary[pick(std::size(vocabulary))]));
        return list.join(pick(4) == 0 ? QStringLiteral("  ") : QStringLiteral(" "));
    }

    QString authors()
    {
        static const char *const people[] = {"J.Smith",  "K.Lee",  "A.Jones",      "B.Brown", "山田太郎",
                                             "鈴木花子", "C.Gene", "e.e.Cummings", "D.Ma"};
        switch (pick(20)) {
        case 0:
            return QStringLiteral(".");
        case 1:
            return QStringLiteral("-");
        case 2:
            return {};
        case 3:
            return QStringLiteral(" J.Smith");
        default:
            break;
        }
        QStringList list;
        for (int i = 1 + pick(4); i > 0; --i)
            list.append(QString::fromUtf8(people[pick(std::size(people))]));
        return list.join(QStringLiteral(", "));
    }

    Record one()
    {
        Record r;
        r.Style = static_cast<qint16>(1 + pick(6));
        if (pick(40) == 0) { // blank
            r.Author = pick(2) ? QStringLiteral(".") : QString();
            r.Memo = pick(2) ? QStringLiteral("memo") : QString();
            return r;
        }
        r.Memo = pick(3) == 0 ? words(2) : QString();
        r.Author = authors();
        r.Title = pick(30) == 0 ? QString() : words(6);
        if (pick(10) == 0)
            r.Title = u' ' + r.Title;
        r.Editor = pick(4) == 0 ? authors() : QString();
        r.Book = pick(4) == 0 ? words(3) : QString();
        r.Keyword = pick(2) == 0 ? words(3) : QString();
        r.JPcode = static_cast<qint16>(pick(30) == 0 ? -pick(5) : pick(31));
        r.Year = static_cast<qint16>(pick(20) == 0 ? 0 : 1950 + pick(76));
        r.Volume = pick(8) == 0 ? QString() : QString::number(1 + pick(30));
        r.Page1 = pick(8) == 0 ? QString() : QString::number(1 + pick(200));
        r.RegDate = 45000 + pick(300);
        return r;
    }
};

// ---- Straightforward searches -------------------------------------------------

struct Options
{
    int andMode = 0;
    bool unique = true;
    bool ignoreCase = true;
    bool topWord = false;
    int maxHits = 200;
    QList<qint16> start; // the list in "Additional" mode; empty: no such mode
};

QString searchedText(const Record &r, int kind)
{
    QStringList fields;
    switch (kind) {
    case KindMemo:
        fields = {r.Memo};
        break;
    case KindAuthorEditor:
        fields = {r.Author, r.Editor};
        break;
    case KindTitleKeyword:
        fields = {r.Title, r.Book, r.Keyword};
        break;
    default:
        fields = {r.Memo, r.Author, r.Editor, r.Title, r.Book, r.Keyword};
        break;
    }
    for (QString &f : fields)
        f = Trim(f);
    return fields.join(u' ');
}

QList<int> candidates(const Options &o, int recCount)
{
    QList<int> list;
    if (!o.start.isEmpty()) {
        for (qint16 n : o.start)
            list.append(n);
        return list;
    }
    for (int n = 1; n <= recCount; ++n)
        list.append(n);
    return list;
}

// texts[n - 1]: the searched text of record n, lower-cased when capitals are ignored.
QList<qint16> referenceWords(const QStringList &texts, const QStringList &words, const Options &o)
{
    QList<qint16> list = o.start;
    std::vector<bool> listed(kMaxRecords + 1, false);
    for (qint16 n : list)
        listed[n] = true;
    auto add = [&](int n) {
        if (!o.unique || !listed[n])
            list.append(static_cast<qint16>(n));
        listed[n] = true;
    };
    for (int n : candidates(o, texts.size())) {
        if (list.size() >= o.maxHits)
            break;
        const QString &text = texts[n - 1];
        if (!o.topWord && o.andMode == 1) {
            bool all = true;
            for (const QString &w : words)
                all = all && text.contains(w);
            if (all)
                add(n);
            continue;
        }
        for (const QString &w : words) {
            if (list.size() >= o.maxHits)
                break;
            const qsizetype at = text.indexOf(w);
            if (at == 0 || (at > 0 && !o.topWord))
                add(n);
        }
    }
    return list;
}

QList<qint16> referenceNumbers(const QList<Record> &bank, bool year, const QList<qint16> &keys, const Options &o)
{
    QList<qint16> list = o.start;
    for (int n : candidates(o, bank.size())) {
        const qint16 value = year ? bank[n - 1].Year : bank[n - 1].JPcode;
        for (qint16 k : keys) {
            if (list.size() >= o.maxHits)
                break;
            if (value == k && !(!o.start.isEmpty() && o.unique && list.contains(n)))
                list.append(static_cast<qint16>(n));
        }
    }
    return list;
}

QList<qint16> referenceBlank(const QList<Record> &bank, int maxHits)
{
    QList<qint16> list;
    for (int n = 1; n <= bank.size() && list.size() < maxHits; ++n) {
        const QString text = Trim(bank[n - 1].Author) + Trim(bank[n - 1].Title);
        if (text.isEmpty() || text == u".")
            list.append(static_cast<qint16>(n));
    }
    return list;
}

QString start4(const QString &field)
{
    return field.left(4).leftJustified(4, u' ');
}

QString referenceDupKey(const Record &r)
{
    return QString::number(r.JPcode) + u',' + Trim(r.Volume) + u':' + Trim(r.Page1) + u',' + start4(r.Author) +
           start4(r.Title);
}

QString referenceSimilarKey(const Record &r)
{
    return (r.JPcode >= 0 ? u' ' + QString::number(r.JPcode) : QString::number(r.JPcode)) + u',' +
           r.Volume.leftJustified(20, u' ') + u':' + r.Page1.leftJustified(10, u' ') + u',' + start4(r.Author) +
           start4(r.Title);
}

QList<qint16> referenceDouble(const QList<Record> &bank, int maxHits)
{
    QStringList keys;
    for (const Record &r : bank)
        keys.append(referenceDupKey(r));
    QList<qint16> list;
    for (int i = 0; i + 1 < keys.size() && list.size() < maxHits; ++i) {
        if (Trim(keys[i]) == u"0,:,")
            continue;
        for (int j = i + 1; j < keys.size(); ++j) {
            if (keys[j] == keys[i]) {
                list.append(static_cast<qint16>(i + 1));
                if (list.size() < maxHits)
                    list.append(static_cast<qint16>(j + 1));
                break;
            }
        }
    }
    return list;
}

QList<qint16> referenceSimilar(const QStringList &keys, int current, int maxHits)
{
    QList<qint16> list;
    for (int n = 1; n <= keys.size() && list.size() < maxHits; ++n)
        if (n != current && keys[n - 1] == keys[current - 1])
            list.append(static_cast<qint16>(n));
    return list;
}

void prepare(SearchEngine &engine, int kind, const Options &o)
{
    engine.setMaxHits(o.maxHits);
    engine.SearchItem = kind;
    engine.AndMode = o.andMode;
    engine.CheckMode[CheckAdditional] = o.start.isEmpty() ? 0 : 1;
    engine.CheckMode[CheckUnique] = o.unique ? 1 : 0;
    engine.CheckMode[CheckIgnoreCase] = o.ignoreCase ? 1 : 0;
    engine.CheckMode[CheckTopWord] = o.topWord ? 1 : 0;
    engine.HitCount = 0;
    for (qint16 n : o.start)
        engine.HitList[++engine.HitCount] = n;
}

QString describe(int kind, const QString &keys, const Options &o)
{
    return QStringLiteral("kind %1, keys \"%2\", and %3, unique %4, capitals ignored %5, top %6, max %7, start %8")
        .arg(kind)
        .arg(keys)
        .arg(o.andMode)
        .arg(o.unique)
        .arg(o.ignoreCase)
        .arg(o.topWord)
        .arg(o.maxHits)
        .arg(o.start.size());
}

} // namespace

class TestScanEquivalence : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordImage m_image;    // as the searches read the bank
    QList<Record> m_bank;   // every record as RecRead gives it
    QList<qint16> m_sample; // a list for the "Additional" mode
    // The searched texts by kind, as stored [kind][0] and lower-cased [kind][1].
    std::array<std::array<QStringList, 2>, 4> m_texts;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Generator generator;
        const QList<Record> made = generator.records();
        QByteArray file;
        for (const Record &r : made)
            file += EncodeRecord(r);
        // Bytes no writer makes: lead bytes before blanks and at a field's end,
        // stray single bytes, NULs.
        file.replace(282 + 3 * kRecordSize, 4, "\x81 \xfd\x80");
        file.replace(72 + 7 * kRecordSize + 208, 2, QByteArray("\x00\x82", 2));
        file.replace(886 + 11 * kRecordSize, 3, QByteArray("g\x00n", 3));
        // A last record cut short: it still counts, padded with blanks.
        file.chop(kRecordSize - 900);
        QFile f(m_dir.filePath(QStringLiteral("record.tzd")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        f.close();

        QVERIFY(m_image.load(m_dir.path()));
        QCOMPARE(m_image.RecCount(), kRecords);
        for (int n = 1; n <= kRecords; ++n) {
            Record r;
            QVERIFY(RecRead(m_dir.path(), n, 1, r, kToday));
            m_bank.append(r);
        }
        for (int n = 7; n <= kRecords; n += 37)
            m_sample.append(static_cast<qint16>(n));
        for (int kind = KindFreeKeyword; kind <= KindTitleKeyword; ++kind) {
            for (const Record &r : m_bank) {
                m_texts[kind][0].append(searchedText(r, kind));
                m_texts[kind][1].append(searchedText(r, kind).toLower());
            }
        }
    }

    void words_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("one word") << "gene";
        QTest::newRow("two words") << "Gene cell";
        QTest::newRow("capital and name") << "Protein J.Sm";
        QTest::newRow("Japanese") << QString::fromUtf8("遺伝子 解析 ﾀｶ");
        QTest::newRow("full-width and roman numerals") << QString::fromUtf8("ＤＮＡ ⅱ");
        QTest::newRow("a letter everywhere") << "e";
        QTest::newRow("Greek and Cyrillic capitals") << QString::fromUtf8("ΣΑΣ ДОМ");
        QTest::newRow("punctuation") << "s. [a] -h";
        QTest::newRow("nothing matches") << "zzz";
    }
    void words()
    {
        QFETCH(QString, keys);
        // Each option on and off against a plain OR search, and some together.
        struct Combination
        {
            int andMode;
            bool unique, ignoreCase, topWord, all, additional;
        };
        const Combination combinations[] = {
            {0, true, true, false, false, false},  {0, false, true, false, false, false},
            {0, true, false, false, false, false}, {1, true, true, false, false, false},
            {1, false, false, false, true, false}, {0, true, true, true, false, false},
            {1, false, true, true, false, false},  {0, false, true, false, true, false},
            {0, false, true, false, false, true},  {1, true, false, false, true, true},
        };
        SearchEngine engine;
        for (int kind = KindFreeKeyword; kind <= KindTitleKeyword; ++kind) {
            for (const Combination &c : combinations) {
                Options o;
                o.andMode = c.andMode;
                o.unique = c.unique;
                o.ignoreCase = c.ignoreCase;
                o.topWord = c.topWord;
                o.maxHits = c.all ? kMaxRecords : 200;
                if (c.additional)
                    o.start = m_sample;
                prepare(engine, kind, o);
                engine.Step1GetWord(keys);
                const QStringList words = engine.KeyWords.mid(1, engine.KeyCount);
                o.andMode = engine.AndMode;
                engine.Step2HitWord(m_image);
                const QList<qint16> expected = referenceWords(m_texts[kind][o.ignoreCase ? 1 : 0], words, o);
                if (engine.hits() != expected)
                    QFAIL(qPrintable(describe(kind, keys, o)));
            }
        }
    }

    void numbers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::newRow("a year") << int(KindYear) << "1995";
        QTest::newRow("years") << int(KindYear) << "1950-1960, 2020 1995 1995";
        QTest::newRow("a code") << int(KindJPcode) << "7";
        QTest::newRow("codes") << int(KindJPcode) << "1-30,3";
    }
    void numbers()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        const JPcodeTable jp = DefaultJPcodeTable();
        SearchEngine engine;
        for (int bits = 0; bits < 8; ++bits) {
            Options o;
            o.unique = bits & 1;
            o.maxHits = (bits & 2) ? kMaxRecords : 200;
            if (bits & 4)
                o.start = m_sample;
            prepare(engine, kind, o);
            engine.Step1GetNum(keys, NumberContext{kRecords, &jp, 2025});
            engine.Step2HitNum(m_image);
            const QList<qint16> expected =
                referenceNumbers(m_bank, kind == KindYear, engine.KeyNums.mid(1, engine.KeyCount), o);
            if (engine.hits() != expected)
                QFAIL(qPrintable(describe(kind, keys, o)));
        }
    }

    void blankDoubleSimilar_data()
    {
        QTest::addColumn<int>("maxHits");
        QTest::newRow("200") << 200;
        QTest::newRow("7") << 7;
        QTest::newRow("all") << int(kMaxRecords);
    }
    void blankDoubleSimilar()
    {
        QFETCH(int, maxHits);
        SearchEngine engine(maxHits);
        engine.Step2HitBlank(m_image);
        QCOMPARE(engine.hits(), referenceBlank(m_bank, maxHits));
        QVERIFY(engine.HitCount > 0);

        engine.Step2HitDouble(m_image);
        QCOMPARE(engine.hits(), referenceDouble(m_bank, maxHits));
        QVERIFY(engine.HitCount > 6);

        QStringList keys;
        for (const Record &r : m_bank)
            keys.append(referenceSimilarKey(r));
        // Records booked twice and a spread of others.
        QList<int> currents;
        for (qint16 n : referenceDouble(m_bank, 20))
            currents.append(n);
        for (int current = 1; current <= kRecords; current += 499)
            currents.append(current);
        int withSimilar = 0;
        for (int current : currents) {
            engine.Step2HitSimilar(m_image, current);
            QCOMPARE(engine.hits(), referenceSimilar(keys, current, maxHits));
            withSimilar += engine.HitCount > 0 ? 1 : 0;
        }
        QVERIFY(withSimilar > 0);
    }

    // The keys the searches build straight from the bytes are those of the
    // records as read.
    void keysFromBytes()
    {
        for (int n = 1; n <= kRecords; ++n) {
            const QByteArrayView bytes = m_image.record(n);
            if (DupKey(bytes) != referenceDupKey(m_bank[n - 1]) ||
                SimilarKey(bytes) != referenceSimilarKey(m_bank[n - 1]))
                QFAIL(qPrintable(QStringLiteral("record %1").arg(n)));
        }
    }
};

QTEST_APPLESS_MAIN(TestScanEquivalence)
#include "tst_scan_equivalence.moc"
