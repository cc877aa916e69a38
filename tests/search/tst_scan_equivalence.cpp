// The whole-file scans and the hash-map duplicate check against plain
// record-by-record searches written here from the rules: every record read
// with RecRead, the searched text and the keys built from its fields, the
// duplicates found by comparing each record with every later one.
#include "common/basic.h"
#include "common/cp932.h"
#include "search/hit_banks.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using namespace tz;

namespace {

constexpr int kRecords = 5000;
const QString kEarlier = QStringLiteral("add list=4990,17,300-420,9"); // an earlier list, "Additional" mode

std::mt19937 rng{20250601};
int pick(int n)
{
    return static_cast<int>(rng() % static_cast<unsigned>(n));
}

QString some(const QStringList &from, int most, const QString &separator)
{
    QStringList out;
    for (int i = 1 + pick(most); i > 0; --i)
        out.append(from[pick(static_cast<int>(from.size()))]);
    return out.join(separator);
}

// Mixed English and Japanese text, odd names, blank records, and references
// booked again with small changes.
Bank generate()
{
    const QStringList vocabulary = QString("Gene gene GENE protein Protein mouse cell Cell signal analysis of the in "
                                           "expression maps J.Smith 遺伝子 細胞 解析 マウス ＤＮＡ ｄｎａ α-helix "
                                           "ｶﾀｶﾅ テスト genes. [A] e Ⅱ ⅱ Ａｂｃ Kelvin")
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
            bank.append(Record{.Style = qint16(1 + pick(6)),
                               .Memo = pick(3) ? QString() : words(2),
                               .Author = authors(),
                               .Title = pick(30) ? (pick(10) ? "" : " ") + words(6) : QString(),
                               .JPcode = qint16(pick(30) ? pick(31) : -pick(5)),
                               .Volume = pick(8) ? QString::number(1 + pick(30)) : QString(),
                               .Page1 = pick(8) ? QString::number(1 + pick(200)) : QString(),
                               .Year = qint16(pick(20) ? 1950 + pick(76) : 0),
                               .Editor = pick(4) ? QString() : authors(),
                               .Book = pick(4) ? QString() : words(3),
                               .Keyword = pick(2) ? QString() : words(3),
                               .RegDate = 45000.0 + pick(300)});
        }
    }
    return bank;
}

// ---- Straightforward searches: the options are read from the engine as step 1 left it.

QString searchedText(const Record &r, int kind)
{
    const QString fields[] = {r.Memo, r.Author, r.Editor, r.Title, r.Book, r.Keyword};
    QStringList text;
    for (const char *c = std::array{"012345", "0", "12", "345"}[kind]; *c; ++c)
        text.append(Trim(fields[*c - '0']));
    return text.join(u' ');
}

// The earlier list in "Additional" mode, otherwise every record.
Hits candidates(const SearchEngine &e, int recCount)
{
    return e.CheckMode[CheckAdditional] && e.HitCount > 0 ? e.hits() : list(QStringLiteral("1-%1").arg(recCount));
}

// texts[n - 1]: the searched text of record n, lower-cased when capitals are ignored.
Hits referenceWords(const QStringList &texts, const SearchEngine &e)
{
    const QStringList words = e.KeyWords.mid(1, e.KeyCount);
    const bool unique = e.CheckMode[CheckUnique], top = e.CheckMode[CheckTopWord];
    Hits list = e.hits();
    std::vector<bool> listed(kMaxRecords + 1, false);
    for (qint16 n : list)
        listed[n] = true;
    const auto add = [&](int n) {
        if (list.size() < e.MaxHits && (!unique || !listed[n]))
            list.append(static_cast<qint16>(n));
        listed[n] = true;
    };
    for (int n : candidates(e, static_cast<int>(texts.size()))) {
        const QString &text = texts[n - 1];
        if (!top && e.AndMode == 1) {
            if (std::all_of(words.begin(), words.end(), [&](const QString &w) { return text.contains(w); }))
                add(n);
            continue;
        }
        for (const QString &w : words)
            if (text.indexOf(w) == 0 || (text.indexOf(w) > 0 && !top))
                add(n);
    }
    return list;
}

Hits referenceNumbers(const Bank &bank, bool year, const SearchEngine &e)
{
    const bool additional = e.CheckMode[CheckAdditional] && e.HitCount > 0;
    Hits list = e.hits();
    for (int n : candidates(e, static_cast<int>(bank.size())))
        for (qint16 k : e.KeyNums.mid(1, e.KeyCount))
            if (list.size() < e.MaxHits && (year ? bank[n - 1].Year : bank[n - 1].JPcode) == k &&
                !(additional && e.CheckMode[CheckUnique] && list.contains(n)))
                list.append(static_cast<qint16>(n));
    return list;
}

Hits referenceBlank(const Bank &bank, int maxHits)
{
    Hits list;
    for (int n = 1; n <= bank.size() && list.size() < maxHits; ++n)
        if (const QString text = Trim(bank[n - 1].Author) + Trim(bank[n - 1].Title); text.isEmpty() || text == u".")
            list.append(static_cast<qint16>(n));
    return list;
}

QString start4(const QString &field)
{
    return field.left(4).leftJustified(4, u' ');
}

QString dupKey(const Record &r)
{
    return QString::number(r.JPcode) + u',' + Trim(r.Volume) + u':' + Trim(r.Page1) + u',' + start4(r.Author) +
           start4(r.Title);
}

QString similarKey(const Record &r)
{
    return QString(r.JPcode >= 0 ? " " : "") + QString::number(r.JPcode) + u',' + r.Volume.leftJustified(20, u' ') +
           u':' + r.Page1.leftJustified(10, u' ') + u',' + start4(r.Author) + start4(r.Title);
}

Hits referenceDouble(const Bank &bank, int maxHits)
{
    QStringList keys;
    for (const Record &r : bank)
        keys.append(dupKey(r));
    Hits list;
    for (int i = 0; i + 1 < keys.size() && list.size() < maxHits; ++i) {
        const qsizetype j = Trim(keys[i]) == u"0,:," ? -1 : keys.indexOf(keys[i], i + 1);
        if (j > 0)
            list << static_cast<qint16>(i + 1) << static_cast<qint16>(j + 1);
    }
    return list.mid(0, maxHits);
}

} // namespace

class TestScanEquivalence : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordImage m_image; // as the searches read the bank
    Bank m_bank;         // every record as RecRead gives it
    // The searched texts by kind, as stored [kind][0] and lower-cased [kind][1].
    std::array<std::array<QStringList, 2>, 4> m_texts;

private Q_SLOTS:
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
        QFile f(m_dir.filePath(QStringLiteral("record.tzd")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        f.close();
        QVERIFY(m_image.load(m_dir.path()));
        QCOMPARE(m_image.RecCount(), kRecords);
        for (int n = 1; n <= kRecords; ++n) {
            QVERIFY(RecRead(m_dir.path(), n, 1, m_bank.emplace_back(), QDate(2025, 6, 1)));
            for (int kind = KindFreeKeyword; kind <= KindTitleKeyword; ++kind) {
                m_texts[kind][0].append(searchedText(m_bank.last(), kind));
                m_texts[kind][1].append(m_texts[kind][0].last().toLower());
            }
        }
    }

    void words_data()
    {
        QTest::addColumn<QString>("keys");
        for (const char *keys : {"gene", "Gene cell", "Protein J.Sm", "遺伝子 解析 ﾀｶ", "ＤＮＡ ⅱ", "e", "ΣΑΣ ДОМ",
                                 "s. [a] -h", "zzz", "ⅰ ∵ kelvin", "\uFFFD", "ā"})
            QTest::newRow(keys) << keys;
    }
    void words()
    {
        QFETCH(QString, keys);
        // Each option on and off against a plain OR search, and some together.
        const QStringList combinations = ("|repeats|case|and|and repeats case max=32767|top|top and repeats|"
                                          "repeats max=32767|repeats " +
                                          kEarlier + "|and case max=32767 " + kEarlier)
                                             .split(u'|');
        SearchEngine engine;
        for (int kind = KindFreeKeyword; kind <= KindTitleKeyword; ++kind) {
            for (const QString &options : combinations) {
                configure(engine, kind, options);
                engine.Step1GetWord(keys);
                const SearchEngine before = engine;
                engine.Step2HitWord(m_image);
                const QStringList &texts = m_texts[kind][engine.CheckMode[CheckIgnoreCase]];
                QVERIFY2(engine.hits() == referenceWords(texts, before),
                         qPrintable(options + " kind " + QString::number(kind)));
            }
        }
    }

    void numbers_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("keys");
        QTest::newRow("a year") << int(KindYear) << QStringLiteral("1995");
        QTest::newRow("years") << int(KindYear) << QStringLiteral("1950-1960, 2020 1995 1995");
        QTest::newRow("a code") << int(KindJPcode) << QStringLiteral("7");
        QTest::newRow("codes") << int(KindJPcode) << QStringLiteral("1-30,3");
    }
    void numbers()
    {
        QFETCH(int, kind);
        QFETCH(QString, keys);
        const JPcodeTable jp = DefaultJPcodeTable();
        SearchEngine engine;
        for (int bits = 0; bits < 8; ++bits) { // uniQue, no limit, Additional
            const QString options = QString(bits & 1 ? "" : "repeats") + (bits & 2 ? " max=32767 " : " ") +
                                    (bits & 4 ? kEarlier : QString());
            configure(engine, kind, options);
            engine.Step1GetNum(keys, NumberContext{kRecords, &jp, 2025});
            const SearchEngine before = engine;
            engine.Step2HitNum(m_image);
            QVERIFY2(engine.hits() == referenceNumbers(m_bank, kind == KindYear, before), qPrintable(options));
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
        const Hits doubles = referenceDouble(m_bank, maxHits);
        QCOMPARE(engine.hits(), doubles);
        QVERIFY(engine.HitCount > 6);

        // The keys built straight from the bytes are those of the records as read.
        QStringList keys;
        for (int n = 1; n <= kRecords; ++n) {
            keys.append(similarKey(m_bank[n - 1]));
            const QByteArrayView bytes = m_image.record(n);
            QVERIFY2(DupKey(bytes) == dupKey(m_bank[n - 1]) && SimilarKey(bytes) == keys.last(),
                     qPrintable(keys.last()));
        }
        // Records booked twice and a spread of others.
        Hits currents = doubles.mid(0, 20) + list(QStringLiteral("1,500,1000,1500,2000,2500,3000,3500,4000,4500"));
        int withSimilar = 0;
        for (int current : currents) {
            engine.Step2HitSimilar(m_image, current);
            Hits similar;
            for (int n = 1; n <= kRecords && similar.size() < maxHits; ++n)
                if (n != current && keys[n - 1] == keys[current - 1])
                    similar.append(static_cast<qint16>(n));
            QCOMPARE(engine.hits(), similar);
            withSimilar += engine.HitCount > 0 ? 1 : 0;
        }
        QVERIFY(withSimilar > 0);
    }

    // The word search reads the bytes one character at a time and lower-cases
    // the text as a whole: both agree on every character the decoder gives.
    void lowerCaseCharacterByCharacter()
    {
        QString all, oneByOne;
        for (int pair = 0; pair < 0x10000; ++pair)
            all += cp932::decode(QByteArray(1, char(pair >> 8)) + char(pair & 0xFF));
        for (QChar c : all)
            oneByOne += QString(c).toLower();
        QCOMPARE(all.toLower(), oneByOne);
    }
};

QTEST_APPLESS_MAIN(TestScanEquivalence)
#include "tst_scan_equivalence.moc"
